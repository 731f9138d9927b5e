// OPT / VEXILSETOPTION: the option table and its descriptor language.
#include "engine/options.h"

#include "engine/builtin_api.h"

#include <cwctype>
#include <string>

namespace vexil {

namespace {

struct OptionEntry {
    std::wstring_view name;
    size_t offset; // of the storage in RuntimeOptions
    std::wstring_view descriptor;
};

#define VEXIL_OPTION(NAME, FIELD, DESCRIPTOR) {NAME, offsetof(RuntimeOptions, FIELD), DESCRIPTOR}
// Sorted by name without regard to case.
constexpr OptionEntry kOptions[] = {
    VEXIL_OPTION(L"CaretCoordMode", caretCoordMode, L"d1r0,2"),
    VEXIL_OPTION(L"ExpandEnvStrings", expandEnvStrings, L"d0b"),
    VEXIL_OPTION(L"ExpandVarStrings", expandVarStrings, L"d0b"),
    VEXIL_OPTION(L"GUICloseOnESC", guiCloseOnEsc, L"d1b"),
    VEXIL_OPTION(L"GUICoordMode", guiCoordMode, L"d1r0,2"),
    VEXIL_OPTION(L"GUIDataSeparatorChar", guiDataSeparator, L"d124c"),
    VEXIL_OPTION(L"GUIEventOptions", guiEventOptions, L"d0r0,3"),
    VEXIL_OPTION(L"GUIOnEventMode", guiOnEventMode, L"d0b"),
    VEXIL_OPTION(L"GUIResizeMode", guiResizeMode, L"d0r0,1023"),
    VEXIL_OPTION(L"MouseClickDelay", mouseClickDelay, L"d10m0"),
    VEXIL_OPTION(L"MouseClickDownDelay", mouseClickDownDelay, L"d10m0"),
    VEXIL_OPTION(L"MouseClickDragDelay", mouseClickDragDelay, L"d250m0"),
    VEXIL_OPTION(L"MouseCoordMode", mouseCoordMode, L"d1r0,2"),
    VEXIL_OPTION(L"MustDeclareVars", mustDeclareVars, L"d0b"),
    VEXIL_OPTION(L"PixelCoordMode", pixelCoordMode, L"d1r0,2"),
    VEXIL_OPTION(L"SendAttachMode", sendAttachMode, L"d0b"),
    VEXIL_OPTION(L"SendCapsLockMode", sendCapsLockMode, L"d1b"),
    VEXIL_OPTION(L"SendKeyDelay", sendKeyDelay, L"d5m0"),
    VEXIL_OPTION(L"SendKeyDownDelay", sendKeyDownDelay, L"d5m0"),
    VEXIL_OPTION(L"SetExitCode", setExitCode, L"d0b"),
    VEXIL_OPTION(L"TCPTimeout", tcpTimeout, L"d100m0"),
    VEXIL_OPTION(L"TrayAutoPause", trayAutoPause, L"d1b"),
    VEXIL_OPTION(L"TrayIconDebug", trayIconDebug, L"d0b"),
    VEXIL_OPTION(L"TrayIconHide", trayIconHidden, L"d0#1"),
    VEXIL_OPTION(L"TrayMenuMode", trayMenuMode, L"d0#2"),
    VEXIL_OPTION(L"TrayOnEventMode", trayOnEventMode, L"d0b"),
    VEXIL_OPTION(L"WinDetectHiddenText", winDetectHiddenText, L"d0b"),
    VEXIL_OPTION(L"WinSearchChildren", winSearchChildren, L"d0b"),
    VEXIL_OPTION(L"WinTextMatchMode", winTextMatchMode, L"d1r1,2"),
    VEXIL_OPTION(L"WinTitleMatchMode", winTitleMatchMode, L"d1#3"),
    VEXIL_OPTION(L"WinWaitDelay", winWaitDelay, L"d250m0"),
};
#undef VEXIL_OPTION
static_assert(std::size(kOptions) == 31);

int compareNoCase(std::wstring_view a, std::wstring_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        wint_t ca = std::towlower(a[i]), cb = std::towlower(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

const OptionEntry* findOption(std::wstring_view name) {
    size_t low = 0, high = std::size(kOptions);
    while (low < high) {
        size_t mid = (low + high) / 2;
        int c = compareNoCase(kOptions[mid].name, name);
        if (c == 0) return &kOptions[mid];
        if (c < 0) low = mid + 1;
        else high = mid;
    }
    return nullptr;
}

// Reads an optional sign and digits at `at`.
int32_t readNumber(std::wstring_view d, size_t& at) {
    bool negative = at < d.size() && d[at] == L'-';
    if (at < d.size() && (d[at] == L'-' || d[at] == L'+')) ++at;
    int32_t v = 0;
    while (at < d.size() && std::iswdigit(d[at])) v = v * 10 + (d[at++] - L'0');
    return negative ? -v : v;
}

} // namespace

int builtinOpt(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    const Variant& name = args[0];
    const OptionEntry* option =
        name.is(VarKind::String) && !name.text().view().starts_with(L"*") ? findOption(name.text().view()) : nullptr;
    if (!option) return context.fail(1);
    RuntimeOptions& options = context.options();
    void* storage = reinterpret_cast<char*>(&options) + option->offset;
    std::wstring_view d = option->descriptor;
    size_t at = 0;
    int32_t defaultValue = 0;
    if (at < d.size() && d[at] == L'd') {
        ++at;
        defaultValue = readNumber(d, at);
    }
    const bool change = passed(args, 1);
    const bool toDefault = change && isDefault(args[1]);
    const int32_t number = change && !toDefault ? args[1].toInt32() : 0;
    wchar_t kind = at < d.size() ? d[at++] : 0;
    switch (kind) {
    case L'b': {
        auto* flag = static_cast<uint8_t*>(storage);
        result = Variant::int32(*flag);
        if (change) *flag = toDefault ? static_cast<uint8_t>(defaultValue != 0) : static_cast<uint8_t>(number != 0);
        break;
    }
    case L'c': {
        auto* character = static_cast<wchar_t*>(storage);
        result = Variant::string(std::wstring_view(character, character[0] ? 1 : 0));
        if (change) character[0] = toDefault ? static_cast<wchar_t>(defaultValue) : (args[1].text().empty() ? 0 : args[1].text()[0]);
        break;
    }
    case L'm':
    case L'r': {
        auto* value = static_cast<int32_t*>(storage);
        int32_t low = readNumber(d, at);
        int32_t high = INT32_MAX;
        if (kind == L'r' && at < d.size() && d[at] == L',') {
            ++at;
            high = readNumber(d, at);
        }
        result = Variant::int32(*value);
        if (change) *value = !toDefault && number >= low && number <= high ? number : defaultValue;
        break;
    }
    case L'#': {
        int32_t selector = readNumber(d, at);
        if (selector == 1) {
            auto* hidden = static_cast<uint8_t*>(storage);
            result = Variant::int32(*hidden ? 1 : 0);
            if (change) *hidden = (toDefault ? defaultValue : number) != 0;
        } else if (selector == 2) {
            auto* mode = static_cast<int32_t*>(storage);
            result = Variant::int32(*mode);
            if (change && !toDefault) *mode = number & (1 | 2 | 4 | 8);
        } else {
            auto* mode = static_cast<int32_t*>(storage);
            result = Variant::int32(*mode);
            if (change) {
                if (toDefault) *mode = defaultValue;
                else if (number != 0 && number >= -4 && number <= 4) *mode = number;
                else context.setError(1);
            }
        }
        break;
    }
    default:
        break;
    }
    return 0;
}

} // namespace vexil
