// Shortcuts (".lnk" files): made and read through the shell's link object.
#include "base/paths.h"
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/file_names.h"
#include "library/shortcut_hotkey.h"

#include <windows.h>

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwctype>
#include <string>

namespace vexil {

namespace {

// A shortcut's file name ends in ".lnk" unless it holds that already.
std::wstring linkFileName(std::wstring_view name) {
    std::wstring lower(name);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    std::wstring out(name);
    if (lower.find(L".lnk") == std::wstring::npos) out += L".lnk";
    return out;
}

// A shell link object and its file side, released on leaving.
class ShellLink {
public:
    ShellLink() {
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       reinterpret_cast<void**>(&link_))))
            link_->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file_));
    }
    ~ShellLink() {
        if (file_) file_->Release();
        if (link_) link_->Release();
    }
    ShellLink(const ShellLink&) = delete;
    ShellLink& operator=(const ShellLink&) = delete;
    bool ready() const { return link_ && file_; }
    IShellLinkW* operator->() const { return link_; }
    IPersistFile* file() const { return file_; }

private:
    IShellLinkW* link_ = nullptr;
    IPersistFile* file_ = nullptr;
};

// Texts no shortcut can hold: a zero character, or past the longest path.
bool unfitText(BuiltinArgs args) {
    for (Variant& argument : args) {
        std::wstring_view text = argument.dereferenced().text().view();
        if (text.size() >= kMaxPathChars || text.find(L'\0') != std::wstring_view::npos) return true;
    }
    return false;
}

} // namespace

int builtinFileCreateShortcut(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    const std::wstring link = fullPathOf(linkFileName(textArg(args, 1).view()));
    if (link.empty() || unfitText(args) || !mayChange(context, link)) return 0;
    auto text = [&](size_t i) { return std::wstring(textArg(args, i).view()); };
    if (!context.ensureOle()) return 0;
    ShellLink shortcut;
    if (!shortcut.ready()) return 0;
    shortcut->SetPath(text(0).c_str());
    if (passed(args, 2)) shortcut->SetWorkingDirectory(text(2).c_str());
    if (passed(args, 3)) shortcut->SetArguments(text(3).c_str());
    if (passed(args, 4)) shortcut->SetDescription(text(4).c_str());
    if (passed(args, 5)) shortcut->SetIconLocation(text(5).c_str(), 0);
    uint16_t hotkey = 0;
    if (passed(args, 6) && parseShortcutHotkey(textArg(args, 6).view(), hotkey)) shortcut->SetHotkey(hotkey);
    if (passed(args, 7)) shortcut->SetIconLocation(passed(args, 5) ? text(5).c_str() : L"", optInt(args, 7, 0));
    if (passed(args, 8)) shortcut->SetShowCmd(optInt(args, 8, SW_SHOWNORMAL));
    result = Variant::int32(SUCCEEDED(shortcut.file()->Save(link.c_str(), TRUE)) ? 1 : 0);
    return 0;
}

int builtinFileGetShortcut(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    const std::wstring link = fullPathOf(linkFileName(textArg(args, 0).view()));
    if (link.empty() || !pathExists(link) || isFolder(link) || !context.ensureOle()) return context.fail(1);
    ShellLink shortcut;
    if (!shortcut.ready() || FAILED(shortcut.file()->Load(link.c_str(), STGM_READ))) return context.fail(1);
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {}, description[MAX_PATH] = {},
            icon[MAX_PATH] = {};
    int iconNumber = 0, show = 0;
    shortcut->GetPath(target, MAX_PATH, nullptr, 0);
    shortcut->GetWorkingDirectory(folder, MAX_PATH);
    shortcut->GetArguments(arguments, MAX_PATH);
    shortcut->GetDescription(description, MAX_PATH);
    shortcut->GetIconLocation(icon, MAX_PATH, &iconNumber);
    shortcut->GetShowCmd(&show);
    result = arrayOf({textValue(target), textValue(folder), textValue(arguments), textValue(description),
                      textValue(icon), Variant::int32(iconNumber), Variant::int32(show)});
    return 0;
}

} // namespace vexil
