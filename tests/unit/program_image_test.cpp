// The built program itself: a 64-bit GUI image with its manifest, icon, version information
// and message table.
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const wchar_t* kProgram = L"C:\\vexil\\vexil.exe";

class ProgramImage : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    std::wstring message(UINT id) {
        wchar_t buffer[4096];
        int n = LoadStringW(module_, id, buffer, 4096);
        return std::wstring(buffer, n > 0 ? n : 0);
    }
    std::string resource(LPCWSTR type, LPCWSTR name) {
        HRSRC r = FindResourceW(module_, name, type);
        if (!r) return {};
        HGLOBAL g = LoadResource(module_, r);
        return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(module_, r));
    }
    HMODULE module_ = nullptr;
};

} // namespace

TEST_F(ProgramImage, MessageTableTexts) {
    EXPECT_EQ(message(101), L"(Paused) ");
    EXPECT_EQ(message(102), L"Vexil Error");
    EXPECT_EQ(message(104), L"\"EndWith\" missing \"With\".");
    EXPECT_EQ(message(152), L"\"Case\" statement with no matching \"Select\"or \"Switch\" statement.");
    EXPECT_EQ(message(157), L"Badly formated Enum statement");
    EXPECT_EQ(message(188), L"Func reassign on global level not allowed.");
    EXPECT_EQ(message(5001), L"Unable to open the script file.");
    EXPECT_EQ(message(5004), L"Missing separator character after keyword.");
    std::wstring stack = message(103);
    EXPECT_EQ(stack.substr(0, 52), L"Vexil has detected the stack has become corrupt.\n\nSt");
    EXPECT_EQ(stack.size(), 439u);
    EXPECT_EQ(stack.substr(stack.size() - 32), L"changing the calling convention.");
    for (UINT unused : {135u, 137u, 158u, 183u}) EXPECT_EQ(message(unused), L"") << unused;
    int count = 0;
    for (UINT id = 100; id < 6000; ++id) count += !message(id).empty();
    EXPECT_EQ(count, 95); // 89 reported while running or reading lines, 6 by the loader
}

TEST_F(ProgramImage, ManifestIconAndVersion) {
    std::string manifest = resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
    EXPECT_NE(manifest.find("{1f676c76-80e1-4239-95bb-83d0f6d0da78}"), std::string::npos); // 8.1
    EXPECT_EQ(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos); // not 10
    EXPECT_FALSE(resource(MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(99)).empty()); // icon group 99
    std::string version = resource(MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1));
    ASSERT_FALSE(version.empty());
    std::wstring versionText(reinterpret_cast<const wchar_t*>(version.data()), version.size() / 2);
    EXPECT_NE(versionText.find(L"vexil.exe"), std::wstring::npos);
}

TEST_F(ProgramImage, SixtyFourBitGuiProgram) {
    auto base = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(module_) & ~uintptr_t{3});
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}
