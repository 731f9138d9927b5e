#include "runtime/tray_state.h"

#include "engine/options.h"

namespace vexil {

TrayState::~TrayState() {
    currentIcon.release();
    pauseIcon.release();
    if (topMenu) DestroyMenu(topMenu);
}

void TrayState::attach(HWND window, StartupState* startup, HINSTANCE instance, std::wstring tip) {
    window_ = window;
    startup_ = startup;
    if (!topMenu) topMenu = CreatePopupMenu();
    defaultIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(99), IMAGE_ICON, 16, 16, 0));
    defaultPauseIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(164), IMAGE_ICON, 16, 16, 0));
    blankIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(162), IMAGE_ICON, 16, 16, 0));
    defaultTip = std::move(tip);
}

bool TrayState::occupied(int32_t id) const {
    return id >= TrayId::FirstUser && id <= TrayId::Last && entries_[static_cast<size_t>(id)].kind != TrayEntryKind::Free;
}

int32_t TrayState::allocate() {
    int32_t id = -1;
    if (highestId_ < TrayId::Last) {
        id = highestId_ == 0 ? TrayId::FirstUser : highestId_ + 1;
        highestId_ = id;
    } else {
        // Only a full range reuses freed ids, so that a fresh id seldom names a deleted entry.
        for (int32_t i = TrayId::FirstUser; i <= TrayId::Last && id < 0; ++i)
            if (!occupied(i)) id = i;
        if (id < 0) return -1;
    }
    entries_[static_cast<size_t>(id)] = TrayEntry{};
    entries_[static_cast<size_t>(id)].kind = TrayEntryKind::Item; // taken until the caller sets it
    return id;
}

void TrayState::release(int32_t id) {
    entries_[static_cast<size_t>(id)] = TrayEntry{};
    if (id != highestId_) return;
    highestId_ = 0;
    for (int32_t i = id - 1; i >= TrayId::FirstUser && highestId_ == 0; --i)
        if (occupied(i)) highestId_ = i;
}

bool TrayState::popEvent(TrayEvent& event) {
    if (events_.empty()) return false;
    event = std::move(events_.front());
    events_.pop_front();
    return true;
}

bool TrayState::serveEvents(BuiltinContext& context) {
    if (serving_ || !context.options().trayOnEventMode) return false;
    TrayEvent event;
    while (popEvent(event)) {
        if (event.function.empty()) continue;
        const UserFunction* function = context.findFunction(event.function);
        if (!function) continue;
        context.setEventMacro(L"@TRAY_ID", Variant::int32(event.id));
        serving_ = true;
        context.runEventFunction(*function);
        serving_ = false;
        return true;
    }
    return false;
}

TrayState& trayState(BuiltinContext& context) {
    TrayState& tray = context.runResource<TrayState>();
    context.setEventSource(EventSourceKind::Tray, &tray);
    return tray;
}

} // namespace vexil
