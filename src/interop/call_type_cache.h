#pragma once
// Parsed call types by their text: a call repeated in a loop parses none of its types again.
// One cache for the script thread, bounded: a script that makes ever new type texts only empties
// it now and then.
#include "interop/call_types.h"
#include "interop/text_hash.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vexil {

class CallTypeCache {
public:
    // The parsed type, or nothing for a text that is no type.
    std::optional<CallType> argumentType(std::wstring_view text) { return lookUp(arguments_, text, parseArgumentType); }
    std::optional<CallType> returnType(std::wstring_view text) { return lookUp(returns_, text, parseReturnType); }
    size_t size() const { return arguments_.size() + returns_.size(); }

    static constexpr size_t kMostEntries = 512; // of each kind

private:
    using Table = std::unordered_map<std::wstring, std::optional<CallType>, TextHash, std::equal_to<>>;
    static std::optional<CallType> lookUp(Table& table, std::wstring_view text,
                                          std::optional<CallType> (*parse)(std::wstring_view));

    Table arguments_;
    Table returns_;
};

// The script thread's cache.
CallTypeCache& callTypeCache();

} // namespace vexil
