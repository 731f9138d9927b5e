#include "engine/os_info.h"

#include <windows.h>

namespace vexil {

namespace {

struct VersionRow {
    uint32_t minor;
    WindowsVersion workstation, server;
};
constexpr VersionRow kVersion6[] = {
    {0, WindowsVersion::Vista, WindowsVersion::Server2008}, {1, WindowsVersion::Win7, WindowsVersion::Server2008R2},
    {2, WindowsVersion::Win8, WindowsVersion::Server2012},  {3, WindowsVersion::Win81, WindowsVersion::Server2012R2},
};

std::wstring trimSpaces(const wchar_t* text) {
    std::wstring s(text);
    size_t b = s.find_first_not_of(L' ');
    if (b == std::wstring::npos) return {};
    return s.substr(b, s.find_last_not_of(L' ') - b + 1);
}

} // namespace

void classifyVersion(OsInfo& info, uint8_t productType) {
    bool workstation = productType == VER_NT_WORKSTATION;
    info.version = WindowsVersion::Unsupported;
    info.supported = false;
    info.win7OrLater = false;
    if (info.major == 5 && info.minor >= 1) {
        info.supported = true;
        info.version = (info.minor == 2 && !workstation) ? WindowsVersion::Server2003 : WindowsVersion::XP;
        if (info.minor > 2) info.version = WindowsVersion::Unknown;
    } else if (info.major == 6) {
        info.supported = true;
        info.version = WindowsVersion::Unknown;
        for (const auto& row : kVersion6)
            if (row.minor == info.minor) info.version = workstation ? row.workstation : row.server;
        info.win7OrLater = info.minor >= 1 && info.minor <= 3;
    } else if (info.major > 6) {
        // A later Windows that reports its own number (a manifest that names it, or a
        // compatibility setting) runs like the newest one we know.
        info.supported = true;
        info.version = WindowsVersion::Unknown;
    }
}

OsInfo readOsInfo() {
    OsInfo info;
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof(v); // 284
    static_assert(sizeof(OSVERSIONINFOEXW) == 284);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) {
        info.major = v.dwMajorVersion;
        info.minor = v.dwMinorVersion;
        info.build = v.dwBuildNumber;
        info.servicePack = trimSpaces(v.szCSDVersion);
        info.embedded = info.major == 5 && (v.wSuiteMask & 0x40);
    }
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    info.wow64 = wow64;
    SYSTEM_INFO si{};
    using NativeInfo = void(WINAPI*)(SYSTEM_INFO*);
    auto native = reinterpret_cast<NativeInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
    if (wow64 && native) native(&si);
    else GetSystemInfo(&si);
    info.processorArchitecture = si.wProcessorArchitecture;
    classifyVersion(info, v.wProductType);
    return info;
}

} // namespace vexil
