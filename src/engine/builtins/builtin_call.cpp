// Calling a built-in function: arguments evaluated left to right, the count checked against the
// table, the result preset to 1 and @ERROR/@EXTENDED cleared, then the handler.
#include "engine/builtins/builtin_api.h"
#include "engine/builtins/builtins.h"
#include "engine/builtins/handle_table.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/front/token_cursor.h"

namespace vexil {

int Engine::callBuiltin(const TokenList& tokens, size_t& pos, Variant& result) {
    const Token& name = tokens[pos];
    if (tokens[pos + 1].type != TokenType::LeftParen) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, name.column);
    ++pos;
    return callBuiltinArguments(name.i32, tokens, pos, name.column, result);
}

int Engine::callBuiltinArguments(int index, const TokenList& tokens, size_t& pos, int nameColumn, Variant& result,
                                 bool fromCall) {
    static const int kCallIndex = vexil::findBuiltin(L"CALL");
    if (index == kCallIndex && !fromCall) return callByCall(tokens, pos, nameColumn, result);
    const BuiltinEntry& entry = builtinEntry(index);
    // The matching parenthesis bounds every argument.
    size_t close = closingParenthesis(tokens, pos);
    if (tokens[close].type == TokenType::EndOfLine) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, tokens[close].column);
    ArgumentList arguments;
    ++pos;
    if (pos < close) {
        for (;;) {
            Variant& argument = arguments.add();
            int status = entry.byReference && tokens[pos].type == TokenType::Variable
                             ? evaluateReference(tokens, pos, argument, true, false, static_cast<int>(close))
                             : evaluate(tokens, pos, argument, static_cast<int>(close));
            if (status < 0) return -1;
            const Token& next = tokens[pos];
            if (pos == close) break;
            if (next.type != TokenType::Comma || pos + 1 == close)
                return reportRuntimeError(MessageId::ErrorParsingFunctionCall, next.column);
            ++pos;
        }
    }
    pos = close + 1;
    return invokeBuiltin(index, arguments, nameColumn, result, fromCall);
}

int Engine::invokeBuiltin(int index, ArgumentList& arguments, int nameColumn, Variant& result, bool fromCall) {
    const BuiltinEntry& entry = builtinEntry(index);
    size_t count = arguments.size();
    if (count < static_cast<size_t>(entry.minArgs) || count > static_cast<size_t>(entry.maxArgs))
        return fromCall ? kCallFailed : reportRuntimeError(MessageId::IncorrectParameterCount, nameColumn);
    if (!entry.handler) {
        std::wstring message = L"\"";
        message += entry.name;
        message += L"\" is not available in this version of Vexil.";
        return reportRuntimeErrorText(message, MessageId::UnknownFunction, nameColumn);
    }
    handles_->beforeBuiltin(index);
    result = Variant::int32(1);
    status().reset();
    BuiltinContext context(*this);
    int status = entry.handler(context, arguments.view(), result);
    if (status < 0 || runState_ == RunState::Ending) return -1;
    return 0;
}

} // namespace vexil
