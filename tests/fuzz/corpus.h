#pragma once
// The scripts that mutations start from, and the scratch file each generated script is run from.
#include <string>
#include <vector>

namespace vexil::fuzz {

// Every .vx3 file under `folder` (its subfolders too), as text.
std::vector<std::wstring> readCorpus(const std::wstring& folder);
// Reads a script file as the loader finds its text (the same detection of its encoding).
std::wstring readScriptText(const std::wstring& path);
// Writes `text` as UTF-16 with a byte-order mark, so that every code unit (a lone surrogate, a
// zero) reaches the loader as generated.
bool writeScriptText(const std::wstring& path, const std::wstring& text);

} // namespace vexil::fuzz
