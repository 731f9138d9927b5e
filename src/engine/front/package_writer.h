#pragma once
// Writing packaged scripts: a compiled-script file, or a copy of the interpreter that carries
// the container as its "SCRIPT" resource.
#include <string>

namespace vexil {

bool writeBytesToFile(const std::wstring& path, const std::string& bytes, bool append = false);
bool writeStandaloneProgram(const std::wstring& path, const std::wstring& interpreter, const std::string& container);

} // namespace vexil
