#pragma once
// What the three command built-ins (CONTROLCOMMAND, CONTROLLISTVIEW, CONTROLTREEVIEW) share: one
// call of a command on a control, with its messages and results, and the table of commands
// looked up by name in any case.
#include "automation/window_text.h"
#include "base/ascii_case.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace vexil {

struct ControlCommandCall {
    BuiltinContext& context;
    BuiltinArgs args;
    Variant& result;
    HWND control;

    // A message to the control, never waiting on a hung program; 0 when it does not answer.
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(control, message, wParam, lParam, SMTO_ABORTIFHUNG, kHungTimeoutMs, &answer);
        return static_cast<LRESULT>(answer);
    }
    int number(int64_t value) const {
        result = value >= INT32_MIN && value <= INT32_MAX ? Variant::int32(static_cast<int32_t>(value)) : Variant::int64(value);
        return 0;
    }
    int text(const std::wstring& value) const {
        result = textValue(value);
        return 0;
    }
    int failure() const { return context.fail(result, Variant::int32(0)); }
    int textFailure() const { return context.fail(result, textValue(L"")); }
};

template <typename Call>
struct ControlCommandRow {
    std::wstring_view name; // lower case
    int (*run)(Call&);
};

// The row of the command named by argument 3, or nullptr for a command the table does not have.
template <typename Call, size_t N>
const ControlCommandRow<Call>* findControlCommand(const ControlCommandRow<Call> (&rows)[N], BuiltinArgs args) {
    const std::wstring_view command = textArg(args, 3).view();
    for (const ControlCommandRow<Call>& row : rows)
        if (sameNameAnyCase(row.name, command)) return &row;
    return nullptr;
}

} // namespace vexil
