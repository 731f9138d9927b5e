// The run loop: executes the script one line at a time, each line dispatched by its first token.
#include "engine/engine.h"
#include "engine/macros.h"
#include "engine/messages.h"

namespace vexil {

void Engine::run() {
    if (!loader_) return;
    for (int line = 1; runState_ == RunState::Running; ++line) {
        const TokenList* tokens = loader_->tokens(line);
        if (!tokens) break;
        currentLine_ = line;
        if (executeLine(*tokens) < 0) break;
    }
    runState_ = RunState::Ending;
}

int Engine::executeLine(const TokenList& tokens) {
    const Token& first = tokens[0];
    size_t pos = 0;
    Variant discarded;
    switch (first.type) {
    case TokenType::EndOfLine: return 0;
    case TokenType::Builtin:
        if (callBuiltin(tokens, pos, discarded) < 0) return -1;
        break;
    case TokenType::Keyword:
    case TokenType::Variable:
    case TokenType::UserFunc:
    case TokenType::Member:
        return reportRuntimeErrorText(L"This statement is not available in this version of Vexil.",
                                      MessageId::InvalidKeywordAtStart, first.column);
    default:
        if (evaluate(tokens, pos, discarded) < 0) return -1;
        break;
    }
    if (tokens[pos].type != TokenType::EndOfLine) return reportRuntimeError(MessageId::IllegalTextAtEnd, tokens[pos].column);
    return 0;
}

int Engine::readMacro(const Token& token, Variant& result) {
    switch (vexil::readMacro(*this, token.text, result)) {
    case MacroResult::Value: return 0;
    case MacroResult::Unknown: return reportRuntimeError(MessageId::UnknownMacro, token.column);
    case MacroResult::Unavailable: break;
    }
    std::wstring message = L"\"@";
    message += token.text.view();
    message += L"\" is not available in this version of Vexil.";
    return reportRuntimeErrorText(message, MessageId::UnknownMacro, token.column);
}

} // namespace vexil
