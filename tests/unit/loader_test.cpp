#include "engine/front/keywords.h"
#include "engine/front/loader.h"
#include "engine/front/script_container.h"
#include "engine/front/tokenised_script.h"
#include "engine/values/name_pool.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vexil;
// Windows headers have a TokenType of their own.
using TT = vexil::TokenType;

namespace {

class FakeHost final : public LoaderHost {
public:
    int findBuiltin(std::wstring_view name) const override { return name == L"KNOWN" ? 7 : -1; }
    void registerStartFunction(std::wstring name) override { starts.push_back(std::move(name)); }
    const NamePool::Name& intern(std::wstring_view text) override { return names.intern(text); }
    std::vector<std::wstring> starts;
    NamePool names;
};

struct Loaded {
    FakeHost host;
    ScriptLoader loader{host};
    bool ok = false;
    SourceKind kind = SourceKind::NamedFile;
    std::string output;

    explicit Loaded(const std::wstring& path) {
        loader.setErrorsToStdout(true);
        testing::internal::CaptureStdout();
        ok = loader.loadScript(path, kind);
        output = testing::internal::GetCapturedStdout();
    }
    std::vector<std::wstring> texts() const {
        std::vector<std::wstring> out;
        for (int i = 1; i <= loader.lineCount(); ++i) out.push_back(*loader.lineText(i));
        return out;
    }
    std::vector<int> numbers() const {
        std::vector<int> out;
        for (int i = 1; i <= loader.lineCount(); ++i) out.push_back(loader.lineNumber(i));
        return out;
    }
};

using Texts = std::vector<std::wstring>;
using Numbers = std::vector<int>;

} // namespace

TEST(Loader, LinesKeepTheirFileLineNumbers) {
    TempFolder folder;
    std::wstring path = folder.write(L"main.vx3",
                                     "  \t$a = 1   ; comment\n"
                                     "\n"
                                     "\n"
                                     "$b = 2 _\n"
                                     "   + 3\n"
                                     "#cs\n"
                                     "#cs\n"
                                     "#ce\n"
                                     "ignored\n"
                                     "#ce\n"
                                     "#unknown directive\n"
                                     "$c = 'x;y'\n"
                                     "\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_EQ(l.kind, SourceKind::TextFile);
    EXPECT_EQ(l.texts(), (Texts{L"$a = 1", L"$b = 2 + 3", L"$c = 'x;y'", L""}));
    EXPECT_EQ(l.numbers(), (Numbers{1, 4, 12, 13}));
    EXPECT_EQ(l.loader.fileIndex(1), 0);
    EXPECT_EQ(l.loader.lineText(0), nullptr);
    EXPECT_EQ(l.loader.lineText(5), nullptr);
    EXPECT_EQ(l.loader.lineNumber(5), -1);
    EXPECT_EQ(l.loader.filePath(-1), L"");
}

TEST(Loader, ContinuationNeedsBlankAndUnderscoreAndThreeCharacters) {
    TempFolder folder;
    std::wstring path = folder.write(L"c.vx3", "$a_\nx _\ny\n _\nz\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    // "x _" continues; " _" trimmed to "_" is too short and is stored as it is.
    EXPECT_EQ(l.texts(), (Texts{L"$a_", L"x y", L"_", L"z"}));
}

TEST(Loader, LinesAreCutTo4094Characters) {
    TempFolder folder;
    std::wstring path = folder.write(L"long.vx3", std::string(5000, 'a') + "\nb\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    ASSERT_EQ(l.loader.lineCount(), 2);
    EXPECT_EQ(l.loader.lineText(1)->size(), 4094u);
}

TEST(Loader, DirectivesSetFlagsAndRegisterStartFunctions) {
    TempFolder folder;
    std::wstring path = folder.write(L"d.vx3",
                                     "#NoTrayIcon\n"
                                     "#RequireAdmin\n"
                                     "#OnVexilStartRegister \"First\"\n"
                                     "#OnVexilStartRegister 'Second' ; comment\n"
                                     "#OnVexilStartRegister   Third  \n"
                                     "#pragma compile(Out, x.exe)\n"
                                     "$x = 1\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_TRUE(l.loader.noTrayIcon());
    EXPECT_TRUE(l.loader.requireAdmin());
    EXPECT_EQ(l.host.starts, (Texts{L"First", L"Second", L"Third"}));
    EXPECT_EQ(l.texts(), (Texts{L"$x = 1"}));
    EXPECT_EQ(l.numbers(), (Numbers{7}));
}

TEST(Loader, IncludedLinesCarryTheirFileIndex) {
    TempFolder folder;
    folder.write(L"sub\\inc.vx3", "$in = 1\n");
    std::wstring path = folder.write(L"main.vx3", "$before = 1\n#include \"sub\\inc.vx3\"\n$after = 1\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_EQ(l.texts(), (Texts{L"$before = 1", L"$in = 1", L"$after = 1"}));
    EXPECT_EQ(l.numbers(), (Numbers{1, 1, 3}));
    EXPECT_EQ(l.loader.fileIndex(2), 1);
    EXPECT_EQ(l.loader.filePath(1), folder.file(L"sub\\inc.vx3"));
    EXPECT_EQ(l.loader.fileCount(), 2);
}

TEST(Loader, IncludeOnceStopsAtTheDirectiveTheSecondTime) {
    TempFolder folder;
    folder.write(L"once.vx3", "$first = 1\n#include-once\n$rest = 1\n");
    std::wstring path = folder.write(L"main.vx3", "#include \"once.vx3\"\n#include 'ONCE.VX3'\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_EQ(l.texts(), (Texts{L"$first = 1", L"$rest = 1", L"$first = 1"}));
}

TEST(Loader, LoaderErrorRecord) {
    TempFolder folder;
    std::wstring path = folder.write(L"bad.vx3", "$a = 1\n#include nothing\n");
    Loaded l(path);
    EXPECT_FALSE(l.ok);
    std::string expected = "bad.vx3 (2) : ==> Cannot parse #include.: \n#include nothing \n\n";
    ASSERT_GE(l.output.size(), expected.size());
    EXPECT_EQ(l.output.substr(l.output.size() - expected.size()), expected);
}

TEST(Loader, IncludeSearchListStartsWithTheProgramsIncludeFolder) {
    FakeHost host;
    ScriptLoader loader(host);
    const auto& list = loader.includeSearchList();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0], L"C:\\vexil\\Include\\");
    // The test area's registry value: an empty entry stays empty, the others end in a backslash.
    EXPECT_EQ(list, (Texts{L"C:\\vexil\\Include\\", L"T:\\loader\\search-a\\", L"", L"T:\\loader\\search-b\\"}));
}

namespace {

Token keywordToken(Keyword k) {
    Token t(TT::Keyword, -1);
    t.i32 = static_cast<int>(k);
    return t;
}

std::string compiledScript(const std::vector<TokenList>& lines, std::vector<std::wstring> directives = {}) {
    return buildContainer({{std::wstring(kScriptEntryName), writeTokenisedScript(lines, directives, nullptr)}}, 3);
}

} // namespace

TEST(Loader, CompiledMainScriptBringsItsTokenLists) {
    TempFolder folder;
    std::vector<TokenList> lines = {{keywordToken(Keyword::Exit), Token(TT::EndOfLine, -1)},
                                    {Token(TT::EndOfLine, -1)}};
    std::wstring path = folder.write(L"c.vxb", compiledScript(lines, {L"#NoTrayIcon", L"#OnVexilStartRegister Go"}));
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_EQ(l.kind, SourceKind::NamedFile);
    EXPECT_EQ(l.loader.lineCount(), 2);
    EXPECT_TRUE(l.loader.noTrayIcon());
    EXPECT_EQ(l.host.starts, (Texts{L"Go"}));
    ASSERT_TRUE(l.loader.tokeniseAll());
    ASSERT_NE(l.loader.tokens(1), nullptr);
    ASSERT_EQ(l.loader.tokens(1)->size(), 2u);
    EXPECT_EQ((*l.loader.tokens(1))[0].i32, static_cast<int>(Keyword::Exit));
    EXPECT_EQ(l.loader.lineText(1), nullptr);
    EXPECT_EQ(l.loader.fileIndex(1), -1);
    EXPECT_EQ(l.loader.lineNumber(2), 2);
}

TEST(Loader, CompiledIncludeKeepsOnlyLinesWithTokens) {
    TempFolder folder;
    std::vector<TokenList> lines = {{keywordToken(Keyword::Exit), Token(TT::EndOfLine, -1)},
                                    {Token(TT::EndOfLine, -1)},
                                    {keywordToken(Keyword::Return), Token(TT::EndOfLine, -1)}};
    folder.write(L"lib.vxb", compiledScript(lines));
    std::wstring path = folder.write(L"main.vx3", "$a = 1\n#include \"lib.vxb\"\n$b = 2\n");
    Loaded l(path);
    ASSERT_TRUE(l.ok) << l.output;
    EXPECT_EQ(l.texts(), (Texts{L"$a = 1", L";", L";", L"$b = 2"}));
    EXPECT_EQ(l.loader.fileIndex(2), -1);
    ASSERT_TRUE(l.loader.tokeniseAll());
    EXPECT_EQ((*l.loader.tokens(2))[0].i32, static_cast<int>(Keyword::Exit));
    EXPECT_EQ((*l.loader.tokens(3))[0].i32, static_cast<int>(Keyword::Return));
}
