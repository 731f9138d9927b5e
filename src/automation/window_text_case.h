#pragma once
// Window titles and texts compared without case are upper-cased the way the system does it.
#include <string>

namespace vexil {

void upperCaseInPlace(std::wstring& text);
void upperCaseInPlace(wchar_t* text, size_t length);

} // namespace vexil
