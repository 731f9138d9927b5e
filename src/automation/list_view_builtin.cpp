// CONTROLLISTVIEW: a list view of any process, its items read and selected through records placed
// in that process.
#include "automation/control_command_call.h"
#include "automation/control_target.h"
#include "automation/remote_control_calls.h"
#include "automation/window_text.h"
#include "base/ascii_case.h"
#include "engine/builtins/builtin_api.h"

#include <commctrl.h>

#include <string>

namespace vexil {

namespace {

struct ListViewCall : ControlCommandCall {
    RemoteListView& remote;

    int32_t option1() const { return optInt(args, 4, 0); }
    int32_t option2(int32_t fallback) const { return optInt(args, 5, fallback); }
    int32_t itemCount() const { return static_cast<int32_t>(send(LVM_GETITEMCOUNT)); }
    bool selected(int32_t item) const { return send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) & LVIS_SELECTED; }
};

int getItemCount(ListViewCall& call) { return call.number(call.itemCount()); }

int getSubItemCount(ListViewCall& call) {
    const HWND header = reinterpret_cast<HWND>(call.send(LVM_GETHEADER));
    if (!header) return call.number(0);
    DWORD_PTR count = 0;
    SendMessageTimeoutW(header, HDM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kHungTimeoutMs, &count);
    return call.number(static_cast<int32_t>(count));
}

int getText(ListViewCall& call) {
    const std::optional<std::wstring> text = call.remote.itemText(call.option1(), call.option2(0));
    return text ? call.text(*text) : call.textFailure();
}

int getSelectedCount(ListViewCall& call) { return call.number(static_cast<int32_t>(call.send(LVM_GETSELECTEDCOUNT))); }
int isSelected(ListViewCall& call) { return call.number(call.selected(call.option1()) ? 1 : 0); }

int selectAll(ListViewCall& call) {
    call.remote.setItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    return 0;
}
int selectClear(ListViewCall& call) {
    call.remote.setItemState(-1, 0, LVIS_SELECTED);
    return 0;
}

int selectRange(ListViewCall& call, bool select) {
    const int32_t first = call.option1();
    const int32_t last = call.option2(first);
    for (int32_t item = first; item <= last; ++item)
        call.remote.setItemState(item, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
    return 0;
}
int select(ListViewCall& call) { return selectRange(call, true); }
int deselect(ListViewCall& call) { return selectRange(call, false); }

int selectInvert(ListViewCall& call) {
    const int32_t count = call.itemCount();
    for (int32_t item = 0; item < count; ++item)
        call.remote.setItemState(item, call.selected(item) ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    return 0;
}

int getSelected(ListViewCall& call) {
    const bool all = call.option1() != 0;
    std::wstring indices;
    for (LRESULT item = -1; (item = call.send(LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED)) >= 0;) {
        if (!indices.empty()) indices += L'|';
        indices += std::to_wstring(item);
        if (!all) break;
    }
    return call.text(indices);
}

int findItem(ListViewCall& call) {
    const std::wstring_view wanted = textArg(call.args, 4).view();
    const int32_t subItem = call.option2(0);
    const int32_t count = call.itemCount();
    for (int32_t item = 0; item < count; ++item) {
        const std::optional<std::wstring> text = call.remote.itemText(item, subItem);
        if (text && CompareStringOrdinal(text->data(), static_cast<int>(text->size()), wanted.data(),
                                         static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL)
            return call.number(item);
    }
    return call.number(-1);
}

int viewChange(ListViewCall& call) {
    struct View {
        std::wstring_view name;
        WPARAM command;
    };
    static constexpr View kViews[] = {{L"largeicons", 28713}, {L"smallicons", 28714}, {L"list", 28715}, {L"details", 28716}};
    const HWND parent = GetParent(call.control);
    wchar_t parentClass[64] = {};
    if (parent) GetClassNameW(parent, parentClass, 64);
    if (std::wstring_view(parentClass) != L"SHELLDLL_DefView") return call.failure();
    for (const View& view : kViews) {
        if (!sameNameAnyCase(view.name, textArg(call.args, 4).view())) continue;
        PostMessageW(parent, WM_COMMAND, view.command, 0);
        return 0;
    }
    return call.failure();
}

constexpr ControlCommandRow<ListViewCall> kListViewCommands[] = {
    {L"getitemcount", getItemCount},     {L"getsubitemcount", getSubItemCount}, {L"gettext", getText},
    {L"getselectedcount", getSelectedCount}, {L"isselected", isSelected},     {L"selectall", selectAll},
    {L"selectclear", selectClear},       {L"select", select},                   {L"deselect", deselect},
    {L"selectinvert", selectInvert},     {L"getselected", getSelected},         {L"finditem", findItem},
    {L"viewchange", viewChange},
};

} // namespace

int builtinControlListView(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND listView = controlToChange(context, args, result);
    if (!listView) return 0;
    const ControlCommandRow<ListViewCall>* row = findControlCommand(kListViewCommands, args);
    if (!row) return context.fail(result, Variant::int32(0));
    RemoteListView remote(listView);
    ListViewCall call{{context, args, result, listView}, remote};
    return row->run(call);
}

} // namespace vexil
