#pragma once
// Messages to list views, tree views and status bars of any process, with their records and text
// buffers placed in the control's own process.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vexil {

// The text of item `item`, subitem `subItem` of a list view (at most 1024 characters).
std::optional<std::wstring> listViewItemText(HWND listView, int32_t item, int32_t subItem);
// Sets the state bits `mask` of item `item` (-1: every item) to `state`.
bool setListViewItemState(HWND listView, int32_t item, uint32_t state, uint32_t mask);

// The text of a tree-view item (a handle of the tree's process).
std::optional<std::wstring> treeItemText(HWND tree, uint64_t item);
// The item's rectangle in the tree's client coordinates (only its text with `textOnly`).
std::optional<RECT> treeItemRect(HWND tree, uint64_t item, bool textOnly);
// The TVHT_* flags and the item at client point (x, y).
std::optional<uint32_t> treeHitTest(HWND tree, int32_t x, int32_t y, uint64_t& item);

// The text of part `part` (0-based) of a status bar.
std::optional<std::wstring> statusBarText(HWND statusBar, int32_t part);

} // namespace vexil
