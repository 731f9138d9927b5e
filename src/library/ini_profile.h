#pragma once
// INI files through the platform's private-profile functions, read whole: the buffers grow until
// the result fits, so a long value, section or name list is never cut. Paths are full paths (a bare
// name would send the profile functions to the system folder).
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

// The value of a key; false when the section has no such key.
bool iniValue(const std::wstring& path, const std::wstring& section, const std::wstring& key, std::wstring& value);
// The lines of a section ("key=value", comments too), in file order.
std::vector<std::wstring> iniSectionLines(const std::wstring& path, const std::wstring& section);
std::vector<std::wstring> iniSectionNames(const std::wstring& path);
// Section and key names match in any case, as the profile functions match them.
bool sameIniName(std::wstring_view a, std::wstring_view b);
// The key names of a section.
std::vector<std::wstring> iniKeyNames(const std::wstring& path, const std::wstring& section);

// Writes go through these; each flushes the file after a success.
bool iniWrite(const std::wstring& path, const wchar_t* section, const wchar_t* key, const wchar_t* value);
// Replaces a section's content with `lines` ("key=value" each).
bool iniWriteSection(const std::wstring& path, const std::wstring& section, const std::vector<std::wstring>& lines);

} // namespace vexil
