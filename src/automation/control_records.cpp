#include "automation/control_records.h"

namespace vexil {

namespace {

// LVITEMW as far as puColumns (the record every version of the list view reads): mask, iItem,
// iSubItem, state, stateMask, pszText, cchTextMax, iImage, lParam, iIndent, iGroupId, cColumns,
// puColumns.
constexpr ListViewItemLayout kListViewItem64{72, 0, 4, 8, 12, 16, 24, 32};
constexpr ListViewItemLayout kListViewItem32{52, 0, 4, 8, 12, 16, 20, 24};
// TVITEMW: mask, hItem, state, stateMask, pszText, cchTextMax, iImage, iSelectedImage, cChildren,
// lParam.
constexpr TreeViewItemLayout kTreeViewItem64{56, 0, 8, 16, 20, 24, 32};
constexpr TreeViewItemLayout kTreeViewItem32{40, 0, 4, 8, 12, 16, 20};
// TVHITTESTINFO: pt, flags, hItem.
constexpr TreeHitTestLayout kTreeHitTest64{24, 0, 4, 8, 16};
constexpr TreeHitTestLayout kTreeHitTest32{16, 0, 4, 8, 12};

} // namespace

const ListViewItemLayout& listViewItemLayout(bool narrow) { return narrow ? kListViewItem32 : kListViewItem64; }
const TreeViewItemLayout& treeViewItemLayout(bool narrow) { return narrow ? kTreeViewItem32 : kTreeViewItem64; }
const TreeHitTestLayout& treeHitTestLayout(bool narrow) { return narrow ? kTreeHitTest32 : kTreeHitTest64; }

} // namespace vexil
