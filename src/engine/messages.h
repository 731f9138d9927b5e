#pragma once
// Ids of the message table (the program's string-table resource) and access to its texts.
#include <string>

namespace vexil {

namespace MessageId {
constexpr int PausedPrefix = 101;
constexpr int ErrorTitle = 102;
constexpr int IllegalTextAtEnd = 114;
constexpr int RecursionLevelExceeded = 154;
constexpr int InvalidExitCode = 185;
constexpr int UnableToParseLine = 5000;
constexpr int UnableToOpenScript = 5001;
constexpr int StringMissingQuote = 5002;
constexpr int BadVariableOrMacro = 5003;
constexpr int MissingKeywordSeparator = 5004;
} // namespace MessageId

// The text of a message id (texts of this table fit 4095 characters).
std::wstring loadMessage(int id);

} // namespace vexil
