// Finding files: existence, searches held in the handle table, sizes, long and short names, and
// the working folder.
#include "base/paths.h"
#include "engine/builtins/builtin_api.h"
#include "engine/builtins/handle_table.h"
#include "library/file_attributes.h"
#include "library/file_names.h"

#include <windows.h>

#include <memory>

namespace vexil {

namespace {

HANDLE findFirst(const std::wstring& fullPattern, WIN32_FIND_DATAW& data) {
    if (fullPattern.empty()) return INVALID_HANDLE_VALUE;
    return FindFirstFileExW(systemPath(fullPattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

bool isDotEntry(const wchar_t* name) { return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)); }

// The long or the short form of a name; flag 1 makes a relative name full first.
int convertName(BuiltinContext& context, BuiltinArgs args, Variant& result,
                DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD)) {
    const WString& name = textArg(args, 0);
    result = Variant::string(name);
    std::wstring in = optInt(args, 1, 0) == 1 ? fullPathOf(name.view()) : std::wstring(name.view());
    // No path is longer than the system's longest, and some of its calls crawl on a longer text.
    if (in.empty() || in.size() >= kMaxPathChars || in.find(L'\0') != std::wstring::npos) return context.fail(1);
    std::wstring out(kMaxPathChars, L'\0');
    DWORD n = convert(in.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (n == 0 || n >= out.size()) return context.fail(1);
    out.resize(n);
    result = textValue(out);
    return 0;
}

} // namespace

int builtinFileExists(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const std::wstring path = fullPathOf(textArg(args, 0).view());
    bool found = false;
    if (hasWildcards(path)) {
        WIN32_FIND_DATAW data;
        HANDLE find = findFirst(path, data);
        if (find != INVALID_HANDLE_VALUE) {
            do found = !isDotEntry(data.cFileName);
            while (!found && FindNextFileW(find, &data));
            FindClose(find);
        }
    } else {
        found = pathExists(path);
    }
    result = Variant::int32(found ? 1 : 0);
    return 0;
}

int builtinFileFindFirstFile(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(-1);
    WIN32_FIND_DATAW data;
    HANDLE find = findFirst(fullPathOf(textArg(args, 0).view()), data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    bool found = !isDotEntry(data.cFileName);
    while (!found && FindNextFileW(find, &data)) found = !isDotEntry(data.cFileName);
    if (!found) {
        FindClose(find);
        return context.fail(1);
    }
    auto search = std::make_unique<FileSearch>();
    search->find = find;
    search->firstName = data.cFileName;
    search->firstAttributes = data.dwFileAttributes;
    search->firstPending = true;
    result = Variant::int32(context.handles().add(std::move(search)));
    return 0;
}

int builtinFileFindNextFile(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    FileSearch* search = context.handles().search(args[0]);
    if (!search) return context.fail(1);
    uint32_t attributes = 0;
    if (search->firstPending) {
        search->firstPending = false;
        result = textValue(search->firstName);
        attributes = search->firstAttributes;
        std::wstring().swap(search->firstName);
    } else {
        WIN32_FIND_DATAW data;
        bool found = false;
        while (!found && FindNextFileW(search->find, &data)) found = !isDotEntry(data.cFileName);
        if (!found) return context.fail(1);
        result = textValue(data.cFileName);
        attributes = data.dwFileAttributes;
    }
    if (optInt(args, 1, 0) == 1) context.setExtended(textValue(attributeLetters(attributes)));
    else context.setExtended(Variant::int32((attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0));
    return 0;
}

int builtinFileGetSize(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int64(0);
    WIN32_FIND_DATAW data;
    HANDLE find = findFirst(fullPathOf(textArg(args, 0).view()), data);
    if (find == INVALID_HANDLE_VALUE) return context.fail(1);
    FindClose(find);
    result = Variant::int64(static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow));
    return 0;
}

int builtinFileGetLongName(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return convertName(context, args, result, GetLongPathNameW);
}

int builtinFileGetShortName(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return convertName(context, args, result, GetShortPathNameW);
}

int builtinFileChangeDir(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = fullPathOf(textArg(args, 0).view());
    // A fenced run moves only deeper into its folder: its fence moves along.
    bool ok = !path.empty() && mayChange(context, path) && SetCurrentDirectoryW(path.c_str());
    result = Variant::int32(ok ? 1 : 0);
    return 0;
}

} // namespace vexil
