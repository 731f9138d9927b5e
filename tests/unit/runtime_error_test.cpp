#include "engine/engine.h"
#include "engine/errors/errors.h"
#include "engine/front/loader.h"
#include "engine/startup_state.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vexil;

namespace {

// An engine whose script is loaded from a file, reporting errors on standard output.
struct ScriptRun {
    StartupState startup;
    Engine engine{startup};
    ScriptLoader loader{engine};

    explicit ScriptRun(const std::wstring& scriptPath) {
        startup.errorsToStdout = true;
        engine.setLoader(&loader);
        SourceKind kind = SourceKind::NamedFile;
        loader.setErrorsToStdout(true);
        EXPECT_TRUE(loader.loadScript(scriptPath, kind));
        EXPECT_TRUE(loader.tokeniseAll());
        engine.setScript(kind, scriptPath);
    }
    ScriptRun() {
        startup.errorsToStdout = true;
        engine.setLoader(&loader);
    }
    std::string error(MessageId::Id id, int column) {
        testing::internal::CaptureStdout();
        EXPECT_LT(engine.reportRuntimeError(id, column), 0);
        return testing::internal::GetCapturedStdout();
    }
};

std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

} // namespace

TEST(RuntimeError, RecordNamesTheFileLineAndColumn) {
    TempFolder folder;
    std::wstring path = folder.write(L"s.vx3", "$a = 1\n\n#cs\n#ce\n  $b = $undefined + 1\n");
    ScriptRun run(path);
    run.engine.setCurrentLine(2);
    std::string expected = "\"";
    expected += narrow(path);
    expected += "\" (5) : ==> Variable used without being declared.:\n$b = $undefined + 1\n$b = ^ ERROR\n";
    EXPECT_EQ(run.error(MessageId::VariableNotDeclared, 5), expected);
    EXPECT_EQ(run.startup.exitCode, 1);
    EXPECT_EQ(run.engine.runState(), RunState::Ending);
}

TEST(RuntimeError, OnlyTheFirstFatalErrorIsShown) {
    TempFolder folder;
    ScriptRun run(folder.write(L"s.vx3", "$a = 1\n"));
    run.engine.setCurrentLine(1);
    EXPECT_FALSE(run.error(MessageId::ErrorInExpression, 0).empty());
    EXPECT_EQ(run.error(MessageId::UnknownMacro, 0), "");
    EXPECT_EQ(run.startup.exitCode, 1);
}

TEST(RuntimeError, SuppressedWhileExecuteEvaluates) {
    TempFolder folder;
    ScriptRun run(folder.write(L"s.vx3", "$a = 1\n"));
    run.engine.setCurrentLine(1);
    run.engine.setErrorsSuppressed(true);
    EXPECT_EQ(run.error(MessageId::ErrorInExpression, 0), "");
    EXPECT_EQ(run.engine.runState(), RunState::Running);
    EXPECT_EQ(run.startup.exitCode, 0);
}

TEST(RuntimeError, SetExitCodeOptionGivesTheReservedCodes) {
    TempFolder folder;
    ScriptRun run(folder.write(L"s.vx3", "$a = @nothing\n"));
    run.engine.setSetExitCodeOption(true);
    run.engine.setCurrentLine(1);
    run.error(MessageId::UnknownMacro, 5);
    EXPECT_EQ(run.startup.exitCode, 2147479686);

    ScriptRun object(folder.write(L"o.vx3", "$o.x = 1\n"));
    object.engine.setSetExitCodeOption(true);
    object.engine.setCurrentLine(1);
    testing::internal::CaptureStdout();
    EXPECT_LT(object.engine.reportObjectPropertyError(), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(object.startup.exitCode, 2147479666);
    std::string tail = "$o.x = 1\n^ ERROR Incorrect parameters to object property !\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
    EXPECT_NE(out.find("Illegal text at the end of statement (one statement per line).:"), std::string::npos);
}

TEST(RuntimeError, LineWithoutFileShowsTheScriptPathAndLineIndex) {
    ScriptRun run;
    run.loader.addLine(1, L"$x = 1 +", -1);
    ASSERT_TRUE(run.loader.tokeniseAll());
    run.engine.setScript(SourceKind::Line, L"C:\\vexil\\vexil.exe");
    run.engine.setCurrentLine(1);
    EXPECT_EQ(run.error(MessageId::ErrorInExpression, 7), "\"C:\\vexil\\vexil.exe\" (1) : ==> Error in expression.:\n");
}

TEST(ErrorTexts, MessageBoxForms) {
    EXPECT_EQ(runtimeErrorBoxText(L"C:\\a.vx3", 12, L"Unknown macro.", L"$a = @x", L"$a = ^ ERROR"),
              L"Line 12  (File \"C:\\a.vx3\"):\n\n$a = @x\n$a = ^ ERROR\n\nError: Unknown macro.");
    EXPECT_EQ(runtimeErrorBoxText(L"C:\\p.exe", 3, L"Error in expression.", L"", L""),
              L"Line 3  (File \"C:\\p.exe\"):\n\n\nError: Error in expression.");
    EXPECT_EQ(lexicalErrorBoxText(L"C:\\a.vx3", 2, L"Unable to parse line.", L"$a = 12abc", 5),
              L"Line 2  (File \"C:\\a.vx3\"):\n\n$a = 12abc\n$a = ^ ERROR\n\nError: Unable to parse line.");
    EXPECT_EQ(lexicalErrorBoxText(L"", 1, L"Unable to parse line.", L"%", -1),
              L"Line 1:\n\n%\n\nError: Unable to parse line.");
    EXPECT_EQ(lexicalErrorRecord(L"a.vx3", 4, L"Unable to parse line.", L"x ! y", -1),
              L"a.vx3 (4) : ==> Unable to parse line.: \nx ! y \n\n");
    EXPECT_EQ(errorMarker(L"abc", 10), L"abc^ ERROR");
}
