#pragma once
// A rectangle of the screen copied into memory, to read its pixels without one call each.
#include <cstdint>
#include <vector>

namespace vexil {

class ScreenCapture {
public:
    // The pixels from (left, top) to (right, bottom), both corners included, in screen
    // coordinates (either pair may come in either order). False when the area is too large to
    // hold or the screen cannot be read.
    bool capture(int32_t left, int32_t top, int32_t right, int32_t bottom);
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // The colour at (column, row) of the capture as 0xRRGGBB.
    uint32_t colourAt(int32_t column, int32_t row) const {
        return pixels_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column)] & 0xFFFFFFu;
    }

private:
    std::vector<uint32_t> pixels_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

} // namespace vexil
