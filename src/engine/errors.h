#pragma once
// How errors reach the user: a message box, or with /ErrorStdOut one record on standard output
// that editors parse.
#include <string>
#include <string_view>

namespace vexil {

// An error found while loading a script file (the message is a literal text, not an id).
void reportLoaderError(bool toStdout, std::wstring_view path, int lineNumber, std::wstring_view message,
                       std::wstring_view lineText);

// No script could be opened at all.
void reportStartupError(bool toStdout);

// The texts of those reports: the standard-output record and the message-box text.
std::wstring loaderErrorRecord(std::wstring_view path, int lineNumber, std::wstring_view message,
                               std::wstring_view lineText);
std::wstring loaderErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                std::wstring_view lineText);
std::wstring startupErrorRecord();

} // namespace vexil
