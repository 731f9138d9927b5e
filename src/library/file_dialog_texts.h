#pragma once
// The texts of the file dialogs: the filter a script writes, the flags its options stand for, and
// the chosen names as the script receives them.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

// "Text files (*.txt)|All (*.*)" as the dialog's list: each group's whole text, then the text
// between its parentheses, each ended by a zero, the list by one more. False when a group lacks
// "(" with a ")" after it.
bool buildFilterList(std::wstring_view filter, std::wstring& list);

// The dialog's flags: always explorer style with the read-only box hidden; options 0 to 31 add
// 1 file must exist, 2 path must exist, 4 several files, 8 ask to create, 16 ask to overwrite.
uint32_t fileDialogFlags(bool optionsGiven, int32_t options);

// The dialog's answer (zero-separated, ended by two zeros) as the script receives it: the one
// full path, or, for several files, the folder and each name joined by "|".
std::wstring chosenFiles(std::wstring_view buffer);

} // namespace vexil
