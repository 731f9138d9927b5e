#pragma once
// The views window: a list view and a tree view too large and too deep for the main window, with
// texts beyond ASCII and check boxes, for the list-view and tree-view tests.
#include <windows.h>

#include <string>

namespace test_app {

// "TITLE - Views": a list view (report view, two columns) of kViewItems items, item n holding
// "Item n" and "n*2", except item 0, which holds "Grüße 日本" and "zero"; and a tree view with
// check boxes: the root "Wurzel ✓" with kTreeDepth levels below it, each "Level n" (n from 1),
// and a second root "Second" with children "A|B" (a "|" in its text) and "#hash".
constexpr int kViewItems = 10000;
constexpr int kTreeDepth = 40;

HWND openViews(const std::wstring& title);

} // namespace test_app
