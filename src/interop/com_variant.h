#pragma once
// Script values and automation VARIANTs, both ways: arguments and assigned values go out,
// results, out-arguments, enumerated items and event arguments come back.
#include "engine/values/value.h"

#include <windows.h>
#include <oaidl.h>

namespace vexil {

// `out` (VT_EMPTY on entry) receives the value; a reference is followed to what it refers to.
// A value with no automation form (a map, a function, a structure) goes out as VT_EMPTY.
void toVariant(const Variant& value, VARIANT& out);

// The script value of a VARIANT (by-reference ones read through); false for a type that has none
// (`out` is then the empty String).
bool fromVariant(const VARIANT& in, Variant& out);

// An Object value holding `unknown` (its own reference is taken); the empty String for nullptr.
Variant objectValue(IUnknown* unknown);

// The interface an Object value holds (no reference taken), or nullptr.
IUnknown* objectInterface(const Variant& value);

} // namespace vexil
