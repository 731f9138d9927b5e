#include "interop/dll_callbacks.h"

#include "engine/builtins/handle_table.h"

#include <algorithm>

namespace vexil {

int DllCallbacks::add(std::unique_ptr<NativeCallback> callback) {
    dropLeftClosures();
    size_t slot = 0;
    while (slot < slots_.size() && slots_[slot]) ++slot;
    if (slot == slots_.size()) slots_.push_back(std::move(callback));
    else slots_[slot] = std::move(callback);
    return static_cast<int>(slot + 1);
}

NativeCallback* DllCallbacks::find(const Variant& handle) const {
    const std::ptrdiff_t slot = handleSlotIndex(handle, slots_.size());
    return slot < 0 ? nullptr : slots_[static_cast<size_t>(slot)].get();
}

bool DllCallbacks::free(const Variant& handle) {
    const std::ptrdiff_t slot = handleSlotIndex(handle, slots_.size());
    if (slot < 0 || !slots_[static_cast<size_t>(slot)]) return false;
    std::unique_ptr<NativeCallback> freed = std::move(slots_[static_cast<size_t>(slot)]);
    if (freed->running()) freedWhileRunning_.push_back(std::move(freed));
    dropLeftClosures();
    return true;
}

void DllCallbacks::dropLeftClosures() {
    std::erase_if(freedWhileRunning_, [](const std::unique_ptr<NativeCallback>& c) { return !c->running(); });
}

} // namespace vexil
