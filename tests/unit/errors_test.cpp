#include "engine/errors/errors.h"

#include <gtest/gtest.h>

using namespace vexil;

TEST(LoaderErrorText, RecordForEditors) {
    EXPECT_EQ(loaderErrorRecord(L"C:\\s\\a.vx3", 12, L"Unterminated string", L"$a = \"x"),
              L"C:\\s\\a.vx3 (12) : ==> Unterminated string.: \n$a = \"x \n\n");
}

TEST(LoaderErrorText, MessageBoxWithAndWithoutFile) {
    EXPECT_EQ(loaderErrorBoxText(L"C:\\s\\a.vx3", 3, L"Cannot parse #include", L"#include x"),
              L"Line 3  (File \"C:\\s\\a.vx3\"):\n\n#include x\n\nError: Cannot parse #include.\n\n");
    EXPECT_EQ(loaderErrorBoxText(L"", 1, L"Bad directive syntax error", L""),
              L"Line 1:\n\n\n\nError: Bad directive syntax error.\n\n");
}
