#include "interop/prepared_call.h"

#include "engine/values/containers.h"
#include "interop/call_type_cache.h"

#include <vector>

namespace vexil {

namespace {

constexpr int kBadArgumentType = 1;
constexpr int kBadReturnType = 2;
constexpr int kUnpaired = 4;

} // namespace

int PreparedCall::prepare(const Variant& returnType, BuiltinArgs pairs) {
    CallTypeCache& types = callTypeCache();
    const std::optional<CallType> parsedReturn = types.returnType(returnType.dereferenced().text().view());
    if (!parsedReturn) return kBadReturnType;
    returnType_ = *parsedReturn;
    if (pairs.size() % 2 != 0 || pairs.size() / 2 > kMostNativeArguments) return kUnpaired;
    count_ = pairs.size() / 2;
    for (size_t i = 0; i < count_; ++i) {
        const std::optional<CallType> type = types.argumentType(pairs[2 * i].dereferenced().text().view());
        if (!type) return kBadArgumentType;
        if (const int error = marshalArgument(*type, pairs[2 * i + 1], slots_[i])) return error;
    }
    return 0;
}

Variant PreparedCall::call(void* function, BuiltinArgs pairs) {
    const uint64_t returned = callNative(function, returnType_, slots_.data(), count_);
    std::vector<Variant> items;
    items.reserve(count_ + 1);
    items.push_back(returnedValue(returnType_, returned));
    for (size_t i = 0; i < count_; ++i) items.push_back(readBackArgument(slots_[i], pairs[2 * i + 1]));
    return arrayOf(std::move(items));
}

} // namespace vexil
