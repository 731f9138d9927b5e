#pragma once
// The palette window: a fixed screen area of known colours for the pixel tests, and a surface that
// reports every mouse button and wheel event it gets, for the mouse tests.
#include <windows.h>

#include <string>

namespace test_app {

// The window "TITLE - Palette": a popup without a frame, always on top, at kPaletteLeft,
// kPaletteTop (screen), kPaletteWidth x kPaletteHeight. Its four quadrants, left to right and top
// to bottom: red 0xFF0000, green 0x00FF00, blue 0x0000FF, grey 0x808080; one white pixel at
// client (kWhiteX, kWhiteY) inside the grey quadrant.
constexpr int kPaletteLeft = 900;
constexpr int kPaletteTop = 700;
constexpr int kPaletteWidth = 200;
constexpr int kPaletteHeight = 100;
constexpr int kWhiteX = 150;
constexpr int kWhiteY = 80;

void registerPaletteClass();
HWND openPalette(const std::wstring& title);

} // namespace test_app
