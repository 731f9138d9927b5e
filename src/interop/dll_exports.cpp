#include "interop/dll_exports.h"

#include "base/text_codec.h"
#include "engine/values/value.h"

#include <windows.h>

namespace vexil {

void* findExport(void* module, const Variant& function) {
    const Variant& value = function.dereferenced();
    const HMODULE library = static_cast<HMODULE>(module);
    if (value.isNumber()) {
        const int64_t ordinal = value.toInt64();
        if (ordinal < 1 || ordinal > 0xFFFF) return nullptr;
        return reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
    }
    if (!value.is(VarKind::String)) return nullptr;
    std::string name = wideToBytes(value.text().view(), CP_ACP);
    if (FARPROC found = GetProcAddress(library, name.c_str())) return reinterpret_cast<void*>(found);
    name += 'A';
    return reinterpret_cast<void*>(GetProcAddress(library, name.c_str()));
}

void* ExportCache::find(void* module, const Variant& function) {
    const Variant& value = function.dereferenced();
    if (!value.is(VarKind::String)) return findExport(module, value);
    const std::wstring_view name = value.text().view();
    if (const auto found = byName_.find(name); found != byName_.end()) return found->second;
    void* address = findExport(module, value);
    if (!address) return nullptr;
    if (byName_.size() >= kMostNames) byName_.clear();
    byName_.emplace(std::wstring(name), address);
    return address;
}

} // namespace vexil
