// Reading a window's text by WM_GETTEXT: Unicode answers, and windows that answer a Unicode
// request with 8-bit text.
#include "automation/window_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace vexil;

namespace {

// What the test window answers with: its text as 8-bit bytes, or as UTF-16.
struct Answer {
    const char* bytes = nullptr;
    const wchar_t* wide = nullptr;
    LRESULT reportedLength = 0;
};
Answer answer;

LRESULT CALLBACK answering(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) return answer.reportedLength;
    if (message == WM_GETTEXT) {
        if (answer.bytes) {
            std::memcpy(reinterpret_cast<void*>(lParam), answer.bytes, std::strlen(answer.bytes) + 1);
            return static_cast<LRESULT>(std::strlen(answer.bytes));
        }
        const size_t length = std::wcslen(answer.wide);
        if (length + 1 > wParam) return 0;
        std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), answer.wide, length + 1);
        return static_cast<LRESULT>(length);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class AnsweringWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = answering;
        windowClass.lpszClassName = L"VexilAnsweringWindow";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"VexilAnsweringWindow", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

} // namespace

TEST_F(AnsweringWindow, ReadsUnicodeAndEightBitAnswers) {
    answer = {nullptr, L"Wide text \u00e9\u4e2d", 12};
    EXPECT_EQ(readWindowText(window_), L"Wide text \u00e9\u4e2d");
    // A length of 0 may mean "cannot tell": the text is read all the same.
    answer = {nullptr, L"unknown length", 0};
    EXPECT_EQ(readWindowText(window_), L"unknown length");
    answer = {"Plain bytes", nullptr, 11};
    EXPECT_EQ(readWindowText(window_), L"Plain bytes");
    // Bytes that are not all printable, or a length that disagrees, are taken as UTF-16.
    answer = {"ab", nullptr, 1};
    EXPECT_EQ(readWindowText(window_), std::wstring(1, static_cast<wchar_t>('a' | 'b' << 8)));
    answer = {nullptr, L"", 0};
    EXPECT_EQ(readWindowText(window_), L"");
}

TEST(WindowText, NoWindowNoText) { EXPECT_EQ(readWindowText(nullptr), L""); }
