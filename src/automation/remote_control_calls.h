#pragma once
// Messages to list views, tree views and status bars of any process, with their records and text
// buffers placed in the control's own process. A reader keeps one block there for all its calls,
// so that walking thousands of items costs no allocation each.
#include "automation/remote_memory.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vexil {

class RemoteListView {
public:
    explicit RemoteListView(HWND listView);
    bool ok() const { return memory_.ok(); }
    // The text of item `item`, subitem `subItem` (at most 1024 characters).
    std::optional<std::wstring> itemText(int32_t item, int32_t subItem);
    // Sets the state bits `mask` of item `item` (-1: every item) to `state`.
    bool setItemState(int32_t item, uint32_t state, uint32_t mask);

private:
    HWND listView_;
    RemoteMemory memory_;
};

class RemoteTreeView {
public:
    explicit RemoteTreeView(HWND tree);
    bool ok() const { return memory_.ok(); }
    // The text of an item (a handle of the tree's process).
    std::optional<std::wstring> itemText(uint64_t item);
    // The item's rectangle in the tree's client coordinates (only its text with `textOnly`).
    std::optional<RECT> itemRect(uint64_t item, bool textOnly);
    // The TVHT_* flags and the item at client point (x, y).
    std::optional<uint32_t> hitTest(int32_t x, int32_t y, uint64_t& item);

private:
    HWND tree_;
    RemoteMemory memory_;
};

// The text of part `part` (0-based) of a status bar.
std::optional<std::wstring> statusBarText(HWND statusBar, int32_t part);

} // namespace vexil
