#pragma once
// A rectangle of the screen copied into memory, to read its pixels without one call each. Only
// the part on the screen is copied; the rest reads as black, as a copy from the screen gives it.
#include <cstdint>
#include <vector>

namespace vexil {

class ScreenCapture {
public:
    // The pixels from (left, top) to (right, bottom), both corners included, in screen
    // coordinates (either pair may come in either order). False when the area is too large to
    // walk or the screen cannot be read.
    bool capture(int32_t left, int32_t top, int32_t right, int32_t bottom);
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // The colour at (column, row) of the area as 0xRRGGBB.
    uint32_t colourAt(int32_t column, int32_t row) const {
        const int64_t x = static_cast<int64_t>(left_) + column - shotLeft_;
        const int64_t y = static_cast<int64_t>(top_) + row - shotTop_;
        if (x < 0 || y < 0 || x >= shotWidth_ || y >= shotHeight_) return 0;
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(shotWidth_) + static_cast<size_t>(x)] & 0xFFFFFFu;
    }

private:
    bool copyFromScreen();

    std::vector<uint32_t> pixels_;
    int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    // The part of the area on the screen, which pixels_ holds.
    int32_t shotLeft_ = 0, shotTop_ = 0, shotWidth_ = 0, shotHeight_ = 0;
};

} // namespace vexil
