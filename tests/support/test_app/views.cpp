#include "views.h"

#include "window_class.h"

#include <commctrl.h>

namespace test_app {

namespace {

constexpr wchar_t kViewsClass[] = L"VexilTestAppViews";

void fillList(HWND list) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<wchar_t*>(L"Double");
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kViewItems; ++i) {
        std::wstring name = i == 0 ? L"Grüße 日本" : L"Item " + std::to_wstring(i);
        std::wstring twice = i == 0 ? L"zero" : std::to_wstring(i * 2);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = twice.data();
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

HTREEITEM addItem(HWND tree, HTREEITEM parent, const std::wstring& text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void fillTree(HWND tree) {
    HTREEITEM level = addItem(tree, TVI_ROOT, L"Wurzel ✓");
    for (int depth = 1; depth <= kTreeDepth; ++depth) level = addItem(tree, level, L"Level " + std::to_wstring(depth));
    const HTREEITEM second = addItem(tree, TVI_ROOT, L"Second");
    addItem(tree, second, L"A|B");
    addItem(tree, second, L"#hash");
}

LRESULT CALLBACK viewsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 280,
                                          300, window, reinterpret_cast<HMENU>(301), instance, nullptr);
        fillList(list);
        const HWND tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                          WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES,
                                          300, 10, 280, 300, window, reinterpret_cast<HMENU>(302), instance, nullptr);
        fillTree(tree);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HWND openViews(const std::wstring& title) {
    registerClass(kViewsClass, viewsProcedure);
    const std::wstring name = title + L" - Views";
    return CreateWindowExW(0, kViewsClass, name.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150, 610, 360, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace test_app
