// MOUSECLICK, MOUSECLICKDRAG, MOUSEDOWN, MOUSEUP, MOUSEMOVE, MOUSEWHEEL, MOUSEGETPOS and
// MOUSEGETCURSOR. A fenced run validates its arguments and leaves the real mouse alone.
#include "automation/coordinate_origin.h"
#include "automation/mouse_buttons.h"
#include "automation/mouse_input.h"
#include "automation/precise_delay.h"
#include "base/ascii_case.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "engine/values/containers.h"

#include <windows.h>

#include <iterator>

namespace vexil {

namespace {

// Buttons a script pressed with MOUSEDOWN and has not released: released when the run ends, also
// after a fatal error, so that the desktop is never left with a button held.
struct HeldMouseButtons final : RunResource {
    static constexpr RunResourceKind kKind = RunResourceKind::MouseButtons;
    bool held[3] = {};
    ~HeldMouseButtons() override {
        for (int i = 0; i < 3; ++i)
            if (held[i]) pressMouseButton(static_cast<MouseButton>(i), false);
    }
};

std::optional<MouseButton> buttonArg(BuiltinArgs args) { return mouseButtonNamed(textArg(args, 0).view()); }

// A button or direction that names none: 0, without @ERROR.
int invalidButton(Variant& result) {
    result = Variant::int32(0);
    return 0;
}

ScreenPoint mouseOrigin(BuiltinContext& context) { return coordinateOrigin(context.options().mouseCoordMode); }

// Moves to (x, y) in the script's mouse coordinates.
void moveInScriptCoordinates(BuiltinContext& context, int32_t x, int32_t y, int32_t speed) {
    const ScreenPoint origin = mouseOrigin(context);
    moveMouse(x + origin.x, y + origin.y, speed);
}

void click(BuiltinContext& context, MouseButton button) {
    pressMouseButton(button, true);
    preciseDelay(context.options().mouseClickDownDelay);
    pressMouseButton(button, false);
    preciseDelay(context.options().mouseClickDelay);
}

} // namespace

int builtinMouseClick(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::optional<MouseButton> button = buttonArg(args);
    if (!button) return invalidButton(result);
    // An x without a y is no place to go.
    if (given(args, 1) && !passed(args, 2)) return context.fail(5);
    const int32_t clicks = optInt(args, 3, 1);
    const int32_t speed = optInt(args, 4, 10);
    if (context.fenced()) return 0;
    if (given(args, 1) || given(args, 2)) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const ScreenPoint origin = mouseOrigin(context);
        // Default keeps that coordinate where the pointer is.
        const int32_t x = given(args, 1) ? args[1].dereferenced().toInt32() : cursor.x - origin.x;
        const int32_t y = given(args, 2) ? args[2].dereferenced().toInt32() : cursor.y - origin.y;
        moveMouse(x + origin.x, y + origin.y, speed);
        if (speed == 0) preciseDelay(10);
    }
    for (int32_t i = 0; i < clicks; ++i) click(context, *button);
    return 0;
}

int builtinMouseClickDrag(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::optional<MouseButton> button = buttonArg(args);
    if (!button) return invalidButton(result);
    const int32_t speed = optInt(args, 5, 10);
    if (context.fenced()) return 0;
    const RuntimeOptions& options = context.options();
    moveInScriptCoordinates(context, args[1].dereferenced().toInt32(), args[2].dereferenced().toInt32(), speed);
    if (speed == 0) preciseDelay(10);
    pressMouseButton(*button, true);
    preciseDelay(options.mouseClickDragDelay);
    const int32_t dragSpeed = speed < 2 && speed != -1 ? 2 : speed;
    moveInScriptCoordinates(context, args[3].dereferenced().toInt32(), args[4].dereferenced().toInt32(), dragSpeed);
    preciseDelay(options.mouseClickDragDelay);
    pressMouseButton(*button, false);
    preciseDelay(options.mouseClickDelay);
    return 0;
}

namespace {

int pressOrRelease(BuiltinContext& context, BuiltinArgs args, Variant& result, bool down) {
    const std::optional<MouseButton> button = buttonArg(args);
    if (!button) return invalidButton(result);
    if (context.fenced()) return 0;
    pressMouseButton(*button, down);
    context.runResource<HeldMouseButtons>().held[static_cast<int>(*button)] = down;
    return 0;
}

} // namespace

int builtinMouseDown(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return pressOrRelease(context, args, result, true);
}

int builtinMouseUp(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return pressOrRelease(context, args, result, false);
}

int builtinMouseMove(BuiltinContext& context, BuiltinArgs args, Variant&) {
    const int32_t x = args[0].dereferenced().toInt32();
    const int32_t y = args[1].dereferenced().toInt32();
    const int32_t speed = optInt(args, 2, -1);
    if (context.fenced()) return 0;
    moveInScriptCoordinates(context, x, y, speed);
    return 0;
}

int builtinMouseWheel(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const WString& direction = textArg(args, 0);
    const bool up = sameNameAnyCase(L"up", direction.view());
    if (!up && !sameNameAnyCase(L"down", direction.view())) return invalidButton(result);
    const int32_t clicks = optInt(args, 1, 1);
    if (context.fenced()) return 0;
    for (int32_t i = 0; i < clicks; ++i) {
        turnMouseWheel(up);
        preciseDelay(context.options().mouseClickDelay);
    }
    return 0;
}

int builtinMouseGetPos(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const ScreenPoint origin = mouseOrigin(context);
    const int32_t x = cursor.x - origin.x;
    const int32_t y = cursor.y - origin.y;
    if (!passed(args, 0)) {
        result = arrayOf({Variant::int32(x), Variant::int32(y)});
        return 0;
    }
    const Variant& dimension = args[0].dereferenced();
    if (!dimension.isNumber()) return context.fail(1);
    switch (dimension.toInt32()) {
    case 0: result = Variant::int32(x); break;
    case 1: result = Variant::int32(y); break;
    default: break;
    }
    return 0;
}

int builtinMouseGetCursor(BuiltinContext&, BuiltinArgs, Variant& result) {
    // The system cursors in the order of their numbers, from 1.
    static const LPCWSTR kCursors[] = {IDC_APPSTARTING, IDC_ARROW,    IDC_CROSS,  IDC_HELP,     IDC_IBEAM,  IDC_ICON,
                                       IDC_NO,          IDC_SIZE,     IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE,
                                       IDC_SIZEWE,      IDC_UPARROW,  IDC_WAIT,   IDC_HAND};
    CURSORINFO info{};
    info.cbSize = sizeof info;
    result = Variant::int32(0);
    if (!GetCursorInfo(&info) || !info.hCursor) return 0;
    for (size_t i = 0; i < std::size(kCursors); ++i) {
        if (LoadCursorW(nullptr, kCursors[i]) == info.hCursor) {
            result = Variant::int32(static_cast<int32_t>(i + 1));
            break;
        }
    }
    return 0;
}

} // namespace vexil
