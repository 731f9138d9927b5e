#pragma once
// Registry data and script values, both ways. Plain logic over the bytes a value holds.
#include "engine/values/value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

// The script value of registry data of `type`; false for a type scripts do not read.
bool registryDataToValue(uint32_t type, std::string_view bytes, Variant& value);

// The bytes REGWRITE stores for a type name (any case); false for an unknown type name.
bool valueToRegistryData(std::wstring_view typeName, const Variant& data, uint32_t& type, std::string& bytes);

} // namespace vexil
