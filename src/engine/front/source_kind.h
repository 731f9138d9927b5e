#pragma once

namespace vexil {

// Where the script being run comes from.
enum class SourceKind : int {
    Refused = 0,   // a command-line execution switch was given but the packaged script forbids it
    Line = 1,      // one line of code from /Vexil3ExecuteLine
    TextFile = 2,  // a plain-text script file
    NamedFile = 3, // the file named on the command line, before the loader has looked at it
    OwnFile = 4,   // the script packaged inside the program's own file
};

} // namespace vexil
