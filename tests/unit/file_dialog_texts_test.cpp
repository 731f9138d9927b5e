#include "library/file_dialog_texts.h"

#include <windows.h>

#include <commdlg.h>

#include <gtest/gtest.h>

using namespace vexil;

namespace {

std::wstring zeros(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'#') c = L'\0';
    return text;
}

} // namespace

TEST(FileDialogTexts, FilterGroupsBecomeNamePatternPairs) {
    struct Case {
        const wchar_t* filter;
        bool ok;
        const wchar_t* list; // '#' stands for a zero
    };
    const Case cases[] = {
        {L"Text files (*.txt)", true, L"Text files (*.txt)#*.txt##"},
        {L"Text (*.txt)|All (*.*)", true, L"Text (*.txt)#*.txt#All (*.*)#*.*##"},
        {L"Pictures (*.png;*.jpg)", true, L"Pictures (*.png;*.jpg)#*.png;*.jpg##"},
        {L"Old (copy(1).txt)", true, L"Old (copy(1).txt)#copy(1).txt##"},
        {L"Empty ()", true, L"Empty ()###"},
        {L"No parentheses", false, L""},
        {L"Text (*.txt)|", false, L""},
        {L"", false, L""},
        {L"Backwards )*.txt(", false, L""},
        {L"Open only (*.txt", false, L""},
    };
    for (const Case& c : cases) {
        std::wstring list = L"stale";
        EXPECT_EQ(buildFilterList(c.filter, list), c.ok) << c.filter;
        EXPECT_EQ(list, zeros(c.list)) << c.filter;
    }
}

TEST(FileDialogTexts, OptionsAddFlagsOnlyWhenGivenAndInRange) {
    const uint32_t base = OFN_EXPLORER | OFN_HIDEREADONLY;
    EXPECT_EQ(fileDialogFlags(false, 31), base);
    EXPECT_EQ(fileDialogFlags(true, 0), base);
    EXPECT_EQ(fileDialogFlags(true, 1 + 4), base | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT);
    EXPECT_EQ(fileDialogFlags(true, 2 + 8 + 16), base | OFN_PATHMUSTEXIST | OFN_CREATEPROMPT | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(fileDialogFlags(true, 32), base);
    EXPECT_EQ(fileDialogFlags(true, -1), base);
}

TEST(FileDialogTexts, ChosenFilesJoinFolderAndNames) {
    EXPECT_EQ(chosenFiles(zeros(L"C:\\a\\one.txt##")), L"C:\\a\\one.txt");
    EXPECT_EQ(chosenFiles(zeros(L"C:\\a#one.txt#two.txt##")), L"C:\\a|one.txt|two.txt");
    EXPECT_EQ(chosenFiles(zeros(L"C:\\a b#x y.txt#z.txt#w##")), L"C:\\a b|x y.txt|z.txt|w");
    EXPECT_EQ(chosenFiles(zeros(L"##")), L"");
    // A buffer filled to its end without the closing zeros ends where it ends.
    EXPECT_EQ(chosenFiles(std::wstring_view(L"C:\\a\0one", 8)), L"C:\\a|one");
}
