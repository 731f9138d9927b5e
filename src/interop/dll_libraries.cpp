#include "interop/dll_libraries.h"

#include "engine/builtins/handle_table.h"

#include <windows.h>

namespace vexil {

DllLibraries::~DllLibraries() {
    for (const Library& library : libraries_)
        if (library.module) FreeLibrary(static_cast<HMODULE>(library.module));
}

int DllLibraries::open(const wchar_t* file) {
    void* module = LoadLibraryW(file);
    if (!module) return -1;
    size_t slot = 0;
    while (slot < libraries_.size() && libraries_[slot].module) ++slot;
    if (slot == libraries_.size()) libraries_.emplace_back();
    libraries_[slot].module = module;
    return static_cast<int>(slot + 1);
}

DllLibraries::Library* DllLibraries::find(const Variant& handle) {
    const std::ptrdiff_t slot = handleSlotIndex(handle, libraries_.size());
    Library* library = slot < 0 ? nullptr : &libraries_[static_cast<size_t>(slot)];
    return library && library->module ? library : nullptr;
}

bool DllLibraries::close(const Variant& handle) {
    Library* library = find(handle);
    if (!library) return false;
    FreeLibrary(static_cast<HMODULE>(library->module));
    library->module = nullptr;
    library->exports.clear();
    return true;
}

ScopedLibrary::ScopedLibrary(const wchar_t* file) : module_(LoadLibraryW(file)) {}

ScopedLibrary::~ScopedLibrary() {
    if (module_) FreeLibrary(static_cast<HMODULE>(module_));
}

} // namespace vexil
