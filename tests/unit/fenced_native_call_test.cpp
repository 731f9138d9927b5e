// A fenced run (the fuzzer's) checks the arguments of native calls and then refuses to load or
// call anything: a script cannot see this, as only the fuzzer fences its runs.
#include "prepared_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexil;

namespace {

// Runs the script in a fenced engine; the text of its global $summary.
std::wstring fencedSummary(const std::string& script) {
    TempFolder folder;
    PreparedRun prepared(folder.write(L"fenced.vx3", script));
    EXPECT_TRUE(prepared.ready());
    Engine& engine = prepared.engine();
    engine.setFenced(true);
    EXPECT_EQ(prepared.run(), 0);
    const NamePool::Name* name = engine.names().find(L"SUMMARY");
    const Variable* summary = name ? engine.globals().find(name->id) : nullptr;
    return summary ? std::wstring(summary->value->text().view()) : L"<no summary>";
}

} // namespace

TEST(FencedNativeCalls, ArgumentsAreCheckedThenNothingIsLoadedOrCalled) {
    // An address that would crash if called; a library that exists; errors that only the
    // arguments can earn come first.
    const std::wstring summary = fencedSummary(
        "Func F($a)\n"
        "    Return $a\n"
        "EndFunc\n"
        "Local $open = DllOpen('kernel32.dll')\n"
        "Local $call = DllCall('kernel32.dll', 'dword', 'GetTickCount'), $callError = @error\n"
        "Local $address = DllCallAddress('int', 12345, 'int', 1), $addressError = @error\n"
        "DllCall('kernel32.dll', 'bad', 'GetTickCount')\n"
        "Local $returnError = @error\n"
        "DllCall('kernel32.dll', 'int', 'GetTickCount', 'struct', 5)\n"
        "Local $structError = @error\n"
        "DllCall('kernel32.dll', 'int', 'GetTickCount', 'int')\n"
        "Local $pairError = @error\n"
        "Local $callback = DllCallbackRegister('F', 'int', 'int')\n"
        "Global $summary = $open & ' ' & $call & '/' & $callError & ' ' & $address & '/' & $addressError & ' ' & "
        "$returnError & $structError & $pairError & ' ' & $callback & ' ' & (DllCallbackGetPtr($callback) <> 0)\n");
    EXPECT_EQ(summary, L"-1 0/1 0/1 254 1 True");
}
