#include "library/registry_data.h"
#include "library/registry_key.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace vexil;

TEST(RegistryKeyName, RootsRemotesViewsAndSubkeys) {
    struct Case {
        const wchar_t* text;
        RegistryRoot root;
        RegistryKeyName::View view;
        const wchar_t* computer;
        const wchar_t* subkey;
    };
    using View = RegistryKeyName::View;
    const Case cases[] = {
        {L"HKLM", RegistryRoot::LocalMachine, View::Default, L"", L""},
        {L"hkey_local_machine\\Software\\X", RegistryRoot::LocalMachine, View::Default, L"", L"Software\\X"},
        {L"HKCU\\a\\b\\\\", RegistryRoot::CurrentUser, View::Default, L"", L"a\\b"},
        {L"HKCR\\.txt", RegistryRoot::ClassesRoot, View::Default, L"", L".txt"},
        {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig, View::Default, L"", L""},
        {L"HKU\\S-1", RegistryRoot::Users, View::Default, L"", L"S-1"},
        {L"HKLM64\\Software", RegistryRoot::LocalMachine, View::Wide64, L"", L"Software"},
        {L"hkey_users32", RegistryRoot::Users, View::Narrow32, L"", L""},
        {L"\\\\server\\HKLM\\Software", RegistryRoot::LocalMachine, View::Default, L"\\\\server", L"Software"},
        {L"HKCU\\", RegistryRoot::CurrentUser, View::Default, L"", L""},
    };
    for (const Case& c : cases) {
        RegistryKeyName key;
        ASSERT_TRUE(parseRegistryKey(c.text, key)) << std::wstring(c.text).size();
        EXPECT_EQ(key.root, c.root);
        EXPECT_EQ(key.view, c.view);
        EXPECT_EQ(key.computer, c.computer);
        EXPECT_EQ(key.subkey, c.subkey);
    }
    const wchar_t* refused[] = {L"", L"HKXX", L"HKLM65", L"64", L"HKLM_\\x", L"\\\\server", L"\\\\server\\", L"\\HKLM"};
    for (const wchar_t* text : refused) {
        RegistryKeyName key;
        EXPECT_FALSE(parseRegistryKey(text, key)) << std::wstring(text).size();
    }
}

namespace {

std::string units(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

} // namespace

TEST(RegistryData, MultiStringsKeepEveryLineBothWays) {
    const std::wstring_view texts[] = {L"a\nb", L"first\n\nthird", L"\nleading", L"one", L""};
    for (std::wstring_view text : texts) {
        uint32_t type = 0;
        std::string bytes;
        ASSERT_TRUE(valueToRegistryData(L"reg_multi_sz", Variant::string(WString(text)), type, bytes));
        EXPECT_EQ(type, static_cast<uint32_t>(REG_MULTI_SZ));
        // The list ends with two zeros, whatever its lines.
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string(2, '\0'));
        Variant back;
        ASSERT_TRUE(registryDataToValue(REG_MULTI_SZ, bytes, back));
        EXPECT_EQ(back.text().view(), text);
    }
}

TEST(RegistryData, ReadingEachType) {
    Variant v;
    ASSERT_TRUE(registryDataToValue(REG_SZ, units(std::wstring(L"abc\0junk", 8)), v));
    EXPECT_EQ(v.text().view(), L"abc"); // ends at the first zero
    ASSERT_TRUE(registryDataToValue(REG_EXPAND_SZ, units(L"%X%"), v)); // no terminator stored
    EXPECT_EQ(v.text().view(), L"%X%");
    ASSERT_TRUE(registryDataToValue(REG_DWORD, std::string("\xFF\xFF\xFF\xFF", 4), v));
    EXPECT_EQ(v.kind(), VarKind::Int64);
    EXPECT_EQ(v.toInt64(), 4294967295LL);
    ASSERT_TRUE(registryDataToValue(REG_DWORD, std::string("\x01", 1), v)); // short data reads as zero-filled
    EXPECT_EQ(v.toInt64(), 1);
    ASSERT_TRUE(registryDataToValue(REG_QWORD, std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8), v));
    EXPECT_EQ(v.toInt64(), -2);
    ASSERT_TRUE(registryDataToValue(REG_BINARY, std::string("\x00\x01", 2), v));
    EXPECT_EQ(v.kind(), VarKind::Binary);
    EXPECT_EQ(v.binaryLength(), 2u);
    EXPECT_FALSE(registryDataToValue(REG_NONE, "", v));
    EXPECT_FALSE(registryDataToValue(REG_LINK, units(L"x"), v));
}

TEST(RegistryData, WritingEachTypeName) {
    uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(valueToRegistryData(L"REG_SZ", Variant::string(L"ab"), type, bytes));
    EXPECT_EQ(bytes, units(std::wstring(L"ab\0", 3))); // with its terminator
    ASSERT_TRUE(valueToRegistryData(L"Reg_Dword", Variant::string(L"0xFFFFFFFF"), type, bytes));
    EXPECT_EQ(type, static_cast<uint32_t>(REG_DWORD));
    EXPECT_EQ(bytes, std::string("\xFF\xFF\xFF\xFF", 4));
    ASSERT_TRUE(valueToRegistryData(L"REG_QWORD", Variant::int32(-1), type, bytes));
    EXPECT_EQ(bytes, std::string(8, '\xFF'));
    ASSERT_TRUE(valueToRegistryData(L"REG_BINARY", Variant::string(L"0x0AFF"), type, bytes));
    EXPECT_EQ(bytes, std::string("\x0A\xFF", 2));
    EXPECT_FALSE(valueToRegistryData(L"REG_SZX", Variant::int32(1), type, bytes));
    EXPECT_FALSE(valueToRegistryData(L"", Variant::int32(1), type, bytes));
}
