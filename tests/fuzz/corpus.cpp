#include "corpus.h"

#include "base/file_stream.h"

#include <windows.h>

namespace vexil::fuzz {

namespace {

void collect(const std::wstring& folder, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) collect(path, out);
        else if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".vx3") == 0) out.push_back(readScriptText(path));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

std::vector<std::wstring> readCorpus(const std::wstring& folder) {
    std::vector<std::wstring> scripts;
    collect(folder, scripts);
    return scripts;
}

std::wstring readScriptText(const std::wstring& path) {
    FileStream file;
    std::wstring text;
    if (file.open(path, OpenMode::Read)) file.readChars(static_cast<size_t>(file.size()), text);
    return text;
}

bool writeScriptText(const std::wstring& path, const std::wstring& text) {
    FileStream file;
    return file.open(path, OpenMode::Overwrite | OpenMode::Utf16LEBom) && file.writeText(text) && file.close();
}

} // namespace vexil::fuzz
