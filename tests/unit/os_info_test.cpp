#include "engine/os_info.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace vexil;

TEST(OsInfo, VersionTable) {
    struct Case {
        uint32_t major, minor;
        uint8_t product; // 1 workstation, 3 server
        WindowsVersion version;
        bool supported, win7OrLater;
    };
    const Case cases[] = {
        {5, 0, 1, WindowsVersion::Unsupported, false, false},
        {4, 0, 1, WindowsVersion::Unsupported, false, false},
        {5, 1, 1, WindowsVersion::XP, true, false},
        {5, 2, 1, WindowsVersion::XP, true, false},
        {5, 2, 3, WindowsVersion::Server2003, true, false},
        {6, 0, 1, WindowsVersion::Vista, true, false},
        {6, 0, 3, WindowsVersion::Server2008, true, false},
        {6, 1, 1, WindowsVersion::Win7, true, true},
        {6, 1, 3, WindowsVersion::Server2008R2, true, true},
        {6, 2, 1, WindowsVersion::Win8, true, true},
        {6, 2, 3, WindowsVersion::Server2012, true, true},
        {6, 3, 1, WindowsVersion::Win81, true, true},
        {6, 3, 3, WindowsVersion::Server2012R2, true, true},
        {6, 4, 1, WindowsVersion::Unknown, true, false},
        // Windows 10 and 11 report 10.0 when a manifest or a compatibility setting lets them.
        {10, 0, 1, WindowsVersion::Unknown, true, false},
    };
    for (const auto& c : cases) {
        OsInfo info;
        info.major = c.major;
        info.minor = c.minor;
        classifyVersion(info, c.product);
        EXPECT_EQ(info.version, c.version) << c.major << "." << c.minor << " product " << int(c.product);
        EXPECT_EQ(info.supported, c.supported) << c.major << "." << c.minor;
        EXPECT_EQ(info.win7OrLater, c.win7OrLater) << c.major << "." << c.minor;
    }
}

TEST(OsInfo, ThisSystemIsSupported) {
    OsInfo info = readOsInfo();
    EXPECT_TRUE(info.supported) << info.major << "." << info.minor;
    EXPECT_GT(info.build, 0u);
    EXPECT_EQ(info.processorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    EXPECT_FALSE(info.wow64);
}
