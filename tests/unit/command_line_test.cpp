#include "app/command_line.h"
#include "engine/engine.h"
#include "engine/startup_state.h"

#include <gtest/gtest.h>

using namespace vexil;
using Args = std::vector<std::wstring>;

TEST(ArgumentSplitting, Cases) {
    struct Case {
        const wchar_t* text;
        Args expected;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   \t ", {}},
        {L"a b", {L"a", L"b"}},
        {L"  a \t  b  ", {L"a", L"b"}},
        {L"a \"b c\" d\"\"e \"\"", {L"a", L"b c", L"de", L""}},
        {L"\"abc", {L"\"abc"}},
        {L"x\"abc", {L"x\"abc"}},
        {L"pre\"mid dle\"post", {L"premid dlepost"}},
        {L"\"a\"\"b\"", {L"a\"b"}},
        {L"\"\"", {L""}},
        {L"a \"\" b", {L"a", L"", L"b"}},
        {L"\"a b", {L"\"a b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitArguments(c.text), c.expected) << "text: " << testing::PrintToString(std::wstring(c.text));
}

TEST(ArgumentSplitting, LongArgumentStopsSplittingAt4096) {
    std::wstring text(5000, L'x');
    text += L" next";
    Args args = splitArguments(text);
    ASSERT_EQ(args.size(), 1u);
    EXPECT_EQ(args[0].size(), kMaxArgumentLength);
}

namespace {

struct Parsed {
    StartupState startup;
    Engine engine{startup};
    Parsed(const wchar_t* text, bool packaged = false, bool forbidden = false) {
        startup.programPath = L"C:\\vexil\\vexil.exe";
        parseCommandLine(text, packaged, forbidden, startup, engine);
    }
};

} // namespace

TEST(CommandLine, NoArgumentsLeavesEmptyScriptPathForTheDialog) {
    Parsed p(L"");
    EXPECT_TRUE(p.startup.scriptPath.empty());
    EXPECT_TRUE(p.engine.cmdLine().empty());
    EXPECT_TRUE(p.engine.cmdLineRaw().empty());
}

TEST(CommandLine, FirstPlainArgumentIsTheScriptWithoutPackagedScript) {
    Parsed p(L"a.vx3 x y");
    EXPECT_EQ(p.startup.scriptPath, L"a.vx3");
    EXPECT_EQ(p.startup.sourceKind, SourceKind::NamedFile);
    EXPECT_EQ(p.engine.cmdLine(), (Args{L"x", L"y"}));
    EXPECT_EQ(p.engine.cmdLineRaw(), L"a.vx3 x y");
}

TEST(CommandLine, PackagedProgramKeepsAllArgumentsForTheScript) {
    Parsed p(L"a.vx3 x", true);
    EXPECT_EQ(p.startup.scriptPath, L"C:\\vexil\\vexil.exe");
    EXPECT_EQ(p.startup.sourceKind, SourceKind::OwnFile);
    EXPECT_EQ(p.engine.cmdLine(), (Args{L"a.vx3", L"x"}));
}

TEST(CommandLine, SwitchesInOrder) {
    Parsed p(L"/errorstdout /Vexil3OutputDebug s.vx3 a b");
    EXPECT_TRUE(p.startup.errorsToStdout);
    EXPECT_TRUE(p.startup.debugOutput);
    EXPECT_EQ(p.startup.scriptPath, L"s.vx3");
    EXPECT_EQ(p.engine.cmdLine(), (Args{L"a", L"b"}));
    EXPECT_EQ(p.engine.cmdLineRaw(), L"/errorstdout /Vexil3OutputDebug s.vx3 a b");
}

TEST(CommandLine, SwitchOutOfOrderIsAnOrdinaryArgument) {
    Parsed p(L"/Vexil3OutputDebug /ErrorStdOut", true);
    EXPECT_TRUE(p.startup.debugOutput);
    EXPECT_FALSE(p.startup.errorsToStdout);
    EXPECT_EQ(p.engine.cmdLine(), (Args{L"/ErrorStdOut"}));
}

TEST(CommandLine, ExecuteLine) {
    Parsed p(L"/Vexil3ExecuteLine \"x = 1\" more", true);
    EXPECT_EQ(p.startup.sourceKind, SourceKind::Line);
    EXPECT_EQ(p.startup.lineText, L"x = 1");
    EXPECT_TRUE(p.startup.noTrayIcon);
    EXPECT_EQ(p.startup.scriptPath, L"C:\\vexil\\vexil.exe");
    EXPECT_EQ(p.engine.cmdLine(), (Args{L"more"}));
}

TEST(CommandLine, ExecuteScriptAsLastArgumentLeavesThePathEmpty) {
    Parsed p(L"/Vexil3ExecuteScript", true);
    EXPECT_EQ(p.startup.sourceKind, SourceKind::NamedFile);
    EXPECT_TRUE(p.startup.scriptPath.empty());
    EXPECT_TRUE(p.engine.cmdLine().empty());
}

TEST(CommandLine, ForbiddenExecutionSwitchesAreRefused) {
    EXPECT_EQ(Parsed(L"/Vexil3ExecuteScript s.vx3", true, true).startup.sourceKind, SourceKind::Refused);
    EXPECT_EQ(Parsed(L"/Vexil3ExecuteLine x", true, true).startup.sourceKind, SourceKind::Refused);
    EXPECT_EQ(Parsed(L"s.vx3", true, true).startup.sourceKind, SourceKind::OwnFile);
}

TEST(CommandLine, ElevationMarkerIsRemovedFromTheRawLine) {
    Parsed p(L"!s.vx3 a");
    EXPECT_TRUE(p.startup.elevationMarker);
    EXPECT_EQ(p.startup.scriptPath, L"s.vx3");
    EXPECT_EQ(p.engine.cmdLineRaw(), L"s.vx3 a");
    EXPECT_EQ(p.startup.argumentText, L"!s.vx3 a");
}
