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

// The marker line: the line text cut after `column` characters, then "^ ERROR".
std::wstring errorMarker(std::wstring_view lineText, int column);

// A malformed line found by the lexer (column -1: none).
std::wstring lexicalErrorRecord(std::wstring_view path, int lineNumber, std::wstring_view message,
                                std::wstring_view lineText, int column);
std::wstring lexicalErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                 std::wstring_view lineText, int column);

// A fatal error while running. `hasFile` false: the line belongs to no file (a command-line line,
// a packaged script), `path` is then the script's full path and `lineNumber` the line index.
// An empty `marker` shows none.
std::wstring runtimeErrorRecord(std::wstring_view path, int lineNumber, bool hasFile, std::wstring_view message,
                                std::wstring_view lineText, std::wstring_view marker);
std::wstring runtimeErrorBoxText(std::wstring_view path, int lineNumber, std::wstring_view message,
                                 std::wstring_view lineText, std::wstring_view marker);

// Shows a text in the error message box (titled with the message table's error title).
void showErrorBox(void* ownerWindow, const std::wstring& text);

} // namespace vexil
