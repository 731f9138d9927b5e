#pragma once
// A window's name (class name, title) read from the system at most once, into a fixed buffer that
// an enumeration reuses from window to window.
#include <windows.h>

#include <string_view>

namespace vexil {

class CachedName {
public:
    // Names longer than this are cut.
    static constexpr int kCapacity = 1024;

    void forget() { have_ = false; }
    // `read` is GetClassNameW, GetWindowTextW or a function of the same form.
    std::wstring_view get(HWND window, int(WINAPI* read)(HWND, LPWSTR, int)) {
        if (!have_) {
            const int length = read(window, buffer_, kCapacity + 1);
            length_ = length > 0 ? static_cast<size_t>(length) : 0;
            have_ = true;
        }
        return {buffer_, length_};
    }

private:
    bool have_ = false;
    size_t length_ = 0;
    wchar_t buffer_[kCapacity + 1];
};

} // namespace vexil
