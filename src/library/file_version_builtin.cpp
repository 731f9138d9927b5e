// FILEGETVERSION: the version resource of a program file, as the fixed "a.b.c.d" version or one
// of its named texts ("FileDescription", "ProductName", ...).
#include "engine/builtins/builtin_api.h"
#include "library/file_names.h"

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace vexil {

namespace {

// A named text of the resource, in its first language, else in US English.
bool versionText(std::vector<uint8_t>& block, std::wstring_view field, std::wstring& text) {
    std::vector<std::wstring> languages;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        length >= sizeof(Translation)) {
        wchar_t code[16];
        swprintf(code, 16, L"%04x%04x", translations[0].language, translations[0].codePage);
        languages.push_back(code);
    }
    languages.insert(languages.end(), {L"040904b0", L"040904e4", L"04090000"});
    for (const std::wstring& language : languages) {
        std::wstring query = L"\\StringFileInfo\\" + language + L'\\' + std::wstring(field);
        wchar_t* value = nullptr;
        if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value) {
            text.assign(value, length > 0 && value[length - 1] == 0 ? length - 1 : length);
            return true;
        }
    }
    return false;
}

} // namespace

int builtinFileGetVersion(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring field = given(args, 1) ? std::wstring(textArg(args, 1).view()) : std::wstring(L"\\");
    const bool fixed = field == L"\\";
    result = textValue(fixed ? L"0.0.0.0" : L"");
    const std::wstring path = fullPathOf(textArg(args, 0).view());
    if (path.empty() || field.empty() || field.find(L'\0') != std::wstring::npos) return context.fail(1);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return context.fail(1);
    if (!fixed) {
        std::wstring text;
        if (!versionText(block, field, text)) return context.fail(1);
        result = textValue(text);
        return 0;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || length < sizeof(VS_FIXEDFILEINFO))
        return context.fail(1);
    wchar_t text[64];
    swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    result = textValue(text);
    return 0;
}

} // namespace vexil
