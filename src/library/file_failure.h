#pragma once
// How the file-system built-ins fail: the result they give, @ERROR 1 and the system's error code
// in @EXTENDED (ERROR_FILE_EXISTS for a target kept for want of the overwrite flag,
// ERROR_ACCESS_DENIED for what a fenced run may not change).
#include "engine/builtins/builtin_api.h"

#include <cstdint>
#include <utility>

namespace vexil {

inline int failWithSystemError(BuiltinContext& context, Variant& result, Variant value, uint32_t error) {
    context.setExtended(Variant::int32(static_cast<int32_t>(error)));
    return context.fail(result, std::move(value), 1);
}

// A search that found nothing is no failure; one that could not look is.
inline bool nothingMatched(uint32_t searchError) {
    return searchError == 2 /* ERROR_FILE_NOT_FOUND */ || searchError == 18 /* ERROR_NO_MORE_FILES */;
}

} // namespace vexil
