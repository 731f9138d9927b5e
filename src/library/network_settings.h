#pragma once
// The process-wide settings of downloads: a proxy for HTTP(S), one for FTP, and the user-agent
// text. Changed by the script thread only; every download takes a copy when it is made.
#include <cstdint>
#include <string>

namespace vexil {

struct ProxySetting {
    int16_t mode = 0; // 1 direct, 2 the named proxy, 0 the system's configuration
    std::wstring proxy, user, password;
};

struct NetworkSettings {
    ProxySetting http, ftp;
    std::wstring userAgent = kDefaultUserAgent;
    static constexpr const wchar_t* kDefaultUserAgent = L"Vexil";
};

NetworkSettings& networkSettings();

} // namespace vexil
