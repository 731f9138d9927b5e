#pragma once
// Ids of the message table (the program's string-table resource) and access to its texts.
#include <string>

namespace vexil {

namespace MessageId {
constexpr int PausedPrefix = 101;
constexpr int ErrorTitle = 102;
constexpr int MissingRightBracket = 107;
constexpr int UnbalancedBrackets = 109;
constexpr int ErrorInExpression = 110;
constexpr int ErrorParsingFunctionCall = 111;
constexpr int IncorrectParameterCount = 112;
constexpr int IllegalTextAtEnd = 114;
constexpr int VariableNotDeclared = 121;
constexpr int SubscriptOnNonAccessible = 124;
constexpr int InvalidKeywordAtStart = 129;
constexpr int ArrayTooLarge = 130;
constexpr int UnknownFunction = 133;
constexpr int UnknownMacro = 134;
constexpr int ObjectOutsideWith = 167;
constexpr int VariableMustBeObject = 169;
constexpr int RecursionLevelExceeded = 154;
constexpr int InvalidExitCode = 185;
constexpr int VariableCannotBeAccessed = 186;
constexpr int UnableToParseLine = 5000;
constexpr int UnableToOpenScript = 5001;
constexpr int StringMissingQuote = 5002;
constexpr int BadVariableOrMacro = 5003;
constexpr int MissingKeywordSeparator = 5004;
} // namespace MessageId

// The text of a message id (texts of this table fit 4095 characters).
std::wstring loadMessage(int id);

} // namespace vexil
