#include "engine/front/tokenised_script.h"

#include "engine/front/keywords.h"

#include <cstring>

namespace vexil {

namespace {

// The scrambling of stored texts depends on the text's length and each unit's place.
wchar_t scrambleKey(uint32_t count, uint32_t index) {
    return static_cast<wchar_t>((0xB7E1u + index * 0x9E37u + count * 0x3C6Fu) & 0xFFFFu);
}

bool isKnownType(int type) {
    switch (type) {
    case 0: case 1: case 5: case 16: case 32:
    case 50: case 51: case 52: case 53: case 54: case 127:
        return true;
    default:
        return type >= 64 && type <= 88;
    }
}

class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
    template <class T> bool get(T& v) {
        if (bytes_.size() - pos_ < sizeof(T)) return false;
        std::memcpy(&v, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return true;
    }
    bool text(std::wstring& out) {
        uint32_t count;
        if (!get(count) || (bytes_.size() - pos_) / 2 < count) return false;
        out.resize(count);
        std::memcpy(out.data(), bytes_.data() + pos_, count * 2ull);
        pos_ += count * 2ull;
        for (uint32_t i = 0; i < count; ++i) out[i] = static_cast<wchar_t>(out[i] ^ scrambleKey(count, i));
        return true;
    }
    size_t left() const { return bytes_.size() - pos_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

template <class T> void put(std::string& out, T v) { out.append(reinterpret_cast<const char*>(&v), sizeof(T)); }

void putText(std::string& out, std::wstring_view text) {
    uint32_t count = static_cast<uint32_t>(text.size());
    put(out, count);
    for (uint32_t i = 0; i < count; ++i) put(out, static_cast<wchar_t>(text[i] ^ scrambleKey(count, i)));
}

// Reads one stored token into `token`; `isDirective` tells that it left no token.
bool readToken(ByteReader& r, const BuiltinLookup& findBuiltin, Token& token, std::wstring& directive) {
    uint8_t type;
    if (!r.get(type)) return false;
    token = Token(static_cast<TokenType>(type), -1);
    if (carriesInt32(type)) return isKnownType(type) && r.get(token.i32);
    if (carriesEightBytes(type)) return isKnownType(type) && r.get(token.i64);
    if (!carriesText(type)) return isKnownType(type);

    std::wstring text;
    if (!r.text(text)) return false;
    switch (type) {
    case StoredType::KeywordText: {
        int id = findKeyword(text);
        if (id < 0) return false;
        token.type = TokenType::Keyword;
        token.i32 = id;
        return true;
    }
    case StoredType::BuiltinText: {
        int index = findBuiltin ? findBuiltin(text) : -1;
        if (index >= 0) {
            token.type = TokenType::Builtin;
            token.i32 = index;
        } else {
            // A name this version does not know is called like a user function and reported as unknown.
            token.type = TokenType::UserFunc;
            token.text = std::wstring_view(text);
        }
        return true;
    }
    case StoredType::DirectiveText:
        directive = std::move(text);
        token.type = static_cast<TokenType>(StoredType::DirectiveText);
        return true;
    default:
        if (!isKnownType(type)) return false;
        token.text = std::wstring_view(text);
        return true;
    }
}

} // namespace

bool readTokenisedScript(std::string_view bytes, const BuiltinLookup& findBuiltin, TokenisedScript& out) {
    ByteReader r(bytes);
    int32_t count;
    if (!r.get(count) || count < 0 || static_cast<size_t>(count) > r.left()) return false;
    out.lines.assign(static_cast<size_t>(count), TokenList{});
    out.directives.clear();
    for (int32_t line = 0; line < count; ++line) {
        TokenList& list = out.lines[static_cast<size_t>(line)];
        for (;;) {
            Token token;
            std::wstring directive;
            if (!readToken(r, findBuiltin, token, directive)) return false;
            if (static_cast<int>(token.type) == StoredType::DirectiveText) {
                out.directives.push_back({line + 1, std::move(directive)});
                continue;
            }
            bool end = token.type == TokenType::EndOfLine;
            list.push_back(std::move(token));
            if (end) break;
        }
    }
    return true;
}

std::string writeTokenisedScript(std::span<const TokenList> lines, std::span<const std::wstring> directives,
                                 const BuiltinNameOf& builtinName) {
    std::string out;
    put(out, static_cast<int32_t>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            for (const auto& d : directives) {
                put(out, static_cast<uint8_t>(StoredType::DirectiveText));
                putText(out, d);
            }
        }
        for (const Token& t : lines[i]) {
            int type = static_cast<int>(t.type);
            if (t.type == TokenType::Keyword) {
                put(out, static_cast<uint8_t>(StoredType::KeywordText));
                putText(out, kKeywordNames[t.i32]);
            } else if (t.type == TokenType::Builtin) {
                put(out, static_cast<uint8_t>(StoredType::BuiltinText));
                putText(out, builtinName(t.i32));
            } else {
                put(out, static_cast<uint8_t>(type));
                if (carriesInt32(type)) put(out, t.i32);
                else if (carriesEightBytes(type)) put(out, t.i64);
                else if (carriesText(type)) putText(out, t.text);
            }
        }
    }
    return out;
}

} // namespace vexil
