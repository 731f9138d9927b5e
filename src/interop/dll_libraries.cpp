#include "interop/dll_libraries.h"

#include "engine/builtins/handle_table.h"

#include <windows.h>

namespace vexil {

DllLibraries::~DllLibraries() {
    for (void* module : modules_)
        if (module) FreeLibrary(static_cast<HMODULE>(module));
}

int DllLibraries::open(const wchar_t* file) {
    void* module = LoadLibraryW(file);
    if (!module) return -1;
    size_t slot = 0;
    while (slot < modules_.size() && modules_[slot]) ++slot;
    if (slot == modules_.size()) modules_.push_back(module);
    else modules_[slot] = module;
    return static_cast<int>(slot + 1);
}

void* DllLibraries::module(const Variant& handle) const {
    const std::ptrdiff_t slot = handleSlotIndex(handle, modules_.size());
    return slot < 0 ? nullptr : modules_[static_cast<size_t>(slot)];
}

bool DllLibraries::close(const Variant& handle) {
    const std::ptrdiff_t slot = handleSlotIndex(handle, modules_.size());
    if (slot < 0 || !modules_[static_cast<size_t>(slot)]) return false;
    FreeLibrary(static_cast<HMODULE>(modules_[static_cast<size_t>(slot)]));
    modules_[static_cast<size_t>(slot)] = nullptr;
    return true;
}

ScopedLibrary::ScopedLibrary(const wchar_t* file) : module_(LoadLibraryW(file)) {}

ScopedLibrary::~ScopedLibrary() {
    if (module_) FreeLibrary(static_cast<HMODULE>(module_));
}

} // namespace vexil
