// Calling a built-in function: arguments evaluated left to right, the count checked against the
// table, the result preset to 1 and @ERROR/@EXTENDED cleared, then the handler.
#include "engine/builtins.h"
#include "engine/engine.h"
#include "engine/messages.h"

namespace vexil {

namespace {

// A call's arguments: the first few in place, so that a call allocates nothing for them, and
// owned by the call, so that handlers that run script code again cannot disturb them.
class ArgumentList {
public:
    Variant& add() {
        if (count_ < kInline) return inline_[count_++];
        ++count_;
        return overflow_.emplace_back();
    }
    size_t size() const { return count_; }
    BuiltinArgs view() {
        if (count_ <= kInline) return BuiltinArgs(inline_, count_);
        if (overflow_.size() < count_) { // gather into one contiguous run
            overflow_.insert(overflow_.begin(), std::make_move_iterator(inline_), std::make_move_iterator(inline_ + kInline));
        }
        return BuiltinArgs(overflow_.data(), count_);
    }

private:
    static constexpr size_t kInline = 8;
    Variant inline_[kInline];
    std::vector<Variant> overflow_;
    size_t count_ = 0;
};

} // namespace

int Engine::callBuiltin(const TokenList& tokens, size_t& pos, Variant& result) {
    const Token& name = tokens[pos];
    if (tokens[pos + 1].type != TokenType::LeftParen) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, name.column);
    ++pos;
    return callBuiltinArguments(name.i32, tokens, pos, name.column, result);
}

int Engine::callBuiltinArguments(int index, const TokenList& tokens, size_t& pos, int nameColumn, Variant& result) {
    const BuiltinEntry& entry = builtinEntry(index);
    // The matching parenthesis bounds every argument.
    size_t close = pos;
    for (int depth = 0;; ++close) {
        TokenType type = tokens[close].type;
        if (type == TokenType::EndOfLine)
            return reportRuntimeError(MessageId::ErrorParsingFunctionCall, tokens[close].column);
        if (type == TokenType::LeftParen) ++depth;
        else if (type == TokenType::RightParen && --depth == 0) break;
    }
    ArgumentList arguments;
    ++pos;
    if (pos < close) {
        for (;;) {
            if (evaluate(tokens, pos, arguments.add(), static_cast<int>(close)) < 0) return -1;
            const Token& next = tokens[pos];
            if (pos == close) break;
            if (next.type != TokenType::Comma || pos + 1 == close)
                return reportRuntimeError(MessageId::ErrorParsingFunctionCall, next.column);
            ++pos;
        }
    }
    pos = close + 1;

    size_t count = arguments.size();
    if (count < static_cast<size_t>(entry.minArgs) || count > static_cast<size_t>(entry.maxArgs))
        return reportRuntimeError(MessageId::IncorrectParameterCount, nameColumn);
    if (!entry.handler) {
        std::wstring message = L"\"";
        message += entry.name;
        message += L"\" is not available in this version of Vexil.";
        return reportRuntimeErrorText(message, MessageId::UnknownFunction, nameColumn);
    }
    result = Variant::int32(1);
    status_.reset();
    int status = entry.handler(*this, arguments.view(), result);
    if (status < 0 || runState_ == RunState::Ending) return -1;
    return 0;
}

} // namespace vexil
