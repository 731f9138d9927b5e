#include "runtime/hot_key_table.h"

#include <windows.h>

namespace vexil {

HotKeyTable::~HotKeyTable() {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].used) UnregisterHotKey(static_cast<HWND>(window_), static_cast<int>(i));
}

int32_t HotKeyTable::find(uint64_t signature) const {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].used && slots_[i].signature == signature) return static_cast<int32_t>(i);
    return -1;
}

int32_t HotKeyTable::add(void* window, uint64_t signature, std::wstring function, std::wstring keyText,
                         uint32_t& error) {
    size_t id = 0;
    while (id < slots_.size() && slots_[id].used) ++id;
    if (id == slots_.size()) slots_.emplace_back();
    const UINT vk = static_cast<UINT>(signature >> 16);
    const UINT modifiers = static_cast<UINT>(signature & 0xFFFF);
    if (!RegisterHotKey(static_cast<HWND>(window), static_cast<int>(id), modifiers, vk)) {
        error = GetLastError();
        return -1;
    }
    window_ = window;
    slots_[id] = Slot{true, signature, std::move(function), std::move(keyText)};
    return static_cast<int32_t>(id);
}

void HotKeyTable::remove(int32_t id) {
    UnregisterHotKey(static_cast<HWND>(window_), id);
    slots_[static_cast<size_t>(id)] = Slot{};
}

bool HotKeyTable::serveEvents(BuiltinContext& context) {
    if (presses_.empty()) return false;
    const int32_t id = presses_.front();
    presses_.pop_front();
    if (id < 0 || static_cast<size_t>(id) >= slots_.size() || !slots_[static_cast<size_t>(id)].used) return false;
    const Slot& slot = slots_[static_cast<size_t>(id)];
    context.setLastHotKey(slot.keyText);
    const UserFunction* function = context.findFunction(slot.function);
    if (!function) return false;
    context.runEventFunction(*function);
    return true;
}

HotKeyTable& hotKeyTable(BuiltinContext& context) {
    HotKeyTable& table = context.runResource<HotKeyTable>();
    context.setEventSource(EventSourceKind::HotKeys, &table);
    return table;
}

} // namespace vexil
