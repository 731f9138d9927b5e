// System DLLs that a script may never need are delay-loaded: a function binds on its first call,
// through a thunk of our own build. That call must reach the function with every argument as
// given, the floating-point ones too. (ctest runs each case in a process of its own, so these are
// the first calls of the process.)
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

namespace {

TEST(DelayLoadedImports, ADoubleArrivesOnTheFirstCall) {
    SYSTEMTIME time{};
    ASSERT_TRUE(VariantTimeToSystemTime(42075.5, &time)); // 12 March 2015, noon
    EXPECT_EQ(time.wYear, 2015);
    EXPECT_EQ(time.wMonth, 3);
    EXPECT_EQ(time.wDay, 12);
    EXPECT_EQ(time.wHour, 12);
}

TEST(DelayLoadedImports, IntegersAndDoublesTogetherOnTheFirstCall) {
    // VarBstrFromR8(double, LCID, flags, BSTR*): a double in xmm0, the rest in integer registers.
    BSTR text = nullptr;
    ASSERT_EQ(VarBstrFromR8(2.5, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT), 0, &text), S_OK);
    EXPECT_STREQ(text, L"2.5");
    SysFreeString(text);
}

} // namespace
