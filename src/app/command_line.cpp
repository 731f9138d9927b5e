#include "app/command_line.h"

#include "engine/engine.h"
#include "engine/startup_state.h"

#include <cwctype>

namespace vexil {

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool sameSwitch(const std::wstring& argument, std::wstring_view name) {
    if (argument.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (std::towlower(argument[i]) != std::towlower(name[i])) return false;
    return true;
}

} // namespace

std::vector<std::wstring> splitArguments(std::wstring_view text) {
    std::vector<std::wstring> arguments;
    std::wstring argument;
    bool present = false; // an empty-quote pair makes an empty argument count
    bool inQuote = false;
    size_t quotePlace = 0; // where an unclosed quoted section began
    size_t i = 0;
    auto emit = [&] {
        if (!argument.empty() || present || inQuote) {
            if (inQuote) argument.insert(quotePlace, 1, L'"');
            arguments.push_back(std::move(argument));
        }
        argument.clear();
        present = inQuote = false;
    };
    for (; i < text.size(); ++i) {
        if (argument.size() >= kMaxArgumentLength) {
            argument.resize(kMaxArgumentLength);
            inQuote = false;
            arguments.push_back(std::move(argument));
            return arguments;
        }
        wchar_t c = text[i];
        bool doubled = i + 1 < text.size() && text[i + 1] == L'"';
        if (c == L'"') {
            if (inQuote && doubled) {
                argument += L'"';
                ++i;
            } else if (inQuote) {
                inQuote = false;
            } else if (doubled) {
                present = true;
                ++i;
            } else {
                inQuote = true;
                quotePlace = argument.size();
            }
        } else if (isBlank(c) && !inQuote) {
            emit();
        } else {
            argument += c;
        }
    }
    if (argument.size() > kMaxArgumentLength) argument.resize(kMaxArgumentLength);
    emit();
    return arguments;
}

void parseCommandLine(std::wstring_view argumentText, bool packaged, bool forbidden, StartupState& startup,
                      Engine& engine) {
    startup.argumentText.assign(argumentText);
    std::wstring_view raw = argumentText;
    startup.elevationMarker = !raw.empty() && raw.front() == L'!';
    if (startup.elevationMarker) raw.remove_prefix(1);
    std::vector<std::wstring> arguments = splitArguments(raw);

    // A program without a packaged script runs the file that its first plain argument names.
    startup.scriptPath = packaged ? startup.programPath : std::wstring();
    startup.sourceKind = packaged ? SourceKind::OwnFile : SourceKind::NamedFile;

    size_t current = 0;
    auto isSwitch = [&](std::wstring_view name) {
        return current < arguments.size() && sameSwitch(arguments[current], name);
    };
    if (isSwitch(L"/ErrorStdOut")) {
        startup.errorsToStdout = true;
        ++current;
    }
    if (isSwitch(L"/Vexil3OutputDebug")) {
        startup.debugOutput = true;
        ++current;
    }
    if (isSwitch(L"/Vexil3ExecuteLine")) {
        startup.sourceKind = forbidden ? SourceKind::Refused : SourceKind::Line;
        startup.noTrayIcon = true;
        startup.scriptPath = startup.programPath;
        ++current;
        if (current < arguments.size()) startup.lineText = arguments[current];
        ++current;
    }
    if (isSwitch(L"/Vexil3ExecuteScript")) {
        startup.sourceKind = forbidden ? SourceKind::Refused : SourceKind::NamedFile;
        ++current;
        startup.scriptPath = current < arguments.size() ? arguments[current] : std::wstring();
        ++current;
    }
    if (startup.scriptPath.empty() && current < arguments.size()) {
        startup.scriptPath = arguments[current];
        ++current;
    }
    std::vector<std::wstring> rest;
    for (size_t i = current; i < arguments.size(); ++i) rest.push_back(std::move(arguments[i]));
    engine.setCommandLine(std::wstring(raw), std::move(rest));
}

} // namespace vexil
