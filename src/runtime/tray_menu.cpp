#include "runtime/tray_menu.h"

namespace vexil {

namespace {

constexpr int kBuiltinEntryCount = 4;

bool isBuiltinEntry(int32_t id) { return id == TrayId::Exit || id == TrayId::Pause; }
bool isSeparatorId(int32_t id) { return id == TrayId::SeparatorBefore || id == TrayId::SeparatorAfter; }

MENUITEMINFOW itemInfo(UINT mask) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    return info;
}

bool insertEntry(HMENU menu, int32_t position, int32_t id, UINT type, const wchar_t* text, HMENU submenu) {
    MENUITEMINFOW info = itemInfo(MIIM_ID | MIIM_DATA | MIIM_FTYPE | (text ? MIIM_STRING : 0) | (submenu ? MIIM_SUBMENU : 0));
    info.fType = type;
    info.wID = static_cast<UINT>(id);
    info.dwItemData = static_cast<ULONG_PTR>(id);
    info.dwTypeData = const_cast<wchar_t*>(text);
    info.hSubMenu = submenu;
    const bool append = position < 0;
    return InsertMenuItemW(menu, append ? static_cast<UINT>(GetMenuItemCount(menu)) : static_cast<UINT>(position),
                           TRUE, &info) != FALSE;
}

bool changeText(HMENU menu, int32_t id, std::wstring_view text) {
    std::wstring copy(text);
    MENUITEMINFOW info = itemInfo(MIIM_STRING);
    info.dwTypeData = copy.data();
    return SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info) != FALSE;
}

} // namespace

HMENU trayEntryMenu(TrayState& tray, int32_t id) {
    if (isBuiltinEntry(id)) return tray.defaultEntriesPresent ? tray.topMenu : nullptr;
    return tray.occupied(id) ? tray.entry(id).menu : nullptr;
}

HMENU traySubmenu(TrayState& tray, int32_t id) {
    if (id == TrayId::TopMenu) return tray.topMenu;
    if (!tray.occupied(id) || tray.entry(id).kind != TrayEntryKind::Menu) return nullptr;
    MENUITEMINFOW info = itemInfo(MIIM_SUBMENU);
    if (!GetMenuItemInfoW(tray.entry(id).menu, static_cast<UINT>(id), FALSE, &info)) return nullptr;
    return info.hSubMenu && IsMenu(info.hSubMenu) ? info.hSubMenu : nullptr;
}

int32_t createTrayEntry(TrayState& tray, TrayEntryKind kind, std::wstring_view text, int32_t parent,
                        int32_t position, bool radio) {
    if (parent != -1 && (parent < TrayId::FirstUser || parent > TrayId::Last)) return 0;
    HMENU container = tray.topMenu;
    if (parent != -1) {
        container = traySubmenu(tray, parent);
        if (!container) return 0;
    }
    if (!container) return 0;
    const int32_t id = tray.allocate();
    if (id < 0) return 0;
    TrayEntry& entry = tray.entry(id);
    entry.kind = kind;
    entry.menu = container;
    std::wstring copy(text);
    UINT type = MFT_STRING;
    HMENU submenu = nullptr;
    if (kind == TrayEntryKind::Item) {
        if (copy.empty()) type = MFT_SEPARATOR;
        else if (radio) type |= MFT_RADIOCHECK;
        entry.radio = radio && !copy.empty();
    } else {
        submenu = CreatePopupMenu();
        if (!submenu) {
            tray.release(id);
            return 0;
        }
    }
    if (tray.defaultEntriesPresent && container == tray.topMenu) {
        const int32_t limit = GetMenuItemCount(container) - kBuiltinEntryCount;
        if (position == -1 || position > limit) position = limit;
    }
    if (!insertEntry(container, position, id, type, type == MFT_SEPARATOR ? nullptr : copy.c_str(), submenu)) {
        if (submenu) DestroyMenu(submenu);
        tray.release(id);
        return 0;
    }
    tray.lastCreatedId = id;
    return id;
}

bool deleteTrayEntry(TrayState& tray, int32_t id) {
    if (id < TrayId::FirstUser || id > tray.highestId() || !tray.occupied(id)) return false;
    if (tray.entry(id).kind == TrayEntryKind::Menu) {
        if (HMENU submenu = traySubmenu(tray, id)) {
            for (int32_t child = TrayId::FirstUser; child <= tray.highestId(); ++child)
                if (tray.occupied(child) && tray.entry(child).menu == submenu) deleteTrayEntry(tray, child);
        }
    }
    // DeleteMenu destroys the sub-menu an entry opens.
    const bool deleted = DeleteMenu(tray.entry(id).menu, static_cast<UINT>(id), MF_BYCOMMAND) != FALSE;
    if (!deleted) return false;
    tray.release(id);
    return true;
}

bool readTrayEntry(TrayState& tray, int32_t id, std::wstring* text, int32_t* state) {
    if (isSeparatorId(id)) return false;
    HMENU menu = trayEntryMenu(tray, id);
    if (!menu) return false;
    wchar_t buffer[261] = {};
    MENUITEMINFOW info = itemInfo(MIIM_STATE | MIIM_TYPE);
    info.dwTypeData = buffer;
    info.cch = 260;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info) || (info.fType & MFT_SEPARATOR)) return false;
    if (text) *text = buffer;
    if (state) {
        *state = (info.fState & MFS_DISABLED) ? TrayItemState::Disabled : TrayItemState::Enabled;
        if (info.fState & MFS_HILITE) *state += TrayItemState::Highlighted;
        *state += (info.fState & MFS_CHECKED) ? TrayItemState::Checked : TrayItemState::Unchecked;
        if (info.fState & MFS_DEFAULT) *state += TrayItemState::Default;
    }
    return true;
}

namespace {

// The built-in entries only keep a text: empty restores their own.
int32_t setBuiltinText(TrayState& tray, int32_t id, std::wstring_view text) {
    std::wstring& stored = id == TrayId::Exit ? tray.exitText : tray.pauseText;
    stored = text.empty() ? std::wstring(id == TrayId::Exit ? L"Exit" : L"Script Paused") : std::wstring(text);
    if (!tray.defaultEntriesPresent || text.empty()) return 0;
    return changeText(tray.topMenu, id, text) ? 1 : 0;
}

} // namespace

int32_t setTrayEntryText(TrayState& tray, int32_t id, std::wstring_view text) {
    if (isSeparatorId(id)) return 0;
    if (isBuiltinEntry(id)) return setBuiltinText(tray, id, text);
    if (!tray.occupied(id) || !readTrayEntry(tray, id, nullptr, nullptr) || text.empty()) return 0;
    return changeText(tray.entry(id).menu, id, text) ? 1 : 0;
}

int32_t setTrayEntryState(TrayState& tray, int32_t id, int32_t state) {
    if (isSeparatorId(id)) return 0;
    if (isBuiltinEntry(id)) return setBuiltinText(tray, id, {});
    if (!tray.occupied(id)) return 0;
    HMENU menu = tray.entry(id).menu;
    MENUITEMINFOW info = itemInfo(MIIM_STATE | MIIM_FTYPE);
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &info) || (info.fType & MFT_SEPARATOR)) return 0;
    const bool wasDefault = (info.fState & MFS_DEFAULT) != 0;
    UINT bits = info.fState;
    if (state & TrayItemState::Enabled) bits &= ~static_cast<UINT>(MFS_DISABLED);
    if (state & TrayItemState::Disabled) bits |= MFS_DISABLED;
    if (state & TrayItemState::Checked) bits |= MFS_CHECKED;
    if (state & TrayItemState::Unchecked) bits &= ~static_cast<UINT>(MFS_CHECKED);
    if (state & TrayItemState::Highlighted) bits |= MFS_HILITE;
    MENUITEMINFOW write = itemInfo(MIIM_STATE);
    write.fState = bits;
    if (!SetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &write)) return 0;
    if (state <= 0) return 1;
    if (state & TrayItemState::Default) return SetMenuDefaultItem(menu, static_cast<UINT>(id), FALSE) ? 1 : 0;
    if (wasDefault) return SetMenuDefaultItem(menu, static_cast<UINT>(-1), FALSE) ? 1 : 0;
    return 1;
}

void syncDefaultEntries(TrayState& tray, bool shown) {
    if (!shown) {
        for (int32_t id : {TrayId::SeparatorBefore, TrayId::Pause, TrayId::SeparatorAfter, TrayId::Exit})
            DeleteMenu(tray.topMenu, static_cast<UINT>(id), MF_BYCOMMAND);
        tray.defaultEntriesPresent = false;
        return;
    }
    if (tray.defaultEntriesPresent) return;
    if (GetMenuItemCount(tray.topMenu) > 0) insertEntry(tray.topMenu, -1, TrayId::SeparatorBefore, MFT_SEPARATOR, nullptr, nullptr);
    insertEntry(tray.topMenu, -1, TrayId::Pause, MFT_STRING, tray.pauseText.c_str(), nullptr);
    insertEntry(tray.topMenu, -1, TrayId::SeparatorAfter, MFT_SEPARATOR, nullptr, nullptr);
    insertEntry(tray.topMenu, -1, TrayId::Exit, MFT_STRING, tray.exitText.c_str(), nullptr);
    tray.defaultEntriesPresent = true;
}

} // namespace vexil
