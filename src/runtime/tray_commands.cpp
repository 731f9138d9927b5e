// "Exit" asks the run to end as a close request does; "Script Paused" toggles the pause; the
// script's entries queue their events. Mouse actions on the icon queue theirs and open the menu.
#include "runtime/tray_commands.h"

#include "engine/options.h"
#include "engine/startup_state.h"
#include "runtime/tray_icon.h"
#include "runtime/tray_menu.h"

namespace vexil {

namespace {

struct MouseEvent {
    UINT message;
    int32_t id;
    int32_t clickBit;
};
constexpr MouseEvent kMouseEvents[] = {
    {WM_LBUTTONDOWN, -7, 1},    {WM_LBUTTONUP, -8, 2},    {WM_LBUTTONDBLCLK, -13, 4}, {WM_RBUTTONDOWN, -9, 8},
    {WM_RBUTTONUP, -10, 16},    {WM_RBUTTONDBLCLK, -14, 32}, {WM_MOUSEMOVE, -11, 64},
};

UINT menuItemId(HMENU menu, int position) { return GetMenuItemID(menu, position); }

// The radio group around `id`: neighbours that are radio entries or name no entry of the script.
void checkRadioGroup(TrayState& tray, int32_t id) {
    HMENU menu = tray.entry(id).menu;
    int count = GetMenuItemCount(menu);
    if (menu == tray.topMenu && tray.defaultEntriesPresent) count -= 4;
    int position = 0;
    while (position < count && menuItemId(menu, position) != static_cast<UINT>(id)) ++position;
    if (position >= count) return;
    auto inGroup = [&](int at) {
        const UINT other = menuItemId(menu, at);
        const int32_t otherId = static_cast<int32_t>(other);
        if (other == static_cast<UINT>(-1) || !tray.occupied(otherId)) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            return GetMenuItemInfoW(menu, static_cast<UINT>(at), TRUE, &info) && !(info.fType & MFT_SEPARATOR) &&
                   other != static_cast<UINT>(-1);
        }
        return tray.entry(otherId).radio;
    };
    int first = position, last = position;
    while (first > 0 && inGroup(first - 1)) --first;
    while (last + 1 < count && inGroup(last + 1)) ++last;
    CheckMenuRadioItem(menu, static_cast<UINT>(first), static_cast<UINT>(last), static_cast<UINT>(position), MF_BYPOSITION);
}

void toggleCheck(HMENU menu, UINT id) {
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    CheckMenuItem(menu, id, MF_BYCOMMAND | ((state & MF_CHECKED) ? MF_UNCHECKED : MF_CHECKED));
}

// The first entry of the top menu marked as its default, queued before a double click.
void queueDefaultEntry(TrayState& tray) {
    for (int32_t id = TrayId::FirstUser; id <= tray.highestId(); ++id) {
        if (!tray.occupied(id) || tray.entry(id).menu != tray.topMenu) continue;
        if (GetMenuState(tray.topMenu, static_cast<UINT>(id), MF_BYCOMMAND) & MFS_DEFAULT) {
            tray.queue(id, tray.entry(id).function);
            return;
        }
    }
}

} // namespace

bool handleTrayCommand(BuiltinContext& context, WPARAM wParam, LPARAM lParam) {
    TrayState& tray = trayState(context);
    StartupState& flags = tray.flags();
    const int32_t id = LOWORD(wParam);
    switch (id) {
    case kTrayExitCommand:
        flags.exitMethod = ExitMethod::TrayExit;
        flags.closeRequested = 1;
        return true;
    case kTrayPauseCommand:
        flags.paused = !flags.paused;
        if (tray.topMenu) CheckMenuItem(tray.topMenu, kTrayPauseCommand, MF_BYCOMMAND | (flags.paused ? MF_CHECKED : MF_UNCHECKED));
        refreshTrayTip(context, tray);
        // Keeps a double click on the entry from pausing and resuming at once.
        Sleep(500);
        return true;
    default:
        break;
    }
    if (!tray.occupied(id) || HIWORD(wParam) != 0 || lParam != 0 || flags.paused) return false;
    const int32_t mode = context.options().trayMenuMode;
    if (tray.entry(id).radio && !(mode & TrayMenuMode::NoRadioAutoCheck)) checkRadioGroup(tray, id);
    else if (!(mode & TrayMenuMode::NoAutoCheck)) toggleCheck(tray.entry(id).menu, static_cast<UINT>(id));
    tray.queue(id, tray.entry(id).function);
    return true;
}

void handleTrayNotification(BuiltinContext& context, LPARAM lParam) {
    TrayState& tray = trayState(context);
    const MouseEvent* event = nullptr;
    for (const MouseEvent& candidate : kMouseEvents)
        if (candidate.message == static_cast<UINT>(LOWORD(lParam))) event = &candidate;
    if (!event) return;
    RuntimeOptions& options = context.options();
    const int32_t mode = options.trayMenuMode;
    if (event->message == WM_LBUTTONDBLCLK && !(mode & TrayMenuMode::NoDefaultOnDoubleClick)) queueDefaultEntry(tray);
    tray.queueSpecial(event->id);
    if (!(tray.clickMask & event->clickBit) || !tray.menuEnabled || !tray.topMenu) return;
    const bool defaultsShown = !(mode & TrayMenuMode::NoDefaultEntries);
    syncDefaultEntries(tray, defaultsShown);
    if (GetMenuItemCount(tray.topMenu) <= 0) return;
    if (!defaultsShown) {
        options.trayAutoPause = 0;
    } else if (options.trayAutoPause) {
        tray.flags().paused = 1;
        CheckMenuItem(tray.topMenu, kTrayPauseCommand, MF_BYCOMMAND | MF_CHECKED);
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(tray.window());
    TrackPopupMenuEx(tray.topMenu, TPM_LEFTBUTTON, cursor.x, cursor.y, tray.window(), nullptr);
    PostMessageW(tray.window(), WM_NULL, 0, 0);
    refreshTrayTip(context, tray);
}

} // namespace vexil
