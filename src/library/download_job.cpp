#include "library/download_job.h"

#include <windows.h>
#include <wininet.h>

#include <cwchar>

namespace vexil {

struct UrlParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::wstring host, user, password, object;
    INTERNET_PORT port = 0;
};

namespace {

constexpr DWORD kReadSize = 64 * 1024;

bool crackUrl(const std::wstring& url, UrlParts& parts) {
    URL_COMPONENTSW c{};
    c.dwStructSize = sizeof(c);
    // Non-zero lengths without buffers: the parts come back as pointers into the URL.
    c.dwSchemeLength = c.dwHostNameLength = c.dwUserNameLength = c.dwPasswordLength = c.dwUrlPathLength =
        c.dwExtraInfoLength = 1;
    if (url.empty() || url.find(L'\0') != std::wstring::npos) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return false;
    }
    if (!InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
    auto part = [](const wchar_t* text, DWORD length) { return text ? std::wstring(text, length) : std::wstring(); };
    parts.scheme = c.nScheme;
    parts.host = part(c.lpszHostName, c.dwHostNameLength);
    parts.user = part(c.lpszUserName, c.dwUserNameLength);
    parts.password = part(c.lpszPassword, c.dwPasswordLength);
    parts.object = part(c.lpszUrlPath, c.dwUrlPathLength) + part(c.lpszExtraInfo, c.dwExtraInfoLength);
    parts.port = c.nPort;
    return true;
}

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// The session follows the system's configuration unless told otherwise: does that name a proxy?
bool systemProxyInUse(HINTERNET session) {
    DWORD size = 0;
    InternetQueryOptionW(session, INTERNET_OPTION_PROXY, nullptr, &size);
    if (size < sizeof(INTERNET_PROXY_INFO)) return false;
    std::string buffer(size, '\0');
    if (!InternetQueryOptionW(session, INTERNET_OPTION_PROXY, buffer.data(), &size)) return false;
    const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer.data());
    return info->dwAccessType == INTERNET_OPEN_TYPE_PROXY && info->lpszProxy && info->lpszProxy[0];
}

void setProxyCredentials(HINTERNET request, const ProxySetting& proxy) {
    if (proxy.user.empty()) return;
    InternetSetOptionW(request, INTERNET_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(proxy.user.c_str()),
                       static_cast<DWORD>(proxy.user.size()));
    InternetSetOptionW(request, INTERNET_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(proxy.password.c_str()),
                       static_cast<DWORD>(proxy.password.size()));
}

// The Content-Length header as a number; 0 when absent or not a plain number.
int64_t contentLength(HINTERNET request) {
    wchar_t text[16] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return 0;
    wchar_t* end = nullptr;
    const long long value = wcstoll(text, &end, 10);
    return end != text && value > 0 ? value : 0;
}

} // namespace

DownloadJob::DownloadJob(int64_t handle_, std::wstring url_, int32_t options_, DownloadTarget target_, std::wstring file_)
    : handle(handle_), url(std::move(url_)), options(options_), target(target_), file(std::move(file_)),
      httpProxy(networkSettings().http), ftpProxy(networkSettings().ftp), userAgent(networkSettings().userAgent) {}

DownloadJob::~DownloadJob() {
    closeHandle(request_);
    closeHandle(connection_);
    closeHandle(session_);
    if (completion) CloseHandle(completion);
}

void DownloadJob::closeHandle(std::atomic<void*>& slot) {
    if (void* open = slot.exchange(nullptr)) InternetCloseHandle(open);
}

bool DownloadJob::adopt(std::atomic<void*>& slot, void* opened) {
    slot.store(opened);
    if (!cancelled_.load()) return true;
    closeHandle(slot);
    return false;
}

void DownloadJob::cancel() {
    cancelled_.store(true);
    closeHandle(request_);
    closeHandle(connection_);
    closeHandle(session_);
}

bool DownloadJob::complete() const { return !completion || WaitForSingleObject(completion, 0) == WAIT_OBJECT_0; }

int32_t DownloadJob::fail(int32_t code) {
    extended.store(static_cast<int32_t>(GetLastError()));
    error.store(code);
    return code;
}

void DownloadJob::run() {
    transfer();
    closeHandle(request_);
    if (completion) SetEvent(completion);
}

uint32_t DownloadJob::requestFlags(bool ftp) const {
    uint32_t flags = 0;
    if (options & kReload) flags |= INTERNET_FLAG_RELOAD;
    if (options & kIgnoreCertificates) flags |= INTERNET_FLAG_IGNORE_CERT_CN_INVALID | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID;
    // Binary unless ASCII alone is asked for: a text conversion would corrupt any other file.
    if (ftp) flags |= (options & (kFtpAscii | kFtpBinary)) == kFtpAscii ? FTP_TRANSFER_TYPE_ASCII : FTP_TRANSFER_TYPE_BINARY;
    return flags;
}

int32_t DownloadJob::transfer() {
    UrlParts parts;
    if (!crackUrl(url, parts)) return fail(kBadUrl);
    const bool ftp = parts.scheme == INTERNET_SCHEME_FTP;
    if (!ftp && parts.scheme != INTERNET_SCHEME_HTTP && parts.scheme != INTERNET_SCHEME_HTTPS) {
        SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        return fail(kUnsupportedScheme);
    }
    const ProxySetting& proxy = ftp ? ftpProxy : httpProxy;
    const DWORD access = proxy.mode == 1 ? INTERNET_OPEN_TYPE_DIRECT
                         : proxy.mode == 2 ? INTERNET_OPEN_TYPE_PROXY
                                           : INTERNET_OPEN_TYPE_PRECONFIG;
    HINTERNET session = InternetOpenW(userAgent.c_str(), access, proxy.mode == 2 ? proxy.proxy.c_str() : nullptr,
                                      proxy.mode == 2 ? L"<local>" : nullptr, 0);
    if (!session) return fail(kSessionFailed);
    if (!adopt(session_, session)) return fail(kSessionFailed);
    if (!(options & kStayOffline)) {
        INTERNET_CONNECTED_INFO online{INTERNET_STATE_CONNECTED, 0};
        InternetSetOptionW(nullptr, INTERNET_OPTION_CONNECTED_STATE, &online, sizeof(online));
    }
    const bool proxyInUse = proxy.mode == 2 || (proxy.mode == 0 && systemProxyInUse(session));
    int32_t code;
    if (!ftp) code = openHttp(parts, proxyInUse);
    else if (proxyInUse) code = openFtpThroughProxy();
    else code = openFtp(parts);
    if (code != 0 || target == DownloadTarget::SizeOnly) return code;
    return receive();
}

int32_t DownloadJob::openHttp(const UrlParts& parts, bool proxyInUse) {
    HINTERNET connection = InternetConnectW(session_.load(), parts.host.c_str(), parts.port, orNull(parts.user),
                                            orNull(parts.password), INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection || !adopt(connection_, connection)) return fail(kHttpConnectFailed);
    DWORD flags = requestFlags(false);
    if (parts.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    HINTERNET request = HttpOpenRequestW(connection, nullptr, parts.object.c_str(), nullptr, nullptr, nullptr, flags, 0);
    if (!request || !adopt(request_, request)) return fail(kHttpOpenFailed);
    if (proxyInUse) setProxyCredentials(request, httpProxy);
    if (options & kIgnoreCertificates) {
        DWORD security = 0;
        DWORD size = sizeof(security);
        InternetQueryOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &security, &size);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof(security));
    }
    return sendRequest(request, kHttpRequestFailed);
}

int32_t DownloadJob::sendRequest(void* request, int32_t failure) {
    if (!HttpSendRequestW(request, nullptr, 0, nullptr, 0)) return fail(failure);
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) || status != 200)
        return fail(failure);
    totalSize.store(contentLength(request));
    return 0;
}

int32_t DownloadJob::openFtp(const UrlParts& parts) {
    HINTERNET connection = InternetConnectW(session_.load(), parts.host.c_str(), parts.port, orNull(parts.user),
                                            orNull(parts.password), INTERNET_SERVICE_FTP, 0, 0);
    if (!connection || !adopt(connection_, connection)) return fail(kFtpConnectFailed);
    HINTERNET request = FtpOpenFileW(connection, parts.object.c_str(), GENERIC_READ, requestFlags(true), 0);
    if (!request || !adopt(request_, request)) return fail(kFtpOpenFailed);
    setFtpSize(request);
    return 0;
}

void DownloadJob::setFtpSize(void* ftpFile) {
    DWORD high = 0;
    const DWORD low = FtpGetFileSize(ftpFile, &high);
    totalSize.store(low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR ? 0 : (int64_t{high} << 32 | low));
}

int32_t DownloadJob::openFtpThroughProxy() {
    HINTERNET request = InternetOpenUrlW(session_.load(), url.c_str(), nullptr, 0, (options & kReload) ? INTERNET_FLAG_RELOAD : 0, 0);
    if (!request || !adopt(request_, request)) return fail(kFtpProxyOpenFailed);
    DWORD type = 0;
    DWORD size = sizeof(type);
    if (InternetQueryOptionW(request, INTERNET_OPTION_HANDLE_TYPE, &type, &size) && type == INTERNET_HANDLE_TYPE_FTP_FILE) {
        // The platform went to the server itself (a proxy it cannot use for FTP): no HTTP answer
        // to check, the file is open.
        setFtpSize(request);
        return 0;
    }
    setProxyCredentials(request, ftpProxy);
    return sendRequest(request, kFtpProxyRequestFailed);
}

int32_t DownloadJob::receive() {
    HINTERNET request = request_.load();
    HANDLE out = INVALID_HANDLE_VALUE;
    if (target == DownloadTarget::File) {
        out = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) return fail(kFileOpenFailed);
    }
    std::string buffer(kReadSize, '\0');
    int32_t code = 0;
    for (;;) {
        // A read waits until its buffer is full: asking first what has come keeps the progress
        // current and lets a cancelled job see its closed handle soon on a slow connection.
        DWORD waiting = 0;
        if (request && !InternetQueryDataAvailable(request, &waiting, 0, 0)) waiting = 0;
        const DWORD size = waiting > 0 && waiting < kReadSize ? waiting : kReadSize;
        DWORD got = 0;
        if (!request || !InternetReadFile(request, buffer.data(), size, &got)) {
            code = fail(kReadFailed);
            break;
        }
        if (got == 0) break;
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            // A file that cannot take the data is a failed download, not a short success.
            if (!WriteFile(out, buffer.data(), got, &written, nullptr) || written != got) {
                code = fail(kFileOpenFailed);
                break;
            }
        } else {
            data.append(buffer.data(), got);
        }
        bytesRead.fetch_add(got);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (code != 0) return code;
    const int64_t expected = totalSize.load();
    if (expected > 0 && bytesRead.load() < expected) {
        // The connection ended before the announced size: a short body is no download.
        SetLastError(ERROR_INTERNET_CONNECTION_RESET);
        return fail(kReadFailed);
    }
    if (bytesRead.load() == 0) return fail(kNothingReceived);
    return 0;
}

} // namespace vexil
