// A fenced run (the fuzzer's, which passes addresses at random) lays no structure over memory it
// is given: DLLSTRUCTCREATE checks the definition first, then refuses the address with @error 3.
#include "prepared_run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace {

// Exits with 100 x the @error of the view, 10 if it is a structure, and the @error of a bad
// definition given an address.
constexpr const char* kScript = "Local $own = DllStructCreate(\"int a\")\n"
                                "Local $view = DllStructCreate(\"int a\", DllStructGetPtr($own))\n"
                                "Local $viewError = @error\n"
                                "DllStructCreate(\"int a[0]\", Ptr(1))\n"
                                "Local $definitionError = @error\n"
                                "Exit $viewError * 100 + IsDllStruct($view) * 10 + $definitionError\n";

int exitCodeOfRun(bool fenced) {
    TempFolder folder;
    PreparedRun prepared(folder.write(L"fence.vx3", kScript));
    EXPECT_TRUE(prepared.ready());
    prepared.engine().setFenced(fenced);
    return prepared.run();
}

} // namespace

TEST(FencedStruct, RefusesGivenMemoryAfterCheckingTheDefinition) {
    EXPECT_EQ(exitCodeOfRun(false), 12);
    EXPECT_EQ(exitCodeOfRun(true), 302);
}
