#pragma once
// A dispatch object over an interface the script described: each method, by name, calls its slot
// of the interface's virtual table with the arguments converted to the declared types, and writes
// what a by-reference parameter received back into the caller's VARIANT.
#include "interop/com_interface_description.h"

#include <vector>

namespace vexil {

// Takes a reference to `target`; the methods' slots start after IUnknown's three when `afterUnknown`.
IDispatch* newDescribedDispatch(IUnknown* target, std::vector<DescribedMethod> methods, bool afterUnknown);

} // namespace vexil
