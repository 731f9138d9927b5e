#include "app/installed_files.h"

#include "base/file_stream.h"
#include "engine/builtins/builtins.h"
#include "engine/front/loader.h"

#include <set>

namespace vexil {

namespace {

bool readWholeFile(const std::wstring& path, std::string& bytes) {
    FileStream stream;
    if (!stream.open(path, OpenMode::Read | OpenMode::Binary)) return false;
    const int64_t size = stream.size();
    bytes.clear();
    return size >= 0 && stream.readBytes(static_cast<size_t>(size), bytes) == static_cast<size_t>(size);
}

bool isRelative(const std::wstring& name) {
    return !(name.starts_with(L"\\") || name.starts_with(L"/") || (name.size() >= 2 && name[1] == L':'));
}

} // namespace

bool addInstalledFiles(const ScriptLoader& loader, const std::wstring& scriptFolder, ContainerEntries& entries,
                       std::wstring& unreadable) {
    const int install = findBuiltin(L"FILEINSTALL");
    std::set<std::wstring> seen;
    for (int line = 1; line <= loader.lineCount(); ++line) {
        const TokenList* tokens = loader.tokens(line);
        for (size_t i = 0; tokens && i + 2 < tokens->size(); ++i) {
            const Token& call = (*tokens)[i];
            const Token& name = (*tokens)[i + 2];
            if (call.type != TokenType::Builtin || call.i32 != install || (*tokens)[i + 1].type != TokenType::LeftParen ||
                name.type != TokenType::String)
                continue;
            std::wstring source(name.text.view());
            // Not files: the container's own names, and patterns (a packaged run installs one
            // file by its name).
            const bool reserved = source.starts_with(L">>>") && source.ends_with(L"<<<");
            if (reserved || source.find_first_of(L"*?") != std::wstring::npos || !seen.insert(source).second) continue;
            std::string bytes;
            std::wstring path = isRelative(source) ? scriptFolder + L'\\' + source : source;
            if (!readWholeFile(path, bytes)) {
                unreadable = source;
                return false;
            }
            entries.emplace_back(source, std::move(bytes));
        }
    }
    return true;
}

} // namespace vexil
