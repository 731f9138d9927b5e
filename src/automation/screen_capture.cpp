#include "automation/screen_capture.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace vexil {

namespace {

// Far more than any desktop shows (256 MB of pixels): a larger area is refused, not allocated.
constexpr int64_t kMostPixels = 64LL * 1024 * 1024;

} // namespace

bool ScreenCapture::capture(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const int64_t width = std::llabs(static_cast<int64_t>(right) - left) + 1;
    const int64_t height = std::llabs(static_cast<int64_t>(bottom) - top) + 1;
    if (width > kMostPixels || height > kMostPixels || width * height > kMostPixels) return false;
    const int32_t x = std::min(left, right);
    const int32_t y = std::min(top, bottom);
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    pixels_.assign(static_cast<size_t>(width * height), 0);

    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width_, height_) : nullptr;
    bool done = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (StretchBlt(memory, 0, 0, width_, height_, screen, x, y, width_, height_, SRCCOPY)) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = width_;
            info.bmiHeader.biHeight = -height_; // rows from the top
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            SelectObject(memory, previous);
            done = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height_), pixels_.data(), &info, DIB_RGB_COLORS) ==
                   height_;
        } else {
            SelectObject(memory, previous);
        }
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return done;
}

} // namespace vexil
