#include "automation/remote_control_calls.h"

#include "automation/control_records.h"
#include "automation/remote_memory.h"
#include "automation/window_text.h"

#include <commctrl.h>

namespace vexil {

namespace {

// Room for 1024 characters of text after each record.
constexpr size_t kTextBytes = 2048;
constexpr size_t kTextUnits = kTextBytes / sizeof(wchar_t);

bool sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kHungTimeoutMs, &result)) return false;
    answer = static_cast<LRESULT>(result);
    return true;
}

// The text the control wrote `units` characters of at `offset` in `memory`.
std::optional<std::wstring> remoteText(const RemoteMemory& memory, size_t offset, size_t units) {
    std::wstring text(std::min(units, kTextUnits - 1), L'\0');
    if (!memory.read(text.data(), text.size() * sizeof(wchar_t), offset)) return std::nullopt;
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
}

} // namespace

std::optional<std::wstring> listViewItemText(HWND listView, int32_t item, int32_t subItem) {
    RemoteMemory memory(listView, kListViewRecordRoom + kTextBytes);
    if (!memory.ok()) return std::nullopt;
    const ListViewItemLayout& layout = listViewItemLayout(memory.narrow());
    RecordImage record(layout.size, memory.narrow());
    record.put32(layout.subItem, static_cast<uint32_t>(subItem));
    record.putPointer(layout.text, memory.address(kListViewRecordRoom));
    record.put32(layout.textMax, kTextUnits);
    const wchar_t nothing = 0;
    LRESULT length = 0;
    if (!memory.write(record.data(), record.size()) || !memory.write(&nothing, sizeof nothing, kListViewRecordRoom) ||
        !sendMessage(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), static_cast<LPARAM>(memory.address()), length))
        return std::nullopt;
    return remoteText(memory, kListViewRecordRoom, static_cast<size_t>(length) + 1);
}

bool setListViewItemState(HWND listView, int32_t item, uint32_t state, uint32_t mask) {
    RemoteMemory memory(listView, kListViewRecordRoom);
    if (!memory.ok()) return false;
    const ListViewItemLayout& layout = listViewItemLayout(memory.narrow());
    RecordImage record(layout.size, memory.narrow());
    record.put32(layout.mask, LVIF_STATE);
    record.put32(layout.state, state);
    record.put32(layout.stateMask, mask);
    LRESULT done = 0;
    return memory.write(record.data(), record.size()) &&
           sendMessage(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(memory.address()), done) &&
           done != 0;
}

std::optional<std::wstring> treeItemText(HWND tree, uint64_t item) {
    RemoteMemory memory(tree, kTreeRecordRoom + kTextBytes);
    if (!memory.ok()) return std::nullopt;
    const TreeViewItemLayout& layout = treeViewItemLayout(memory.narrow());
    RecordImage record(layout.size, memory.narrow());
    record.put32(layout.mask, TVIF_TEXT | TVIF_HANDLE);
    record.putPointer(layout.item, item);
    record.putPointer(layout.text, memory.address(kTreeRecordRoom));
    record.put32(layout.textMax, kTextUnits);
    const wchar_t nothing = 0;
    LRESULT done = 0;
    if (!memory.write(record.data(), record.size()) || !memory.write(&nothing, sizeof nothing, kTreeRecordRoom) ||
        !sendMessage(tree, TVM_GETITEMW, 0, static_cast<LPARAM>(memory.address()), done) || !done)
        return std::nullopt;
    return remoteText(memory, kTreeRecordRoom, kTextUnits);
}

std::optional<RECT> treeItemRect(HWND tree, uint64_t item, bool textOnly) {
    RemoteMemory memory(tree, sizeof(RECT));
    if (!memory.ok()) return std::nullopt;
    // The message takes the item's handle in the rectangle it fills.
    RecordImage record(sizeof(RECT), memory.narrow());
    record.putPointer(0, item);
    RECT rect{};
    LRESULT done = 0;
    if (!memory.write(record.data(), record.size()) ||
        !sendMessage(tree, TVM_GETITEMRECT, textOnly, static_cast<LPARAM>(memory.address()), done) || !done ||
        !memory.read(&rect, sizeof rect))
        return std::nullopt;
    return rect;
}

std::optional<uint32_t> treeHitTest(HWND tree, int32_t x, int32_t y, uint64_t& item) {
    RemoteMemory memory(tree, kTreeRecordRoom);
    if (!memory.ok()) return std::nullopt;
    const TreeHitTestLayout& layout = treeHitTestLayout(memory.narrow());
    RecordImage record(layout.size, memory.narrow());
    record.put32(layout.x, static_cast<uint32_t>(x));
    record.put32(layout.y, static_cast<uint32_t>(y));
    LRESULT found = 0;
    if (!memory.write(record.data(), record.size()) ||
        !sendMessage(tree, TVM_HITTEST, 0, static_cast<LPARAM>(memory.address()), found) ||
        !memory.read(record.data(), record.size()))
        return std::nullopt;
    item = static_cast<uint64_t>(found);
    return record.get32(layout.flags);
}

std::optional<std::wstring> statusBarText(HWND statusBar, int32_t part) {
    RemoteMemory memory(statusBar, kTextBytes);
    if (!memory.ok()) return std::nullopt;
    const wchar_t nothing = 0;
    LRESULT answer = 0;
    if (!memory.write(&nothing, sizeof nothing) ||
        !sendMessage(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part), static_cast<LPARAM>(memory.address()), answer))
        return std::nullopt;
    return remoteText(memory, 0, static_cast<size_t>(LOWORD(answer)) + 1);
}

} // namespace vexil
