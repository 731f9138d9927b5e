#include "runtime/event_functions.h"

namespace vexil {

std::wstring eventFunctionName(const Variant& argument) {
    const Variant& value = argument.dereferenced();
    if (value.is(VarKind::UserFunction)) return std::wstring(value.functionRecord()->name.view());
    return std::wstring(value.text().view());
}

} // namespace vexil
