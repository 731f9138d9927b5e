// Map methods written as members: $m.Remove(key), $m.Keys(), $m.Exists(key), $m.Append(value).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/front/token_cursor.h"
#include "engine/values/containers.h"

#include <cwctype>

namespace vexil {

int Engine::mapMethod(Variant& map, const TokenList& t, size_t& pos, Variant& result) {
    const Token& member = t[pos];
    std::wstring name = upperCase(member.text.view());
    ++pos; // at "("
    size_t close = closingParenthesis(t, pos);
    if (t[close].type == TokenType::EndOfLine) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[close].column);
    ArgumentList arguments;
    for (++pos; pos < close;) {
        if (evaluate(t, pos, arguments.add(), static_cast<int>(close)) < 0) return -1;
        if (pos == close) break;
        if (t[pos].type != TokenType::Comma || pos + 1 == close)
            return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[pos].column);
        ++pos;
    }
    pos = close + 1;
    BuiltinArgs args = arguments.view();
    bool oneArgument = args.size() == 1;
    if (name == L"KEYS" && args.empty()) {
        result = mapKeys(mapBody(map));
    } else if (name == L"EXISTS" && oneArgument) {
        result = Variant::int32(mapFind(mapBody(map), args[0]) ? 1 : 0);
    } else if (name == L"REMOVE" && oneArgument) {
        result = Variant::int32(mapRemove(writableMap(map), args[0]) ? 1 : 0);
    } else if (name == L"APPEND" && oneArgument) {
        int32_t key = 0;
        if (mapAppend(writableMap(map), args[0], key)) {
            result = Variant::int32(key);
        } else {
            result = Variant::int32(0);
            status().setError(1);
        }
    } else {
        return reportRuntimeError(MessageId::ObjectActionFailed, member.column);
    }
    return 0;
}

} // namespace vexil
