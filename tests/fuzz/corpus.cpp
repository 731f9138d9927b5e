#include "corpus.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return text;
    }
    const size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const int size = static_cast<int>(bytes.size() - skip);
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data() + skip, size, text.data(), static_cast<int>(text.size()));
    return text;
}

bool writeScriptText(const std::wstring& path, const std::wstring& text) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write("\xFF\xFE", 2);
    file.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
    return static_cast<bool>(file);
}

} // namespace vexil::fuzz
