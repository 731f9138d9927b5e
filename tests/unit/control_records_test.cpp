// The records placed in another program for list-view and tree-view messages: the 64-bit layout
// is our own build's, and the 32-bit layout is that of a program under WOW64, where pointers and
// handles are 4 bytes and nothing is padded to 8.
#include "automation/control_records.h"
#include "automation/tree_item_path.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace vexil {
namespace {

TEST(ControlRecords, WideLayoutsAreThoseOfThisBuild) {
    const ListViewItemLayout& item = listViewItemLayout(false);
    EXPECT_EQ(item.size, offsetof(LVITEMW, piColFmt));
    EXPECT_EQ(item.subItem, offsetof(LVITEMW, iSubItem));
    EXPECT_EQ(item.state, offsetof(LVITEMW, state));
    EXPECT_EQ(item.stateMask, offsetof(LVITEMW, stateMask));
    EXPECT_EQ(item.text, offsetof(LVITEMW, pszText));
    EXPECT_EQ(item.textMax, offsetof(LVITEMW, cchTextMax));
    const TreeViewItemLayout& tree = treeViewItemLayout(false);
    EXPECT_EQ(tree.size, sizeof(TVITEMW));
    EXPECT_EQ(tree.item, offsetof(TVITEMW, hItem));
    EXPECT_EQ(tree.text, offsetof(TVITEMW, pszText));
    EXPECT_EQ(tree.textMax, offsetof(TVITEMW, cchTextMax));
    const TreeHitTestLayout& hit = treeHitTestLayout(false);
    EXPECT_EQ(hit.size, sizeof(TVHITTESTINFO));
    EXPECT_EQ(hit.flags, offsetof(TVHITTESTINFO, flags));
    EXPECT_EQ(hit.item, offsetof(TVHITTESTINFO, hItem));
}

// The same records as a 32-bit program declares them.
struct ListViewItem32 {
    uint32_t mask;
    int32_t item, subItem;
    uint32_t state, stateMask, text;
    int32_t textMax, image;
    uint32_t param;
    int32_t indent, groupId;
    uint32_t columns, columnList, columnFormats;
    int32_t group;
};
struct TreeViewItem32 {
    uint32_t mask, item, state, stateMask, text;
    int32_t textMax, image, selectedImage, children;
    uint32_t param;
};
struct TreeHitTest32 {
    int32_t x, y;
    uint32_t flags, item;
};

TEST(ControlRecords, NarrowLayoutsAreThoseOfA32BitProgram) {
    const ListViewItemLayout& item = listViewItemLayout(true);
    EXPECT_EQ(item.size, offsetof(ListViewItem32, columnFormats));
    EXPECT_EQ(item.subItem, offsetof(ListViewItem32, subItem));
    EXPECT_EQ(item.state, offsetof(ListViewItem32, state));
    EXPECT_EQ(item.stateMask, offsetof(ListViewItem32, stateMask));
    EXPECT_EQ(item.text, offsetof(ListViewItem32, text));
    EXPECT_EQ(item.textMax, offsetof(ListViewItem32, textMax));
    const TreeViewItemLayout& tree = treeViewItemLayout(true);
    EXPECT_EQ(tree.size, sizeof(TreeViewItem32));
    EXPECT_EQ(tree.item, offsetof(TreeViewItem32, item));
    EXPECT_EQ(tree.text, offsetof(TreeViewItem32, text));
    EXPECT_EQ(tree.textMax, offsetof(TreeViewItem32, textMax));
    const TreeHitTestLayout& hit = treeHitTestLayout(true);
    EXPECT_EQ(hit.size, sizeof(TreeHitTest32));
    EXPECT_EQ(hit.flags, offsetof(TreeHitTest32, flags));
    EXPECT_EQ(hit.item, offsetof(TreeHitTest32, item));
}

TEST(ControlRecords, PointersTakeTheTargetsWidth) {
    RecordImage narrow(8, true);
    narrow.putPointer(0, 0x1122334455667788ull);
    EXPECT_EQ(narrow.get32(0), 0x55667788u);
    EXPECT_EQ(narrow.get32(4), 0u); // the next field is left alone
    RecordImage wide(8, false);
    wide.putPointer(0, 0x1122334455667788ull);
    EXPECT_EQ(wide.get32(0), 0x55667788u);
    EXPECT_EQ(wide.get32(4), 0x11223344u);
}

TEST(TreeItemPath, Levels) {
    struct Case {
        const wchar_t* path;
        std::vector<std::wstring> levels; // "#n" for an index level
    };
    const Case cases[] = {
        {L"", {}},
        {L"Fruit", {L"Fruit"}},
        {L"#0|#1", {L"#0", L"#1"}},
        {L"A||B|C", {L"A|B", L"C"}},
        {L"##hash|#12", {L"text:#hash", L"#12"}},
        {L"#x|#", {L"text:#x", L"text:#"}},
        {L"a|", {L"a", L""}},
        {L"#99999999999", {L"text:#99999999999"}},
    };
    for (const Case& c : cases) {
        const std::vector<TreePathLevel> levels = parseTreePath(c.path);
        ASSERT_EQ(levels.size(), c.levels.size()) << c.path;
        for (size_t i = 0; i < levels.size(); ++i) {
            std::wstring shown = levels[i].byIndex ? L"#" + std::to_wstring(levels[i].index) : levels[i].text;
            std::wstring wanted = c.levels[i];
            if (wanted.rfind(L"text:", 0) == 0) {
                EXPECT_FALSE(levels[i].byIndex) << c.path;
                wanted = wanted.substr(5);
            }
            EXPECT_EQ(shown, wanted) << c.path;
        }
    }
}

} // namespace
} // namespace vexil
