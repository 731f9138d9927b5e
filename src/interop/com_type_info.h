#pragma once
// What an object's type information tells: found through its class (IProvideClassInfo) or its
// IDispatch. Every function returns its own reference, or nullptr.
#include <windows.h>
#include <oaidl.h>

namespace vexil {

ITypeInfo* classInfoOf(IUnknown* object);
ITypeInfo* interfaceInfoOf(IUnknown* object);
// The GUID a type information describes; false without one.
bool typeGuid(ITypeInfo* info, GUID& guid);

} // namespace vexil
