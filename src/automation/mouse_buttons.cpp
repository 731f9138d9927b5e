#include "automation/mouse_buttons.h"

#include "base/ascii_case.h"

#include <windows.h>

namespace vexil {

namespace {

enum class ButtonName { Left, Right, Middle, Primary, Secondary };

struct ButtonNameRow {
    std::wstring_view name;
    ButtonName button;
};

constexpr ButtonNameRow kButtonNames[] = {
    {L"left", ButtonName::Left},       {L"right", ButtonName::Right},         {L"middle", ButtonName::Middle},
    {L"main", ButtonName::Primary},    {L"primary", ButtonName::Primary},     {L"menu", ButtonName::Secondary},
    {L"secondary", ButtonName::Secondary},
};

} // namespace

bool mouseButtonsSwapped() {
    wchar_t value[8] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"SwapMouseButtons", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return false;
    return value[0] == L'1';
}

std::optional<MouseButton> mouseButtonNamed(std::wstring_view name) {
    if (name.empty()) return MouseButton::Left;
    for (const ButtonNameRow& row : kButtonNames) {
        if (!sameNameAnyCase(row.name, name)) continue;
        switch (row.button) {
        case ButtonName::Left: return MouseButton::Left;
        case ButtonName::Right: return MouseButton::Right;
        case ButtonName::Middle: return MouseButton::Middle;
        case ButtonName::Primary: return mouseButtonsSwapped() ? MouseButton::Right : MouseButton::Left;
        case ButtonName::Secondary: return mouseButtonsSwapped() ? MouseButton::Left : MouseButton::Right;
        }
    }
    return std::nullopt;
}

} // namespace vexil
