#pragma once
// What the operating system says of itself, read once at start-up.
#include <cstdint>
#include <string>

namespace vexil {

enum class WindowsVersion {
    Unsupported, Unknown, XP, Server2003, Vista, Server2008, Win7, Server2008R2, Win8, Server2012, Win81, Server2012R2,
};

struct OsInfo {
    uint32_t major = 0, minor = 0, build = 0;
    std::wstring servicePack;
    uint16_t processorArchitecture = 0;
    bool wow64 = false;
    bool embedded = false;
    WindowsVersion version = WindowsVersion::Unsupported;
    bool supported = false;
    bool win7OrLater = false;
};

OsInfo readOsInfo();
// The version record of a major.minor pair and product type (1 workstation, else server).
void classifyVersion(OsInfo& info, uint8_t productType);

} // namespace vexil
