#pragma once
// The root a drive query is about: "C:" and "C:\folder" both stand for "C:\", a network name for
// its share.
#include <string>
#include <string_view>

namespace vexil {

// The volume root of a path, with its trailing backslash; empty for a name that has none.
std::wstring driveRootOf(std::wstring_view path);

} // namespace vexil
