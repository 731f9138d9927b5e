// PIXELGETCOLOR, PIXELSEARCH and PIXELCHECKSUM: the screen's pixels, in the coordinates of the
// "PixelCoordMode" option.
#include "automation/coordinate_origin.h"
#include "automation/screen_capture.h"
#include "base/checksums.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "engine/values/containers.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

// The origin of pixel coordinates: of the window argument `i` when it names a window, else of the
// foreground window.
ScreenPoint pixelOrigin(BuiltinContext& context, BuiltinArgs args, size_t i) {
    HWND window = nullptr;
    if (given(args, i)) {
        HWND named = reinterpret_cast<HWND>(args[i].dereferenced().toPointer());
        if (named && IsWindow(named)) window = named;
    }
    return coordinateOrigin(context.options().pixelCoordMode, window);
}

int32_t intArg(BuiltinArgs args, size_t i) { return args[i].dereferenced().toInt32(); }

// The rectangle of arguments 0 to 3 on the screen.
struct ScreenRectangle {
    int32_t left, top, right, bottom;
};

ScreenRectangle rectangleArgs(BuiltinArgs args, ScreenPoint origin) {
    return {intArg(args, 0) + origin.x, intArg(args, 1) + origin.y, intArg(args, 2) + origin.x,
            intArg(args, 3) + origin.y};
}

struct ColourRange {
    uint32_t low[3];
    uint32_t high[3];

    ColourRange(uint32_t colour, int32_t shade) {
        shade = std::clamp(shade, 0, 255);
        for (int c = 0; c < 3; ++c) {
            const int32_t component = static_cast<int32_t>(colour >> (16 - 8 * c) & 0xFFu);
            low[c] = static_cast<uint32_t>(std::max(component - shade, 0));
            high[c] = static_cast<uint32_t>(std::min(component + shade, 255));
        }
    }
    bool holds(uint32_t colour) const {
        for (int c = 0; c < 3; ++c) {
            const uint32_t component = colour >> (16 - 8 * c) & 0xFFu;
            if (component < low[c] || component > high[c]) return false;
        }
        return true;
    }
};

} // namespace

int builtinPixelGetColor(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const ScreenPoint origin = pixelOrigin(context, args, 2);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = screen ? GetPixel(screen, intArg(args, 0) + origin.x, intArg(args, 1) + origin.y) : CLR_INVALID;
    if (screen) ReleaseDC(nullptr, screen);
    // Off the screen there is no colour: said, not a colour of its own.
    if (colour == CLR_INVALID) return context.fail(result, Variant::int32(-1));
    result = Variant::int32(static_cast<int32_t>(GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour)));
    return 0;
}

int builtinPixelSearch(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const ScreenPoint origin = pixelOrigin(context, args, 7);
    const ScreenRectangle area = rectangleArgs(args, origin);
    const ColourRange range(static_cast<uint32_t>(intArg(args, 4)), optInt(args, 5, 0));
    const int32_t step = std::max(optInt(args, 6, 1), 1);
    ScreenCapture capture;
    if (!capture.capture(area.left, area.top, area.right, area.bottom)) return context.fail(result, Variant::int32(0));
    // Rows from the top edge the script gave, columns from its left edge, whichever way they lie.
    const bool leftward = area.left > area.right;
    const bool upward = area.top > area.bottom;
    for (int32_t r = 0; r < capture.height(); r += step) {
        const int32_t row = upward ? capture.height() - 1 - r : r;
        for (int32_t c = 0; c < capture.width(); c += step) {
            const int32_t column = leftward ? capture.width() - 1 - c : c;
            if (!range.holds(capture.colourAt(column, row))) continue;
            const int32_t x = std::min(area.left, area.right) + column - origin.x;
            const int32_t y = std::min(area.top, area.bottom) + row - origin.y;
            result = arrayOf({Variant::int32(x), Variant::int32(y)});
            return 0;
        }
    }
    return context.fail(result, Variant::int32(0));
}

int builtinPixelChecksum(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const int32_t step = std::max(optInt(args, 4, 1), 1);
    const ScreenPoint origin = pixelOrigin(context, args, 5);
    const ScreenRectangle area = rectangleArgs(args, origin);
    const bool crc = optInt(args, 6, 0) == 1;
    result = Variant::int32(0);
    ScreenCapture capture;
    if (!capture.capture(area.left, area.top, area.right, area.bottom)) return 0;
    Adler32 adler;
    Crc32 crc32;
    std::vector<uint8_t> row;
    for (int32_t r = 0; r < capture.height(); r += step) {
        row.clear();
        for (int32_t c = 0; c < capture.width(); c += step) {
            const uint32_t colour = capture.colourAt(c, r);
            row.push_back(static_cast<uint8_t>(colour >> 16));
            row.push_back(static_cast<uint8_t>(colour >> 8));
            row.push_back(static_cast<uint8_t>(colour));
        }
        if (crc) crc32.add(row.data(), row.size());
        else adler.add(row.data(), row.size());
    }
    result = Variant::real(static_cast<double>(crc ? crc32.value() : adler.value()));
    return 0;
}

} // namespace vexil
