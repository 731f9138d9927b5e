// The option table: each option's name, its member of RuntimeOptions and the rule its values follow.
#include "engine/options.h"

#include "engine/values/value.h"

#include <cstddef>
#include <cwctype>
#include <iterator>
#include <string_view>

namespace vexil {

namespace {

enum class OptionRule : uint8_t {
    Flag,      // 0 or 1 (uint8_t); any non-zero number sets it
    Character, // one character (wchar_t[2]): the first of the text, none for the empty text
    Range,     // a number from low to high (int32_t); any other restores the default
    Bits,      // a number masked by `high` (int32_t); Default leaves the option as it is
    MatchMode, // a non-zero number from low to high (int32_t); any other is refused
};

constexpr size_t storageSize(OptionRule rule) {
    switch (rule) {
    case OptionRule::Flag: return sizeof(uint8_t);
    case OptionRule::Character: return sizeof(wchar_t[2]);
    default: return sizeof(int32_t);
    }
}

} // namespace

struct OptionEntry {
    std::wstring_view name;
    size_t offset; // of the member in RuntimeOptions
    OptionRule rule;
    int32_t low;
    int32_t high;
};

namespace {

consteval OptionEntry option(std::wstring_view name, size_t offset, size_t size, OptionRule rule, int32_t low = 0,
                             int32_t high = 0) {
    if (size != storageSize(rule)) throw "the member's type does not fit the option's rule";
    return {name, offset, rule, low, high};
}

#define VEXIL_OPTION(NAME, FIELD, ...) \
    option(NAME, offsetof(RuntimeOptions, FIELD), sizeof(RuntimeOptions::FIELD), OptionRule::__VA_ARGS__)
constexpr int32_t kNoLimit = INT32_MAX;
// Sorted by name without regard to case.
constexpr OptionEntry kOptions[] = {
    VEXIL_OPTION(L"CaretCoordMode", caretCoordMode, Range, 0, 2),
    VEXIL_OPTION(L"ExpandEnvStrings", expandEnvStrings, Flag),
    VEXIL_OPTION(L"ExpandVarStrings", expandVarStrings, Flag),
    VEXIL_OPTION(L"GUICloseOnESC", guiCloseOnEsc, Flag),
    VEXIL_OPTION(L"GUICoordMode", guiCoordMode, Range, 0, 2),
    VEXIL_OPTION(L"GUIDataSeparatorChar", guiDataSeparator, Character),
    VEXIL_OPTION(L"GUIEventOptions", guiEventOptions, Range, 0, 3),
    VEXIL_OPTION(L"GUIOnEventMode", guiOnEventMode, Flag),
    VEXIL_OPTION(L"GUIResizeMode", guiResizeMode, Range, 0, 1023),
    VEXIL_OPTION(L"MouseClickDelay", mouseClickDelay, Range, 0, kNoLimit),
    VEXIL_OPTION(L"MouseClickDownDelay", mouseClickDownDelay, Range, 0, kNoLimit),
    VEXIL_OPTION(L"MouseClickDragDelay", mouseClickDragDelay, Range, 0, kNoLimit),
    VEXIL_OPTION(L"MouseCoordMode", mouseCoordMode, Range, 0, 2),
    VEXIL_OPTION(L"MustDeclareVars", mustDeclareVars, Flag),
    VEXIL_OPTION(L"PixelCoordMode", pixelCoordMode, Range, 0, 2),
    VEXIL_OPTION(L"SendAttachMode", sendAttachMode, Flag),
    VEXIL_OPTION(L"SendCapsLockMode", sendCapsLockMode, Flag),
    VEXIL_OPTION(L"SendKeyDelay", sendKeyDelay, Range, 0, kNoLimit),
    VEXIL_OPTION(L"SendKeyDownDelay", sendKeyDownDelay, Range, 0, kNoLimit),
    VEXIL_OPTION(L"SetExitCode", setExitCode, Flag),
    VEXIL_OPTION(L"TCPTimeout", tcpTimeout, Range, 0, kNoLimit),
    VEXIL_OPTION(L"TrayAutoPause", trayAutoPause, Flag),
    VEXIL_OPTION(L"TrayIconDebug", trayIconDebug, Flag),
    VEXIL_OPTION(L"TrayIconHide", trayIconHidden, Flag),
    VEXIL_OPTION(L"TrayMenuMode", trayMenuMode, Bits, 0, 1 | 2 | 4 | 8),
    VEXIL_OPTION(L"TrayOnEventMode", trayOnEventMode, Flag),
    VEXIL_OPTION(L"WinDetectHiddenText", winDetectHiddenText, Flag),
    VEXIL_OPTION(L"WinSearchChildren", winSearchChildren, Flag),
    VEXIL_OPTION(L"WinTextMatchMode", winTextMatchMode, Range, 1, 2),
    VEXIL_OPTION(L"WinTitleMatchMode", winTitleMatchMode, MatchMode, -4, 4),
    VEXIL_OPTION(L"WinWaitDelay", winWaitDelay, Range, 0, kNoLimit),
};
#undef VEXIL_OPTION
static_assert(std::size(kOptions) == 31);

constexpr RuntimeOptions kDefaults{};

int compareNoCase(std::wstring_view a, std::wstring_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        wint_t ca = std::towlower(a[i]), cb = std::towlower(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

template <typename T> T& member(RuntimeOptions& options, const OptionEntry& option) {
    return *reinterpret_cast<T*>(reinterpret_cast<char*>(&options) + option.offset);
}
template <typename T> const T& member(const RuntimeOptions& options, const OptionEntry& option) {
    return *reinterpret_cast<const T*>(reinterpret_cast<const char*>(&options) + option.offset);
}

} // namespace

const OptionEntry* findOption(const Variant& name) {
    // Names beginning with "*" are never options.
    if (!name.is(VarKind::String) || name.text().view().starts_with(L"*")) return nullptr;
    std::wstring_view wanted = name.text().view();
    size_t low = 0, high = std::size(kOptions);
    while (low < high) {
        size_t mid = (low + high) / 2;
        int c = compareNoCase(kOptions[mid].name, wanted);
        if (c == 0) return &kOptions[mid];
        if (c < 0) low = mid + 1;
        else high = mid;
    }
    return nullptr;
}

Variant optionValue(const RuntimeOptions& options, const OptionEntry& option) {
    switch (option.rule) {
    case OptionRule::Flag: return Variant::int32(member<uint8_t>(options, option));
    case OptionRule::Character: {
        const wchar_t* character = &member<wchar_t>(options, option);
        return Variant::string(std::wstring_view(character, character[0] ? 1 : 0));
    }
    default: return Variant::int32(member<int32_t>(options, option));
    }
}

bool setOption(RuntimeOptions& options, const OptionEntry& option, const Variant& value) {
    const bool toDefault = value.isDefault();
    switch (option.rule) {
    case OptionRule::Flag:
        member<uint8_t>(options, option) = toDefault ? member<uint8_t>(kDefaults, option) : value.toInt32() != 0;
        return true;
    case OptionRule::Character: {
        wchar_t& character = member<wchar_t>(options, option);
        if (toDefault) character = member<wchar_t>(kDefaults, option);
        else character = value.text().empty() ? 0 : value.text()[0];
        return true;
    }
    case OptionRule::Range: {
        const int32_t number = value.toInt32();
        const bool fits = !toDefault && number >= option.low && number <= option.high;
        member<int32_t>(options, option) = fits ? number : member<int32_t>(kDefaults, option);
        return true;
    }
    case OptionRule::Bits:
        if (!toDefault) member<int32_t>(options, option) = value.toInt32() & option.high;
        return true;
    case OptionRule::MatchMode: {
        const int32_t number = value.toInt32();
        int32_t& mode = member<int32_t>(options, option);
        if (toDefault) mode = member<int32_t>(kDefaults, option);
        else if (number != 0 && number >= option.low && number <= option.high) mode = number;
        else return false;
        return true;
    }
    }
    return true;
}

} // namespace vexil
