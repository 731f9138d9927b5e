#include "automation/window_text.h"

#include <cstring>

namespace vexil {

namespace {

// A length of 0 may also mean "cannot tell": such windows get the largest buffer.
constexpr size_t kUnknownLengthBuffer = 32767;

LRESULT sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& ok) {
    DWORD_PTR answer = 0;
    ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer) != 0;
    return static_cast<LRESULT>(answer);
}

bool printableBytes(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (bytes[i] < 32 || bytes[i] > 126) return false;
    return true;
}

} // namespace

bool windowAnswers(HWND window) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer) != 0;
}

void readWindowTextInto(HWND window, std::wstring& out) {
    out.clear();
    bool ok = false;
    const LRESULT reported = sendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, ok);
    if (!ok || reported < 0) return;
    const size_t length = static_cast<size_t>(reported);
    const size_t capacity = length ? length + 1 : kUnknownLengthBuffer;
    out.assign(capacity, L'\0');
    (void)sendWithTimeout(window, WM_GETTEXT, capacity, reinterpret_cast<LPARAM>(out.data()), ok);
    if (!ok) return out.clear();
    const char* bytes = reinterpret_cast<const char*>(out.data());
    const size_t byteLength = strnlen(bytes, capacity * sizeof(wchar_t));
    if (length > 0 && byteLength == length && printableBytes(bytes, byteLength)) {
        std::wstring wide(length, L'\0');
        const int made = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), wide.data(), static_cast<int>(length));
        wide.resize(made > 0 ? static_cast<size_t>(made) : 0);
        out = std::move(wide);
        return;
    }
    out.resize(wcsnlen(out.data(), capacity));
}

std::wstring readWindowText(HWND window) {
    std::wstring text;
    if (windowAnswers(window)) readWindowTextInto(window, text);
    return text;
}

} // namespace vexil
