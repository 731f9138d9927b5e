#pragma once
// One download: a URL fetched into a file, into memory, or only asked for its size. A background
// job runs on its own thread and is read by the script thread while it runs: the progress fields
// are atomic and the completion event is the hand-over of the final values.
#include "library/network_settings.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace vexil {

// The job's error codes (@ERROR of the Internet built-ins).
enum DownloadError : int32_t {
    kBadUrl = 1,
    kUnsupportedScheme = 2,
    kSessionFailed = 3,
    kHttpConnectFailed = 11,
    kHttpOpenFailed = 12,
    kHttpRequestFailed = 13,
    kFtpConnectFailed = 21,
    kFtpOpenFailed = 22,
    kFileOpenFailed = 31,
    kReadFailed = 32,
    kNothingReceived = 33,
    kFtpProxyOpenFailed = 41,
    kFtpProxyRequestFailed = 42,
};

// The options argument of INETGET, INETREAD and INETGETSIZE.
enum DownloadOption : int32_t {
    kReload = 1,
    kIgnoreCertificates = 2,
    kFtpAscii = 4,
    kFtpBinary = 8,
    kStayOffline = 16,
};

struct UrlParts;

enum class DownloadTarget : uint8_t { File, Memory, SizeOnly };

struct DownloadJob {
    DownloadJob(int64_t handle, std::wstring url, int32_t options, DownloadTarget target, std::wstring file);
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    const int64_t handle;
    const std::wstring url;
    const int32_t options;
    const DownloadTarget target;
    const std::wstring file;
    const ProxySetting httpProxy, ftpProxy;
    const std::wstring userAgent;

    std::atomic<int64_t> bytesRead{0};
    std::atomic<int64_t> totalSize{0};
    std::atomic<int32_t> error{0};
    std::atomic<int32_t> extended{0};
    std::string data; // what a memory job received

    // Set for a background job: signalled when the job ends, whatever the outcome.
    void* completion = nullptr;

    // Runs the transfer on the calling thread; the job's fields hold the outcome after.
    void run();
    // From another thread: closes the job's Internet handles, so a transfer under way fails soon.
    void cancel();
    bool complete() const;

private:
    // The open Internet handles; whoever takes one from here closes it.
    std::atomic<void*> session_{nullptr}, connection_{nullptr}, request_{nullptr};
    std::atomic<bool> cancelled_{false};

    int32_t transfer();
    int32_t openHttp(const UrlParts& parts, bool proxyInUse);
    int32_t openFtp(const UrlParts& parts);
    int32_t openFtpThroughProxy();
    int32_t sendRequest(void* request, int32_t failure);
    void setFtpSize(void* ftpFile);
    uint32_t requestFlags(bool ftp) const;
    int32_t receive();
    int32_t fail(int32_t code);
    void closeHandle(std::atomic<void*>& slot);
    // Keeps a new handle where cancel() finds it; false when the job was cancelled meanwhile.
    bool adopt(std::atomic<void*>& slot, void* opened);
};

} // namespace vexil
