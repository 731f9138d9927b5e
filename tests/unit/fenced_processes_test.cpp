// A fenced run (the fuzzer's) starts no program, ends or reprioritises no process and never
// shuts down: those built-ins check their arguments, then fail as usual. Looking is allowed.
#include "prepared_run.h"
#include "temp_folder.h"
#include "test_child_process.h"

#include <gtest/gtest.h>

using namespace vexil;

namespace {

std::string runFenced(const std::wstring& path, DWORD childId) {
    PreparedRun prepared(path);
    EXPECT_TRUE(prepared.ready());
    prepared.engine().setCommandLine(L"", {std::to_wstring(childId)});
    prepared.engine().setFenced(true);
    testing::internal::CaptureStdout();
    prepared.run();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(FencedProcesses, NothingStartsNothingIsEndedOrShutDown) {
    TempFolder folder;
    TestChild child(L"sleep 30000");
    ASSERT_TRUE(child.started());
    // Each starting form would have cmd.exe leave a file of its own.
    const std::string script =
        "Func Show($what, $value, $error)\n"
        "    ConsoleWrite($what & ' ' & $value & ' ' & $error & @LF)\n"
        "EndFunc\n"
        "Local $cmd = @ComSpec & ' /c echo x> '\n"
        "Show('run', Run($cmd & 'run.txt', @ScriptDir, @SW_HIDE, 2), @error)\n"
        "Show('runwait', RunWait($cmd & 'runwait.txt', @ScriptDir), @error)\n"
        "Show('runas', RunAs('nobody', '', 'secret', 0, $cmd & 'runas.txt', @ScriptDir), @error)\n"
        "Show('runaswait', RunAsWait('nobody', '', 'secret', 0, $cmd & 'runaswait.txt', @ScriptDir), @error)\n"
        "Show('shellexecute', ShellExecute(@ComSpec, '/c echo x> shell.txt', @ScriptDir), @error)\n"
        "Show('shellexecutewait', ShellExecuteWait(@ComSpec, '/c echo x> shellwait.txt', @ScriptDir), @error)\n"
        "Show('close', ProcessClose($CmdLine[1]), @error)\n"
        "Show('priority', ProcessSetPriority($CmdLine[1], 4), @error)\n"
        "Show('suspend', Shutdown(32), @error)\n"
        "Show('hibernate', Shutdown(64), @error)\n"
        "Show('exists', ProcessExists($CmdLine[1]) = Number($CmdLine[1]), @error)\n"
        "Show('waitclose', ProcessWaitClose($CmdLine[1], 0.05), @error)\n";
    const std::string output = runFenced(folder.write(L"fenced.vx3", script), child.id());
    EXPECT_EQ(output, "run 0 1\nrunwait 0 1\nrunas 0 1\nrunaswait 0 1\nshellexecute 0 1\nshellexecutewait 0 1\n"
                      "close 0 1\npriority 0 1\nsuspend 0 5\nhibernate 0 5\nexists True 0\nwaitclose 0 0\n");
    Sleep(1500); // a program started after all would have written its file by now
    for (const wchar_t* name :
         {L"run.txt", L"runwait.txt", L"runas.txt", L"runaswait.txt", L"shell.txt", L"shellwait.txt"})
        EXPECT_EQ(folder.read(name), "<missing>") << std::string(name, name + wcslen(name));
    EXPECT_TRUE(child.running());
    EXPECT_EQ(GetPriorityClass(child.handle()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}
