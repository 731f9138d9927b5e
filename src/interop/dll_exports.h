#pragma once
// Finding a function in a loaded library by what a script names it with.
namespace vexil {

class Variant;

// A text is an export's name, tried again with "A" appended when missing (the ANSI one of a pair
// of functions); a number from 1 to 65535 is an ordinal. nullptr when the library has no such
// export, or the value names none.
void* findExport(void* module, const Variant& function);

} // namespace vexil
