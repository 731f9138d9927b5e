#include "engine/front/keywords.h"
#include "engine/front/script_container.h"
#include "engine/front/tokenised_script.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vexil;
// Windows headers have a TokenType of their own.
using TT = vexil::TokenType;

namespace {

using Entries = std::vector<std::pair<std::wstring, std::string>>;

const Entries kEntries = {{L">>>VEXIL SCRIPT<<<", std::string("tok\0ens", 7)}, {L"empty", ""}, {L"data", "xyz"}};

} // namespace

TEST(ScriptContainer, RoundTripInMemory) {
    std::string bytes = buildContainer(kEntries, 42);
    EXPECT_TRUE(hasContainerSignature(bytes));
    ScriptContainer c;
    ASSERT_TRUE(c.openBytes(bytes));
    for (const auto& [name, data] : kEntries) {
        ASSERT_NE(c.find(name), nullptr);
        EXPECT_EQ(*c.find(name), data);
    }
    EXPECT_EQ(c.find(L"missing"), nullptr);
    EXPECT_EQ(c.find(L">>>vexil script<<<"), nullptr); // names are exact
    EXPECT_EQ(bytes.find("tok"), std::string::npos);   // the payload is enciphered
}

TEST(ScriptContainer, RejectsDamagedContainers) {
    std::string good = buildContainer(kEntries, 5);
    std::string wrongTag = good;
    wrongTag[20] = 'X';
    std::string badHeader = good;
    badHeader[30] ^= 0x40;
    ScriptContainer c;
    EXPECT_FALSE(c.openBytes(wrongTag));
    EXPECT_FALSE(c.openBytes(badHeader));
    for (size_t cut = 0; cut < good.size(); ++cut) EXPECT_FALSE(c.openBytes(good.substr(0, cut))) << "cut at " << cut;
    EXPECT_FALSE(c.isOpen());
}

TEST(ScriptContainer, SignatureFoundAnywhereInAFile) {
    TempFolder folder;
    std::string container = buildContainer(kEntries, 1);
    // Places around the 64 KB chunks, whose overlap must catch a signature cut in two.
    for (size_t offset : {size_t{0}, size_t{1000}, size_t{65536 - 10}, size_t{65536 - 20}, size_t{2 * 65536 - 30}}) {
        std::wstring path = folder.write(L"f.bin", std::string(offset, 'j') + container);
        ScriptContainer c;
        ASSERT_TRUE(c.open(path)) << "offset " << offset;
        ASSERT_NE(c.find(L"data"), nullptr);
        EXPECT_EQ(*c.find(L"data"), "xyz");
    }
    ScriptContainer none;
    EXPECT_FALSE(none.open(folder.write(L"plain.txt", "no signature here")));
    EXPECT_FALSE(none.open(folder.file(L"missing")));
}

TEST(ScriptContainer, ProgramResourceWins) {
    TempFolder folder;
    std::wstring exe = folder.file(L"p.exe");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileW(self, exe.c_str(), FALSE));
    std::string container = buildContainer({{L"data", "from resource"}}, 9);
    HANDLE update = BeginUpdateResourceW(exe.c_str(), FALSE);
    ASSERT_NE(update, nullptr);
    ASSERT_TRUE(UpdateResourceW(update, MAKEINTRESOURCEW(10), L"SCRIPT", MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                container.data(), static_cast<DWORD>(container.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    ScriptContainer c;
    ASSERT_TRUE(c.open(exe));
    ASSERT_NE(c.find(L"data"), nullptr);
    EXPECT_EQ(*c.find(L"data"), "from resource");
}

TEST(ScriptContainer, ThisProgramHoldsNoSignatureOfItsOwn) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ScriptContainer c;
    EXPECT_FALSE(c.open(self));
}

namespace {

Token token(TT type) { return Token(type, 4); }
Token intToken(TT type, int32_t v) {
    Token t(type, 0);
    t.i32 = v;
    return t;
}
Token textToken(TT type, std::wstring text) {
    Token t(type, 0);
    t.text = std::move(text);
    return t;
}

} // namespace

TEST(TokenisedScript, RoundTripsEveryPayloadKind) {
    Token big(TT::Int64, 0);
    big.i64 = INT64_MIN;
    Token real(TT::Double, 0);
    real.f64 = -2.5e-300;
    std::vector<TokenList> lines = {
        {intToken(TT::Keyword, static_cast<int>(Keyword::If)), intToken(TT::Builtin, 3),
         intToken(TT::Int32, -7), big, real, token(TT::EndOfLine)},
        {token(TT::EndOfLine)},
        {textToken(TT::String, L"a\"b\u00e9\xD83D\xDE00"), textToken(TT::Variable, L"X"),
         textToken(TT::Member, L"Name"), token(TT::ConcatAssign), token(TT::Colon),
         token(TT::EndOfLine)},
    };
    auto nameOf = [](int index) { return index == 3 ? std::wstring(L"KNOWN") : std::wstring(); };
    std::string bytes = writeTokenisedScript(lines, std::vector<std::wstring>{L"#notrayicon"}, nameOf);
    EXPECT_EQ(bytes.find("K\0N\0O\0W\0N", 0), std::string::npos); // texts are scrambled

    TokenisedScript read;
    auto lookup = [](std::wstring_view name) { return name == L"KNOWN" ? 11 : -1; };
    ASSERT_TRUE(readTokenisedScript(bytes, lookup, read));
    ASSERT_EQ(read.lines.size(), 3u);
    ASSERT_EQ(read.directives.size(), 1u);
    EXPECT_EQ(read.directives[0].line, 1);
    EXPECT_EQ(read.directives[0].text, L"#notrayicon");
    const TokenList& first = read.lines[0];
    ASSERT_EQ(first.size(), 6u);
    EXPECT_EQ(first[0].type, TT::Keyword);
    EXPECT_EQ(first[0].i32, static_cast<int>(Keyword::If));
    EXPECT_EQ(first[1].type, TT::Builtin);
    EXPECT_EQ(first[1].i32, 11); // looked up by name in this program's table
    EXPECT_EQ(first[2].i32, -7);
    EXPECT_EQ(first[3].i64, INT64_MIN);
    EXPECT_EQ(first[4].f64, -2.5e-300);
    EXPECT_EQ(read.lines[1].size(), 1u);
    const TokenList& third = read.lines[2];
    ASSERT_EQ(third.size(), 6u);
    EXPECT_EQ(third[0].text, L"a\"b\u00e9\xD83D\xDE00");
    EXPECT_EQ(third[1].type, TT::Variable);
    EXPECT_EQ(third[2].text, L"Name");
    EXPECT_EQ(third[3].type, TT::ConcatAssign);
    EXPECT_EQ(third[5].type, TT::EndOfLine);
}

TEST(TokenisedScript, UnknownBuiltinBecomesAUserFunctionCall) {
    std::vector<TokenList> lines = {{intToken(TT::Builtin, 0), token(TT::EndOfLine)}};
    std::string bytes = writeTokenisedScript(lines, {}, [](int) { return std::wstring(L"GONE"); });
    TokenisedScript read;
    ASSERT_TRUE(readTokenisedScript(bytes, [](std::wstring_view) { return -1; }, read));
    EXPECT_EQ(read.lines[0][0].type, TT::UserFunc);
    EXPECT_EQ(read.lines[0][0].text, L"GONE");
}

TEST(TokenisedScript, RejectsMalformedInput) {
    std::vector<TokenList> lines = {{textToken(TT::String, L"text"), token(TT::EndOfLine)}};
    std::string good = writeTokenisedScript(lines, {}, nullptr);
    TokenisedScript read;
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(readTokenisedScript(good.substr(0, cut), nullptr, read)) << "cut at " << cut;
    std::string negative = good;
    negative[3] = '\x80'; // a negative line count
    EXPECT_FALSE(readTokenisedScript(negative, nullptr, read));
    std::string unknownType = good;
    unknownType[4] = '\x7E';
    EXPECT_FALSE(readTokenisedScript(unknownType, nullptr, read));
    std::string hugeCount = good;
    hugeCount[5] = hugeCount[6] = hugeCount[7] = hugeCount[8] = '\xFF';
    EXPECT_FALSE(readTokenisedScript(hugeCount, nullptr, read));
}

// Damaged packaged scripts never crash the reader: every single-byte change of a real container
// either fails to open, fails to read, or reads as well-formed token lists.
TEST(PackagedScriptDamage, EveryByteFlipped) {
    std::vector<TokenList> lines = {{intToken(TT::Keyword, static_cast<int>(Keyword::If)), intToken(TT::Int32, 1),
                                     intToken(TT::Keyword, static_cast<int>(Keyword::Then)), token(TT::EndOfLine)},
                                    {textToken(TT::String, L"text"), textToken(TT::Variable, L"V"), token(TT::EndOfLine)},
                                    {intToken(TT::Keyword, static_cast<int>(Keyword::EndIf)), token(TT::EndOfLine)}};
    std::string tokenised = writeTokenisedScript(lines, std::vector<std::wstring>{L"#notrayicon"}, nullptr);
    std::string good = buildContainer({{L">>>VEXIL SCRIPT<<<", tokenised}}, 77);
    int opened = 0;
    for (size_t at = 0; at < good.size(); ++at) {
        for (int bit : {0x01, 0x80, 0xFF}) {
            std::string damaged = good;
            damaged[at] = static_cast<char>(damaged[at] ^ bit);
            ScriptContainer c;
            if (!c.openBytes(damaged)) continue;
            const std::string* entry = c.find(L">>>VEXIL SCRIPT<<<");
            if (!entry) continue;
            TokenisedScript read;
            if (!readTokenisedScript(*entry, nullptr, read)) continue;
            ++opened;
            for (const TokenList& list : read.lines) {
                ASSERT_FALSE(list.empty());
                EXPECT_EQ(list.back().type, TT::EndOfLine);
            }
        }
    }
    EXPECT_GT(opened, 0); // some changes (inside texts) leave a readable script
}
