#include "interop/call_type_cache.h"

namespace vexil {

std::optional<CallType> CallTypeCache::lookUp(Table& table, std::wstring_view text,
                                              std::optional<CallType> (*parse)(std::wstring_view)) {
    if (const auto found = table.find(text); found != table.end()) return found->second;
    if (table.size() >= kMostEntries) table.clear();
    return table.emplace(std::wstring(text), parse(text)).first->second;
}

CallTypeCache& callTypeCache() {
    static CallTypeCache cache;
    return cache;
}

} // namespace vexil
