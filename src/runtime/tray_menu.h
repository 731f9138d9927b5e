#pragma once
// The tray menu's entries: the script's items and sub-menus, and the built-in "Script Paused"
// and "Exit" entries, as the tray built-ins read and change them.
#include "runtime/tray_state.h"

#include <string_view>

namespace vexil {

// Item state bits of the script's view.
namespace TrayItemState {
constexpr int32_t Checked = 1;
constexpr int32_t Unchecked = 4;
constexpr int32_t Enabled = 64;
constexpr int32_t Disabled = 128;
constexpr int32_t Highlighted = 256;
constexpr int32_t Default = 512;
} // namespace TrayItemState

// A new entry (Item: an empty text makes a separator); its id, or 0.
int32_t createTrayEntry(TrayState& tray, TrayEntryKind kind, std::wstring_view text, int32_t parent,
                        int32_t position, bool radio);
bool deleteTrayEntry(TrayState& tray, int32_t id);
// The menu that contains entry `id`, or nullptr when it is not in a menu.
HMENU trayEntryMenu(TrayState& tray, int32_t id);
// Reads an entry that is no separator: false otherwise.
bool readTrayEntry(TrayState& tray, int32_t id, std::wstring* text, int32_t* state);
int32_t setTrayEntryText(TrayState& tray, int32_t id, std::wstring_view text);
int32_t setTrayEntryState(TrayState& tray, int32_t id, int32_t state);
// The sub-menu that entry `id` opens (the top menu for 0), or nullptr.
HMENU traySubmenu(TrayState& tray, int32_t id);
// The built-in entries shown or taken away, as "TrayMenuMode" asks.
void syncDefaultEntries(TrayState& tray, bool shown);

} // namespace vexil
