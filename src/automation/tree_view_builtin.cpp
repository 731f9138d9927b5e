// CONTROLTREEVIEW: a tree view of any process, its items named by paths and read through records
// placed in that process.
#include "automation/control_click.h"
#include "automation/control_command_call.h"
#include "automation/control_target.h"
#include "automation/remote_control_calls.h"
#include "automation/tree_item_path.h"
#include "automation/window_text.h"
#include "base/ascii_case.h"
#include "engine/builtins/builtin_api.h"

#include <commctrl.h>

#include <string>

namespace vexil {

namespace {

struct TreeCall : ControlCommandCall {
    RemoteTreeView& remote;

    uint64_t next(uint64_t item, WPARAM relation) const { return static_cast<uint64_t>(send(TVM_GETNEXTITEM, relation, static_cast<LPARAM>(item))); }
    std::wstring_view path() const { return passed(args, 4) ? textArg(args, 4).view() : std::wstring_view(); }

    // The item the path names, or 0.
    uint64_t item() const {
        const std::vector<TreePathLevel> levels = parseTreePath(path());
        uint64_t current = 0;
        for (size_t depth = 0; depth < levels.size(); ++depth) {
            uint64_t sibling = depth == 0 ? next(0, TVGN_ROOT) : next(current, TVGN_CHILD);
            const TreePathLevel& level = levels[depth];
            for (int32_t position = 0; sibling; sibling = next(sibling, TVGN_NEXT), ++position) {
                if (level.byIndex ? position == level.index : textMatches(sibling, level.text)) break;
            }
            if (!sibling) return 0;
            current = sibling;
        }
        return current;
    }
    bool textMatches(uint64_t candidate, const std::wstring& text) const {
        const std::optional<std::wstring> itemText = remote.itemText(candidate);
        return itemText && CompareStringOrdinal(itemText->data(), static_cast<int>(itemText->size()), text.data(),
                                                static_cast<int>(text.size()), TRUE) == CSTR_EQUAL;
    }
    // The state image of an item: 1 unchecked, 2 checked, 0 none.
    uint32_t stateImage(uint64_t item) const {
        return static_cast<uint32_t>(send(TVM_GETITEMSTATE, static_cast<WPARAM>(item), TVIS_STATEIMAGEMASK)) >> 12;
    }
};

int getTotalCount(TreeCall& call) { return call.number(static_cast<int32_t>(call.send(TVM_GETCOUNT))); }
int exists(TreeCall& call) { return call.number(call.item() ? 1 : 0); }

int getItemCount(TreeCall& call) {
    uint64_t child;
    if (call.path().empty()) {
        child = call.next(0, TVGN_ROOT);
    } else {
        const uint64_t item = call.item();
        if (!item) return call.failure();
        child = call.next(item, TVGN_CHILD);
    }
    int32_t count = 0;
    for (; child; child = call.next(child, TVGN_NEXT)) ++count;
    return call.number(count);
}

int getText(TreeCall& call) {
    const uint64_t item = call.item();
    const std::optional<std::wstring> text = item ? call.remote.itemText(item) : std::nullopt;
    return text ? call.text(*text) : call.textFailure();
}

// A path level for `item`: its text (with "|" doubled and a leading "#" doubled) or its index.
std::wstring levelName(const TreeCall& call, uint64_t item, bool byIndex) {
    if (byIndex) {
        int32_t index = 0;
        for (uint64_t before = call.next(item, TVGN_PREVIOUS); before; before = call.next(before, TVGN_PREVIOUS)) ++index;
        return L"#" + std::to_wstring(index);
    }
    const std::wstring text = call.remote.itemText(item).value_or(L"");
    std::wstring level = !text.empty() && text[0] == L'#' ? L"#" : L"";
    for (wchar_t c : text) level += c == L'|' ? std::wstring(L"||") : std::wstring(1, c);
    return level;
}

int getSelected(TreeCall& call) {
    const bool byIndex = given(call.args, 4) && call.args[4].dereferenced().toBool();
    uint64_t item = call.next(0, TVGN_CARET);
    if (!item) return call.textFailure();
    std::wstring path;
    for (; item; item = call.next(item, TVGN_PARENT)) path = levelName(call, item, byIndex) + (path.empty() ? L"" : L"|" + path);
    return call.text(path);
}

int isChecked(TreeCall& call) {
    const uint64_t item = call.item();
    if (!item) return call.number(0);
    return call.number(static_cast<int32_t>(call.stateImage(item)) - 1);
}

// Clicks the item's check box, found by hit tests along the middle of its row.
bool clickCheckBox(const TreeCall& call, uint64_t item) {
    const std::optional<RECT> row = call.remote.itemRect(item, false);
    if (!row) return false;
    const int32_t y = (row->top + row->bottom) / 2;
    int32_t start = -1, end = -1;
    for (int32_t x = row->left; x < row->right; ++x) {
        uint64_t hit = 0;
        const std::optional<uint32_t> flags = call.remote.hitTest(x, y, hit);
        const bool onBox = flags && (*flags & TVHT_ONITEMSTATEICON) && hit == item;
        if (onBox && start < 0) start = x;
        if (onBox) end = x;
        if (!onBox && start >= 0) break;
    }
    if (start < 0) return false;
    postControlClicks(call.control, MouseButton::Left, 1, (start + end) / 2, y);
    return true;
}

int setChecked(TreeCall& call, bool checked) {
    const uint64_t item = call.item();
    const uint32_t image = item ? call.stateImage(item) : 0;
    if (image != 1 && image != 2) return call.failure();
    if ((image == 2) == checked || !clickCheckBox(call, item)) return call.failure();
    return 0;
}
int check(TreeCall& call) { return setChecked(call, true); }
int uncheck(TreeCall& call) { return setChecked(call, false); }

int expandOrCollapse(TreeCall& call, WPARAM action) {
    const uint64_t item = call.item();
    if (!item) return call.failure();
    call.send(TVM_EXPAND, action, static_cast<LPARAM>(item));
    return 0;
}
int expand(TreeCall& call) { return expandOrCollapse(call, TVE_EXPAND); }
int collapse(TreeCall& call) { return expandOrCollapse(call, TVE_COLLAPSE); }

int select(TreeCall& call) {
    const uint64_t item = call.item();
    if (!item || !call.send(TVM_SELECTITEM, TVGN_CARET, static_cast<LPARAM>(item))) return call.failure();
    return 0;
}

constexpr ControlCommandRow<TreeCall> kTreeCommands[] = {
    {L"gettotalcount", getTotalCount}, {L"exists", exists},     {L"getitemcount", getItemCount}, {L"gettext", getText},
    {L"getselected", getSelected},     {L"ischecked", isChecked}, {L"check", check},             {L"uncheck", uncheck},
    {L"expand", expand},               {L"collapse", collapse}, {L"select", select},
};

} // namespace

int builtinControlTreeView(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND tree = controlToChange(context, args, result);
    if (!tree) return 0;
    const ControlCommandRow<TreeCall>* row = findControlCommand(kTreeCommands, args);
    if (!row) return context.fail(result, Variant::int32(0));
    RemoteTreeView remote(tree);
    TreeCall call{{context, args, result, tree}, remote};
    return row->run(call);
}

} // namespace vexil
