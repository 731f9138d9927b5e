#pragma once
// The description of an interface's methods that OBJCREATEINTERFACE reads: declarations
// "Name ReturnType(ParamType; ParamType)" separated by ";", taking consecutive slots of the
// interface's virtual table. A return type may end in ":cdecl"; a type ending in "*" or "^" is
// by reference.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>
#include <vector>

namespace vexil {

struct DescribedMethod {
    std::wstring name;
    VARTYPE returnType = VT_EMPTY;
    bool isCdecl = false;
    std::vector<VARTYPE> parameters;
};

// The automation type of a type name (any case), by reference when marked; false for an unknown one.
bool describedType(std::wstring_view name, VARTYPE& type);

// The methods of a description; false (with `methods` incomplete) when it does not parse.
bool parseInterfaceDescription(std::wstring_view description, std::vector<DescribedMethod>& methods);

} // namespace vexil
