#include "automation/screen_capture.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace vexil {

namespace {

// The most pixels a search or checksum walks (a desktop of several large displays has fewer).
constexpr int64_t kMostPixels = 64LL * 1024 * 1024;

} // namespace

bool ScreenCapture::capture(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const int64_t width = std::llabs(static_cast<int64_t>(right) - left) + 1;
    const int64_t height = std::llabs(static_cast<int64_t>(bottom) - top) + 1;
    if (width > kMostPixels || height > kMostPixels || width * height > kMostPixels) return false;
    left_ = std::min(left, right);
    top_ = std::min(top, bottom);
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    const int64_t screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int64_t screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int64_t screenRight = screenLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int64_t screenBottom = screenTop + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int64_t shotLeft = std::max<int64_t>(left_, screenLeft);
    const int64_t shotTop = std::max<int64_t>(top_, screenTop);
    const int64_t shotRight = std::min<int64_t>(static_cast<int64_t>(left_) + width_, screenRight);
    const int64_t shotBottom = std::min<int64_t>(static_cast<int64_t>(top_) + height_, screenBottom);
    pixels_.clear();
    shotWidth_ = shotHeight_ = 0;
    if (shotLeft >= shotRight || shotTop >= shotBottom) return true; // wholly off the screen: black
    shotLeft_ = static_cast<int32_t>(shotLeft);
    shotTop_ = static_cast<int32_t>(shotTop);
    shotWidth_ = static_cast<int32_t>(shotRight - shotLeft);
    shotHeight_ = static_cast<int32_t>(shotBottom - shotTop);
    return copyFromScreen();
}

bool ScreenCapture::copyFromScreen() {
    pixels_.assign(static_cast<size_t>(shotWidth_) * static_cast<size_t>(shotHeight_), 0);
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, shotWidth_, shotHeight_) : nullptr;
    bool done = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        const bool copied = StretchBlt(memory, 0, 0, shotWidth_, shotHeight_, screen, shotLeft_, shotTop_, shotWidth_,
                                       shotHeight_, SRCCOPY);
        SelectObject(memory, previous);
        if (copied) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = shotWidth_;
            info.bmiHeader.biHeight = -shotHeight_; // rows from the top
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            done = GetDIBits(memory, bitmap, 0, static_cast<UINT>(shotHeight_), pixels_.data(), &info, DIB_RGB_COLORS) ==
                   shotHeight_;
        }
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}

} // namespace vexil
