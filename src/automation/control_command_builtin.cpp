// CONTROLCOMMAND: one table of commands over tabs, combo and list boxes, buttons and edits.
#include "automation/control_click.h"
#include "automation/control_command_call.h"
#include "automation/control_target.h"
#include "automation/precise_delay.h"
#include "automation/window_activation.h"
#include "automation/window_text.h"
#include "base/ascii_case.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"

#include <commctrl.h>

#include <string>

namespace vexil {

namespace {

// Combo boxes and list boxes answer the same commands with messages of their own.
struct CommandCall : ControlCommandCall {
    bool comboBox;
    bool listBox;

    UINT pick(UINT comboMessage, UINT listMessage) const { return comboBox ? comboMessage : listMessage; }
    std::wstring option() const { return passed(args, 4) ? std::wstring(textArg(args, 4).view()) : std::wstring(); }
    int32_t optionNumber() const { return optInt(args, 4, 0); }
};

int isVisible(CommandCall& call) { return call.number(IsWindowVisible(call.control) ? 1 : 0); }
int isEnabled(CommandCall& call) { return call.number(IsWindowEnabled(call.control) ? 1 : 0); }

int pressArrow(CommandCall& call, WPARAM key) {
    if (!windowAnswers(call.control)) return call.failure();
    AttachedInput attached(call.control);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_LEFT, MAPVK_VK_TO_VSC)) << 16 | 1;
    PostMessageW(call.control, WM_KEYDOWN, key, scan);
    Sleep(0);
    PostMessageW(call.control, WM_KEYUP, key, scan | static_cast<LPARAM>(0xC0000000u));
    Sleep(0);
    return 0;
}
int tabLeft(CommandCall& call) { return pressArrow(call, VK_LEFT); }
int tabRight(CommandCall& call) { return pressArrow(call, VK_RIGHT); }

int currentTab(CommandCall& call) {
    const LRESULT index = call.send(TCM_GETCURSEL);
    return index < 0 ? call.failure() : call.number(index + 1);
}

int showDropDown(CommandCall& call) {
    call.send(CB_SHOWDROPDOWN, TRUE);
    return 0;
}
int hideDropDown(CommandCall& call) {
    call.send(CB_SHOWDROPDOWN, FALSE);
    return 0;
}

int addString(CommandCall& call) {
    const std::wstring item = call.option();
    const LRESULT index = call.send(call.pick(CB_ADDSTRING, LB_ADDSTRING), 0, reinterpret_cast<LPARAM>(item.c_str()));
    return index < 0 ? call.failure() : 0;
}

int delString(CommandCall& call) {
    const LRESULT left = call.send(call.pick(CB_DELETESTRING, LB_DELETESTRING), static_cast<WPARAM>(call.optionNumber()));
    return left < 0 ? call.failure() : 0;
}

int findString(CommandCall& call) {
    const std::wstring item = call.option();
    const LRESULT index =
        call.send(call.pick(CB_FINDSTRING, LB_FINDSTRING), static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    return index < 0 ? call.failure() : call.number(index);
}

// The parent hears of a selection as it would from the user.
void notifySelection(const CommandCall& call) {
    const HWND parent = GetParent(call.control);
    if (!parent) return;
    const WORD id = static_cast<WORD>(GetDlgCtrlID(call.control));
    const LPARAM handle = reinterpret_cast<LPARAM>(call.control);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(id, 1), handle, SMTO_ABORTIFHUNG, kHungTimeoutMs, &ignored);
    SendMessageTimeoutW(parent, WM_COMMAND, MAKEWPARAM(id, call.comboBox ? 9 : 2), handle, SMTO_ABORTIFHUNG, kHungTimeoutMs,
                        &ignored);
}

int setCurrentSelection(CommandCall& call) {
    if (call.send(call.pick(CB_SETCURSEL, LB_SETCURSEL), static_cast<WPARAM>(call.optionNumber())) == -1) return call.failure();
    notifySelection(call);
    return 0;
}

int selectString(CommandCall& call) {
    const std::wstring item = call.option();
    if (call.send(call.pick(CB_SELECTSTRING, LB_SELECTSTRING), static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str())) == -1)
        return call.failure();
    notifySelection(call);
    return 0;
}

int getCurrentSelection(CommandCall& call) {
    const LRESULT index = call.send(call.pick(CB_GETCURSEL, LB_GETCURSEL));
    if (index < 0) return call.textFailure();
    const LRESULT length = call.send(call.pick(CB_GETLBTEXTLEN, LB_GETTEXTLEN), static_cast<WPARAM>(index));
    if (length < 0) return call.textFailure();
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    call.send(call.pick(CB_GETLBTEXT, LB_GETTEXT), static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
    item.resize(wcsnlen(item.c_str(), item.size()));
    return call.text(item);
}

int isChecked(CommandCall& call) { return call.number(call.send(BM_GETCHECK) == BST_CHECKED ? 1 : 0); }

int setChecked(CommandCall& call, bool checked) {
    if ((call.send(BM_GETCHECK) == BST_CHECKED) == checked) return 0;
    RECT client{};
    GetClientRect(call.control, &client);
    postControlClicks(call.control, MouseButton::Left, 1, client.right / 2, client.bottom / 2);
    preciseDelay(call.context.options().mouseClickDelay);
    return 0;
}
int check(CommandCall& call) { return setChecked(call, true); }
int uncheck(CommandCall& call) { return setChecked(call, false); }

std::wstring editText(const CommandCall& call) { return readWindowText(call.control); }

int getSelected(CommandCall& call) {
    DWORD start = 0, end = 0;
    call.send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const std::wstring text = editText(call);
    if (start >= end || end > text.size()) return call.textFailure();
    return call.text(text.substr(start, end - start));
}

int getLineCount(CommandCall& call) { return call.number(call.send(EM_GETLINECOUNT)); }
int getCurrentLine(CommandCall& call) { return call.number(call.send(EM_LINEFROMCHAR, static_cast<WPARAM>(-1)) + 1); }

int getCurrentColumn(CommandCall& call) {
    DWORD start = 0, end = 0;
    call.send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const LRESULT line = call.send(EM_LINEFROMCHAR, start);
    DWORD lineStart = start;
    while (lineStart > 0 && call.send(EM_LINEFROMCHAR, lineStart - 1) == line) --lineStart;
    return call.number(static_cast<int64_t>(start - lineStart) + 1);
}

int editPaste(CommandCall& call) {
    const std::wstring text = call.option();
    call.send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

int getLine(CommandCall& call) {
    constexpr size_t kLineUnits = 32767;
    const int32_t line = call.optionNumber() - 1;
    if (line < 0 || line >= call.send(EM_GETLINECOUNT)) return call.textFailure();
    std::wstring text(kLineUnits, L'\0');
    text[0] = static_cast<wchar_t>(kLineUnits); // the message reads the buffer's size from its first unit
    const LRESULT copied = call.send(EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return call.text(text);
}

int sendCommandId(CommandCall& call) {
    const HWND parent = GetParent(call.control);
    const HWND target = parent && (GetWindowLongPtrW(call.control, GWL_STYLE) & WS_CHILD) ? parent : call.control;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(target, WM_COMMAND, static_cast<WPARAM>(call.optionNumber()), 0, SMTO_ABORTIFHUNG, kHungTimeoutMs,
                        &ignored);
    return 0;
}

constexpr ControlCommandRow<CommandCall> kCommands[] = {
    {L"isvisible", isVisible},
    {L"isenabled", isEnabled},
    {L"tableft", tabLeft},
    {L"tabright", tabRight},
    {L"currenttab", currentTab},
    {L"showdropdown", showDropDown},
    {L"hidedropdown", hideDropDown},
    {L"addstring", addString},
    {L"delstring", delString},
    {L"findstring", findString},
    {L"setcurrentselection", setCurrentSelection},
    {L"selectstring", selectString},
    {L"getcurrentselection", getCurrentSelection},
    {L"ischecked", isChecked},
    {L"check", check},
    {L"uncheck", uncheck},
    {L"getselected", getSelected},
    {L"getlinecount", getLineCount},
    {L"getcurrentline", getCurrentLine},
    {L"getcurrentcol", getCurrentColumn},
    {L"editpaste", editPaste},
    {L"getline", getLine},
    {L"sendcommandid", sendCommandId},
};

bool classContains(HWND control, std::wstring_view part) {
    wchar_t name[256] = {};
    GetClassNameW(control, name, 256);
    return std::wstring_view(name).find(part) != std::wstring_view::npos;
}

} // namespace

int builtinControlCommand(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND control = controlToChange(context, args, result);
    if (!control) return 0;
    const ControlCommandRow<CommandCall>* row = findControlCommand(kCommands, args);
    if (!row) return context.fail(result, Variant::int32(0));
    CommandCall call{{context, args, result, control}, classContains(control, L"ComboBox"), classContains(control, L"ListBox")};
    return row->run(call);
}

} // namespace vexil
