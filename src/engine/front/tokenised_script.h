#pragma once
// The tokenised form of a packaged script: a line count, then each line's tokens, each a type
// byte and a payload (4-byte integer, 8-byte number or scrambled UTF-16 text by type).
#include "engine/front/token.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

// Types that exist only in the stored form.
namespace StoredType {
constexpr int KeywordText = 48;   // becomes a Keyword token
constexpr int BuiltinText = 49;   // becomes a Builtin token
constexpr int DirectiveText = 55; // applied while reading, leaves no token
} // namespace StoredType

struct PackagedDirective {
    int line;
    std::wstring text;
};

struct TokenisedScript {
    std::vector<TokenList> lines; // lines[0] is line 1
    std::vector<PackagedDirective> directives;
};

// Gives the built-in table index of an upper-cased name, or a negative value.
using BuiltinLookup = std::function<int(std::wstring_view)>;
// Gives the name of a built-in table index.
using BuiltinNameOf = std::function<std::wstring(int)>;

// False when the bytes are not a well-formed tokenised script.
bool readTokenisedScript(std::string_view bytes, const BuiltinLookup& findBuiltin, TokenisedScript& out);

// Keywords and built-ins are stored by name, so a script survives changes to the tables' order.
// The directives are stored at the start of line 1.
std::string writeTokenisedScript(std::span<const TokenList> lines, std::span<const std::wstring> directives,
                                 const BuiltinNameOf& builtinName);

} // namespace vexil
