#pragma once
// The controls of the main window, made from one table (controls.cpp): to add a control, add a
// row, and if it has items or a final state worth reporting, a case in fillItems / finalState.
#include <windows.h>

namespace test_app {

// Control ids, stable: tests name controls by them ([ID:...]).
enum ControlId : int {
    kEdit = 101,
    kOkButton = 102,
    kCancelButton = 103,
    kCheckBox = 104,
    kRadioA = 105,
    kRadioB = 106,
    kCombo = 107,
    kListBox = 108,
    kListView = 109,
    kTreeView = 110,
    kTabs = 111,
    kStatusBar = 112,
    kVisibleLabel = 113,
    kHiddenLabel = 114,
    kMultiLineEdit = 115,
};

// Makes the controls inside `parent`.
void createControls(HWND parent);
// The control's name in the report ("edit", "check" ...), or nullptr.
const wchar_t* controlName(int id);
// Records the final state of every control ("final edit: text").
void recordFinalStates(HWND parent);

} // namespace test_app
