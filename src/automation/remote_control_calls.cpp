#include "automation/remote_control_calls.h"

#include "automation/control_records.h"
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

RemoteListView::RemoteListView(HWND listView) : listView_(listView), memory_(listView, kListViewRecordRoom + kTextBytes) {}

std::optional<std::wstring> RemoteListView::itemText(int32_t item, int32_t subItem) {
    const ListViewItemLayout& layout = listViewItemLayout(memory_.narrow());
    // The record and an empty text after it, in one write.
    RecordImage record(kListViewRecordRoom + sizeof(wchar_t), memory_.narrow());
    record.put32(layout.subItem, static_cast<uint32_t>(subItem));
    record.putPointer(layout.text, memory_.address(kListViewRecordRoom));
    record.put32(layout.textMax, kTextUnits);
    LRESULT length = 0;
    if (!memory_.write(record.data(), record.size()) ||
        !sendMessage(listView_, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), static_cast<LPARAM>(memory_.address()), length))
        return std::nullopt;
    return remoteText(memory_, kListViewRecordRoom, static_cast<size_t>(length) + 1);
}

bool RemoteListView::setItemState(int32_t item, uint32_t state, uint32_t mask) {
    const ListViewItemLayout& layout = listViewItemLayout(memory_.narrow());
    RecordImage record(layout.size, memory_.narrow());
    record.put32(layout.mask, LVIF_STATE);
    record.put32(layout.state, state);
    record.put32(layout.stateMask, mask);
    LRESULT done = 0;
    return memory_.write(record.data(), record.size()) &&
           sendMessage(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(item), static_cast<LPARAM>(memory_.address()), done) &&
           done != 0;
}

RemoteTreeView::RemoteTreeView(HWND tree) : tree_(tree), memory_(tree, kTreeRecordRoom + kTextBytes) {}

std::optional<std::wstring> RemoteTreeView::itemText(uint64_t item) {
    const TreeViewItemLayout& layout = treeViewItemLayout(memory_.narrow());
    RecordImage record(kTreeRecordRoom + sizeof(wchar_t), memory_.narrow());
    record.put32(layout.mask, TVIF_TEXT | TVIF_HANDLE);
    record.putPointer(layout.item, item);
    record.putPointer(layout.text, memory_.address(kTreeRecordRoom));
    record.put32(layout.textMax, kTextUnits);
    LRESULT done = 0;
    if (!memory_.write(record.data(), record.size()) ||
        !sendMessage(tree_, TVM_GETITEMW, 0, static_cast<LPARAM>(memory_.address()), done) || !done)
        return std::nullopt;
    return remoteText(memory_, kTreeRecordRoom, kTextUnits);
}

std::optional<RECT> RemoteTreeView::itemRect(uint64_t item, bool textOnly) {
    // The message takes the item's handle in the rectangle it fills.
    RecordImage record(sizeof(RECT), memory_.narrow());
    record.putPointer(0, item);
    RECT rect{};
    LRESULT done = 0;
    if (!memory_.write(record.data(), record.size()) ||
        !sendMessage(tree_, TVM_GETITEMRECT, textOnly, static_cast<LPARAM>(memory_.address()), done) || !done ||
        !memory_.read(&rect, sizeof rect))
        return std::nullopt;
    return rect;
}

std::optional<uint32_t> RemoteTreeView::hitTest(int32_t x, int32_t y, uint64_t& item) {
    const TreeHitTestLayout& layout = treeHitTestLayout(memory_.narrow());
    RecordImage record(layout.size, memory_.narrow());
    record.put32(layout.x, static_cast<uint32_t>(x));
    record.put32(layout.y, static_cast<uint32_t>(y));
    LRESULT found = 0;
    if (!memory_.write(record.data(), record.size()) ||
        !sendMessage(tree_, TVM_HITTEST, 0, static_cast<LPARAM>(memory_.address()), found) ||
        !memory_.read(record.data(), record.size()))
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
