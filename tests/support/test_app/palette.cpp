#include "palette.h"

#include "report.h"
#include "window_class.h"

#include <windowsx.h>

namespace test_app {

namespace {

constexpr wchar_t kPaletteClass[] = L"VexilTestAppPalette";

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const HBRUSH brush = CreateSolidBrush(colour);
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void paint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    constexpr int midX = kPaletteWidth / 2;
    constexpr int midY = kPaletteHeight / 2;
    fill(dc, 0, 0, midX, midY, RGB(0xFF, 0, 0));
    fill(dc, midX, 0, kPaletteWidth, midY, RGB(0, 0xFF, 0));
    fill(dc, 0, midY, midX, kPaletteHeight, RGB(0, 0, 0xFF));
    fill(dc, midX, midY, kPaletteWidth, kPaletteHeight, RGB(0x80, 0x80, 0x80));
    SetPixel(dc, kWhiteX, kWhiteY, RGB(0xFF, 0xFF, 0xFF));
    EndPaint(window, &paint);
}

// Mouse messages in the order a test expects to read them: the button, what it did, where.
void recordButton(const wchar_t* button, const wchar_t* action, LPARAM lParam) {
    recordf(L"palette %ls %ls %d,%d", button, action, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

LRESULT CALLBACK paletteProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: paint(window); return 0;
    case WM_LBUTTONDOWN: recordButton(L"left", L"down", lParam); return 0;
    case WM_LBUTTONUP: recordButton(L"left", L"up", lParam); return 0;
    case WM_LBUTTONDBLCLK: recordButton(L"left", L"double", lParam); return 0;
    case WM_RBUTTONDOWN: recordButton(L"right", L"down", lParam); return 0;
    case WM_RBUTTONUP: recordButton(L"right", L"up", lParam); return 0;
    case WM_MBUTTONDOWN: recordButton(L"middle", L"down", lParam); return 0;
    case WM_MBUTTONUP: recordButton(L"middle", L"up", lParam); return 0;
    case WM_MOUSEWHEEL: recordf(L"palette wheel %d", GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void registerPaletteClass() { registerClass(kPaletteClass, paletteProcedure, IDC_CROSS); }

HWND openPalette(const std::wstring& title) {
    const std::wstring name = title + L" - Palette";
    return CreateWindowExW(WS_EX_TOPMOST, kPaletteClass, name.c_str(), WS_POPUP | WS_VISIBLE, kPaletteLeft, kPaletteTop,
                           kPaletteWidth, kPaletteHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

} // namespace test_app
