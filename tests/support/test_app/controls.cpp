#include "controls.h"
#include "report.h"

#include <commctrl.h>

#include <string>

namespace test_app {

namespace {

struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;
    const wchar_t* name; // in the report
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const ControlRow kControls[] = {
    {kEdit, L"Edit", L"Edit me", kChild | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24, L"edit"},
    {kMultiLineEdit, L"Edit", L"Line one\r\nLine two", kChild | WS_BORDER | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 220, 10, 200, 60, L"memo"},
    {kOkButton, L"Button", L"&OK", kChild | BS_PUSHBUTTON, 10, 40, 90, 26, L"ok"},
    {kCancelButton, L"Button", L"&Cancel", kChild | BS_PUSHBUTTON, 110, 40, 90, 26, L"cancel"},
    {kCheckBox, L"Button", L"C&heck me", kChild | BS_AUTOCHECKBOX, 10, 76, 120, 22, L"check"},
    {kRadioA, L"Button", L"Radio &A", kChild | BS_AUTORADIOBUTTON | WS_GROUP, 140, 76, 90, 22, L"radio a"},
    {kRadioB, L"Button", L"Radio &B", kChild | BS_AUTORADIOBUTTON, 240, 76, 90, 22, L"radio b"},
    {kCombo, L"ComboBox", L"", kChild | CBS_DROPDOWNLIST | WS_VSCROLL, 10, 106, 150, 120, L"combo"},
    {kListBox, L"ListBox", L"", kChild | WS_BORDER | LBS_NOTIFY | WS_VSCROLL, 170, 106, 120, 80, L"list"},
    {kListView, WC_LISTVIEWW, L"", kChild | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, 300, 106, 200, 100, L"listview"},
    {kTreeView, WC_TREEVIEWW, L"", kChild | WS_BORDER | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS, 10, 216, 200, 110, L"tree"},
    {kTabs, WC_TABCONTROLW, L"", kChild, 220, 216, 280, 60, L"tab"},
    {kVisibleLabel, L"Static", L"Visible label", WS_CHILD | WS_VISIBLE, 10, 336, 200, 20, nullptr},
    // Not visible: only a search that detects hidden text sees it.
    {kHiddenLabel, L"Static", L"Hidden secret", WS_CHILD, 220, 336, 200, 20, nullptr},
    {kStatusBar, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, L"status"},
};

const wchar_t* const kItems[] = {L"Red", L"Green", L"Blue"};
const wchar_t* const kListItems[] = {L"One", L"Two", L"Three"};

void fillListView(HWND view) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 90;
    column.pszText = const_cast<wchar_t*>(L"Name");
    ListView_InsertColumn(view, 0, &column);
    column.pszText = const_cast<wchar_t*>(L"Size");
    ListView_InsertColumn(view, 1, &column);
    const wchar_t* const names[] = {L"alpha", L"beta", L"gamma"};
    const wchar_t* const sizes[] = {L"1", L"22", L"333"};
    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(names[i]);
        ListView_InsertItem(view, &item);
        ListView_SetItemText(view, i, 1, const_cast<wchar_t*>(sizes[i]));
    }
}

HTREEITEM addTreeItem(HWND tree, HTREEITEM parent, const wchar_t* text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(text);
    return TreeView_InsertItem(tree, &insert);
}

void fillItems(HWND control, int id) {
    switch (id) {
    case kCombo:
        for (const wchar_t* item : kItems) SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        break;
    case kListBox:
        for (const wchar_t* item : kListItems) SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        break;
    case kListView: fillListView(control); break;
    case kTreeView: {
        const HTREEITEM fruit = addTreeItem(control, TVI_ROOT, L"Fruit");
        addTreeItem(control, fruit, L"Apple");
        addTreeItem(control, fruit, L"Pear");
        const HTREEITEM tools = addTreeItem(control, TVI_ROOT, L"Tools");
        addTreeItem(control, tools, L"Hammer");
        break;
    }
    case kTabs: {
        const wchar_t* const tabs[] = {L"First", L"Second", L"Third"};
        for (int i = 0; i < 3; ++i) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(tabs[i]);
            TabCtrl_InsertItem(control, i, &item);
        }
        break;
    }
    default: break;
    }
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring listBoxSelection(HWND list) {
    const LRESULT at = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (at == LB_ERR) return L"(none)";
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, at, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring treeSelection(HWND tree) {
    const HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected) return L"(none)";
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = text;
    item.cchTextMax = 256;
    TreeView_GetItem(tree, &item);
    return text;
}

std::wstring finalState(HWND control, int id) {
    switch (id) {
    case kCheckBox:
    case kRadioA:
    case kRadioB: return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"checked" : L"unchecked";
    case kListBox: return listBoxSelection(control);
    case kListView: return L"selected " + std::to_wstring(ListView_GetNextItem(control, -1, LVNI_SELECTED));
    case kTreeView: return treeSelection(control);
    case kTabs: return L"tab " + std::to_wstring(TabCtrl_GetCurSel(control));
    case kOkButton:
    case kCancelButton: return IsWindowEnabled(control) ? L"enabled" : L"disabled";
    default: {
        // One line per control in the report: line breaks are written as \r and \n.
        std::wstring text;
        for (wchar_t c : windowText(control)) text += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
        return text;
    }
    }
}

} // namespace

void createControls(HWND parent) {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlRow& row : kControls) {
        const HWND control = CreateWindowExW(0, row.className, row.text, row.style, row.x, row.y, row.width, row.height, parent,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        if (!control) continue;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        fillItems(control, row.id);
    }
}

const wchar_t* controlName(int id) {
    for (const ControlRow& row : kControls)
        if (row.id == id) return row.name;
    return nullptr;
}

void recordFinalStates(HWND parent) {
    for (const ControlRow& row : kControls) {
        if (!row.name) continue;
        const HWND control = GetDlgItem(parent, row.id);
        if (control) recordf(L"final %ls: %ls", row.name, finalState(control, row.id).c_str());
    }
}

} // namespace test_app
