#include "engine/builtins/handle_table.h"

#include "engine/builtins/builtins.h"
#include "engine/values/value.h"

#include <windows.h>

namespace vexil {

FileSearch::~FileSearch() {
    if (find && find != INVALID_HANDLE_VALUE) FindClose(find);
}

HandleTable::~HandleTable() {
    // Streams flush what they still hold as they close.
    slots_.clear();
}

size_t HandleTable::freeSlot() {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].empty()) return i;
    slots_.emplace_back();
    return slots_.size() - 1;
}

int HandleTable::add(std::unique_ptr<FileStream> stream) {
    size_t i = freeSlot();
    slots_[i].stream = std::move(stream);
    return static_cast<int>(i + 1);
}

int HandleTable::add(std::unique_ptr<FileSearch> search) {
    size_t i = freeSlot();
    slots_[i].search = std::move(search);
    return static_cast<int>(i + 1);
}

std::ptrdiff_t handleSlotIndex(const Variant& handle, size_t slotCount) {
    const Variant& v = handle.dereferenced();
    int64_t n = 0;
    switch (v.kind()) {
    case VarKind::Int32: n = v.int32Value(); break;
    case VarKind::Int64: n = v.int64Value(); break;
    case VarKind::Double:
        if (!(v.doubleValue() >= 1 && v.doubleValue() <= static_cast<double>(slotCount))) return -1;
        n = static_cast<int64_t>(v.doubleValue());
        break;
    default: return -1; // a text is a name, never a handle
    }
    if (n < 1 || static_cast<uint64_t>(n) > slotCount) return -1;
    return static_cast<std::ptrdiff_t>(n - 1);
}

HandleTable::Slot* HandleTable::slot(const Variant& handle) {
    const std::ptrdiff_t index = handleSlotIndex(handle, slots_.size());
    return index < 0 ? nullptr : &slots_[static_cast<size_t>(index)];
}

FileStream* HandleTable::stream(const Variant& handle) {
    Slot* s = slot(handle);
    return s ? s->stream.get() : nullptr;
}

FileSearch* HandleTable::search(const Variant& handle) {
    Slot* s = slot(handle);
    return s ? s->search.get() : nullptr;
}

HandleTable::CloseResult HandleTable::close(const Variant& handle) {
    Slot* s = slot(handle);
    if (!s || s->empty()) return CloseResult::Invalid;
    bool written = !s->stream || s->stream->close();
    s->stream.reset();
    s->search.reset();
    while (!slots_.empty() && slots_.back().empty()) slots_.pop_back();
    return written ? CloseResult::Closed : CloseResult::WriteLost;
}

void HandleTable::flushPendingWrites() {
    if (!pendingWrites_) return;
    for (Slot& s : slots_)
        if (s.stream) s.stream->drainWrites();
    pendingWrites_ = false;
}

bool HandleTable::leavesFilesAlone(int builtinIndex) {
    return builtinIndex >= 0 && builtinIndex < builtinCount() && builtinEntry(builtinIndex).leavesFilesAlone;
}

} // namespace vexil
