#pragma once
// The lexer: turns one script line into its tokens, once, before anything runs. Words become
// keywords, built-in calls (by table index) or user-function names; numbers get their kind and a
// leading minus folded in; malformed text gives one numbered lexical error with its column.
#include "engine/errors/messages.h"
#include "engine/front/token.h"

#include <string_view>

namespace vexil {

class LoaderHost;

struct LexicalError {
    MessageId::Id messageId{};
    int column = -1;
};

// Fills `tokens` (always ending with the end-of-line token). False with `error` set when the line
// is malformed; the list then holds the tokens read before the error. `lastLine` allows the
// end-of-file mark (Ctrl-Z) as the whole text of the script's last line.
bool tokeniseLine(std::wstring_view text, bool lastLine, LoaderHost& host, TokenList& tokens,
                  LexicalError& error);

} // namespace vexil
