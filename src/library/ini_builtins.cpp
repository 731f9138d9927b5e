// INIREAD, INIWRITE, INIDELETE and the section built-ins.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/file_names.h"
#include "library/ini_profile.h"

namespace vexil {

namespace {

std::wstring textOf(BuiltinArgs args, size_t i) { return std::wstring(args[i].text().view()); }

// "key=value" lines of a section, comments and lines without "=" left out, split at the first "=".
std::vector<std::pair<std::wstring, std::wstring>> sectionEntries(const std::vector<std::wstring>& lines) {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    for (const std::wstring& line : lines) {
        const size_t equals = line.find(L'=');
        if (line.empty() || line[0] == L';' || equals == std::wstring::npos) continue;
        entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return entries;
}

// The entries INIWRITESECTION writes: a two-column array from `firstRow` on, or the lines of a text.
bool entriesToWrite(const Variant& data, int32_t firstRow, std::vector<std::wstring>& lines) {
    if (const ArrayBody* array = arrayBody(data)) {
        if (array->dims != 2 || array->sizes[1] < 2) return false;
        for (int32_t row = firstRow; row < array->sizes[0]; ++row) {
            const size_t at = static_cast<size_t>(row) * static_cast<size_t>(array->sizes[1]);
            std::wstring line(array->elements[at].text().view());
            line += L'=';
            line += array->elements[at + 1].text().view();
            lines.push_back(std::move(line));
        }
        return true;
    }
    if (!data.is(VarKind::String)) return false;
    std::wstring_view text = data.text().view();
    while (!text.empty()) {
        const size_t end = std::min(text.find(L'\n'), text.size());
        std::wstring_view line = text.substr(0, end);
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        // An empty line would end the platform's list early, and every entry after it with it.
        if (!line.empty()) lines.emplace_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return true;
}

// The file's full path; empty when no file can have the name (one past the longest path would
// also make the profile functions crawl).
std::wstring iniFile(BuiltinArgs args) { return fullPathOf(args[0].text().view()); }

// The path of a file the built-in may change; empty when it may not (a fenced run's fence).
std::wstring iniFileToChange(const BuiltinContext& context, BuiltinArgs args) {
    std::wstring path = iniFile(args);
    return path.empty() || !mayChange(context, path) ? std::wstring() : path;
}

} // namespace

int builtinIniRead(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const std::wstring path = iniFile(args);
    std::wstring value;
    if (!path.empty() && iniValue(path, textOf(args, 1), textOf(args, 2), value))
        result = Variant::string(WString(value));
    else
        result = args[3];
    return 0;
}

int builtinIniWrite(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = iniFileToChange(context, args);
    result = Variant::int32(!path.empty() && iniWrite(path, textOf(args, 1).c_str(), textOf(args, 2).c_str(), textOf(args, 3).c_str()));
    return 0;
}

int builtinIniDelete(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = iniFileToChange(context, args);
    if (path.empty() || !pathExists(path)) {
        result = Variant::int32(0);
        return 0;
    }
    const std::wstring section = textOf(args, 1);
    const bool wholeSection = !given(args, 2);
    const std::wstring key = wholeSection ? std::wstring() : textOf(args, 2);
    result = Variant::int32(iniWrite(path, section.c_str(), wholeSection ? nullptr : key.c_str(), nullptr));
    return 0;
}

int builtinIniReadSection(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = iniFile(args);
    const auto entries =
        sectionEntries(path.empty() ? std::vector<std::wstring>() : iniSectionLines(path, textOf(args, 1)));
    if (entries.empty()) return context.fail(1);
    const int32_t sizes[2] = {static_cast<int32_t>(entries.size() + 1), 2};
    if (!makeArray(result, sizes, 2)) return context.fail(result, Variant::int32(1));
    ArrayBody* array = arrayBody(result);
    array->elements[0] = Variant::int32(static_cast<int32_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        array->elements[2 * (i + 1)] = Variant::string(WString(entries[i].first));
        array->elements[2 * (i + 1) + 1] = Variant::string(WString(entries[i].second));
    }
    return 0;
}

int builtinIniReadSectionNames(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = iniFile(args);
    const std::vector<std::wstring> names = path.empty() ? std::vector<std::wstring>() : iniSectionNames(path);
    if (names.empty()) return context.fail(1);
    std::vector<Variant> items;
    items.reserve(names.size() + 1);
    items.push_back(Variant::int32(static_cast<int32_t>(names.size())));
    for (const std::wstring& name : names) items.push_back(Variant::string(WString(name)));
    result = arrayOf(std::move(items));
    return 0;
}

int builtinIniRenameSection(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    const std::wstring path = iniFileToChange(context, args);
    if (path.empty()) return 0;
    const std::wstring from = textOf(args, 1), to = textOf(args, 2);
    const std::vector<std::wstring> lines = iniSectionLines(path, from);
    if (lines.empty()) return 0;
    bool exists = false;
    for (const std::wstring& name : iniSectionNames(path)) exists = exists || sameIniName(name, to);
    if (exists && optInt(args, 3, 0) <= 0) return context.fail(1);
    // Renamed to itself: writing the new section and then deleting the old would delete both.
    if (sameIniName(from, to)) {
        result = Variant::int32(1);
        return 0;
    }
    const bool done = iniWriteSection(path, to, lines) && iniWrite(path, from.c_str(), nullptr, nullptr);
    result = Variant::int32(done);
    return 0;
}

int builtinIniWriteSection(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    int32_t firstRow = optInt(args, 3, 1);
    if (firstRow < 0) firstRow = 1;
    std::vector<std::wstring> lines;
    if (!entriesToWrite(args[2], firstRow, lines)) return context.fail(1);
    const std::wstring path = iniFileToChange(context, args);
    result = Variant::int32(!path.empty() && iniWriteSection(path, textOf(args, 1), lines));
    return 0;
}

} // namespace vexil
