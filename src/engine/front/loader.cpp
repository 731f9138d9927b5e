#include "engine/front/loader.h"

#include "base/console_streams.h"
#include "base/file_stream.h"
#include "base/paths.h"
#include "engine/errors/errors.h"
#include "engine/errors/messages.h"
#include "engine/eval/macros.h"
#include "engine/front/lexer.h"
#include "engine/front/script_container.h"
#include "engine/front/tokenised_script.h"

#include <windows.h>
#include <commdlg.h>

#include <cwctype>
#include <iterator>

namespace vexil {

namespace {

bool isWhite(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r'; }
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void trimLeft(std::wstring& s) {
    size_t n = 0;
    while (n < s.size() && isWhite(s[n])) ++n;
    s.erase(0, n);
}

void trimRight(std::wstring& s) {
    while (!s.empty() && isWhite(s.back())) s.pop_back();
}

std::wstring_view trimmed(std::wstring_view s) {
    while (!s.empty() && isWhite(s.front())) s.remove_prefix(1);
    while (!s.empty() && isWhite(s.back())) s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    return true;
}

// Cuts the line at its comment; false when the line ends inside a quoted string. In directive
// lines (other than #include) quotes mean nothing.
bool removeComment(std::wstring& line) {
    bool quotesCount = line.empty() || line[0] != L'#' || startsWithNoCase(line, L"#include");
    wchar_t quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        wchar_t c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (quotesCount && (c == L'"' || c == L'\'')) {
            quote = c;
        } else if (c == L';') {
            line.resize(i);
            return true;
        }
    }
    return quote == 0;
}

std::wstring askForScriptPath() {
    std::wstring buffer(kMaxPathChars, L'\0');
    static const wchar_t kFilter[] = L"Vexil script files (*.vx3, *.vxb)\0*.vx3;*.vxb\0All files (*.*)\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = L"Run Script:";
    ofn.lpstrDefExt = L"vx3";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return {};
    buffer.resize(wcslen(buffer.c_str()));
    return buffer;
}

bool isCompiledScriptHeader(std::string_view head) {
    return head.size() >= kContainerSignatureSize && head.substr(16, 4) == kContainerMarker &&
           head.substr(20, 4) == kContainerFormatTag;
}

} // namespace

// The lines of one text file, each cut to the longest line a script may have, with its number.
class ScriptLoader::FileLines {
public:
    explicit FileLines(FileStream& stream) : stream_(stream) {}
    bool next(std::wstring& line) {
        if (!stream_.readLine(line)) return false;
        if (line.size() > static_cast<size_t>(kMaxLineLength)) line.resize(kMaxLineLength);
        ++number_;
        return true;
    }
    int number() const { return number_; }

private:
    FileStream& stream_;
    int number_ = 0;
};

ScriptLoader::ScriptLoader(LoaderHost& host) : host_(host) { buildIncludeSearchList(); }

void ScriptLoader::buildIncludeSearchList() {
    includeSearchList_.clear();
    includeSearchList_.push_back(folderOf(programPath()) + L"\\Include\\");

    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Vexil v3\\Vexil", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    DWORD type = 0, bytes = 0;
    std::wstring value;
    if (RegQueryValueExW(key, L"Include", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value.resize(bytes / sizeof(wchar_t) + 1);
        if (RegQueryValueExW(key, L"Include", nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()), &bytes) ==
            ERROR_SUCCESS) {
            value.resize(wcsnlen(value.data(), bytes / sizeof(wchar_t)));
        } else {
            value.clear();
        }
    }
    RegCloseKey(key);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;

    size_t start = 0;
    for (;;) {
        size_t end = value.find(L';', start);
        std::wstring entry = value.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!entry.empty() && entry.back() != L'\\') entry += L'\\';
        includeSearchList_.push_back(std::move(entry));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
}

void ScriptLoader::loaderError(const std::wstring& path, int lineNumber, MessageId::Id message,
                               std::wstring_view lineText) {
    reportLoaderError(errorsToStdout_, path, lineNumber, loadMessage(message), lineText);
}

int ScriptLoader::registerFile(const std::wstring& fullPath) {
    for (size_t i = 0; i < knownFiles_.size(); ++i) {
        if (samePath(knownFiles_[i].path, fullPath)) {
            ++knownFiles_[i].includeCount;
            return static_cast<int>(i);
        }
    }
    knownFiles_.push_back({fullPath, 1});
    return static_cast<int>(knownFiles_.size() - 1);
}

bool ScriptLoader::loadScript(std::wstring path, SourceKind& kind) {
    pathFromDialog_ = false;
    if (path.empty()) {
        path = askForScriptPath();
        if (path.empty()) return false;
        pathFromDialog_ = true;
    }
    std::wstring full = longPathName(fullPathName(path));
    loadedPath_ = full;
    int index = registerFile(full);

    ScriptContainer container;
    if (container.open(full)) {
        const std::string* script = container.find(kScriptEntryName);
        if (!script) {
            reportStartupError(errorsToStdout_);
            return false;
        }
        return takeTokenisedScript(*script, true);
    }
    if (kind == SourceKind::OwnFile) {
        reportStartupError(errorsToStdout_);
        return false;
    }
    kind = SourceKind::TextFile;
    bool ok = readTextFile(full, index, Includer{full, 0, L""});
    includeDepth_ = 0;
    return ok;
}

bool ScriptLoader::readTextFile(const std::wstring& path, int fileIndex, const Includer& includer) {
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{++includeDepth_};
    if (includeDepth_ > kMaxIncludeDepth) {
        loaderError(includer.path, includer.lineNumber, MessageId::IncludeDepthExceeded, includer.lineText);
        return false;
    }
    FileStream stream;
    if (!stream.open(path, OpenMode::Read)) {
        loaderError(includer.path, includer.lineNumber, MessageId::ErrorOpeningFile, includer.lineText);
        return false;
    }
    std::string head;
    stream.seek(0, FILE_BEGIN);
    stream.readBytes(kContainerSignatureSize, head);
    if (isCompiledScriptHeader(head)) {
        stream.close();
        return readCompiledInclude(path, includer);
    }
    stream.seek(stream.bomLength(), FILE_BEGIN);

    std::wstring savedDirectory = currentDirectory();
    SetCurrentDirectoryW(folderOf(path).c_str()); // relative includes resolve against this file
    FileLines lines(stream);
    bool ok = true;
    bool stop = false;
    bool continuing = false;
    std::wstring line;
    while (ok && !stop && lines.next(line)) {
        trimLeft(line);
        if (!removeComment(line)) {
            loaderError(path, lines.number(), MessageId::UnterminatedString, line);
            ok = false;
            break;
        }
        trimRight(line);
        bool continues = line.size() >= 3 && line.back() == L'_' && isWhite(line[line.size() - 2]);
        if (continues) line.pop_back();
        if (continuing) {
            continuing = continues;
            appendToLastLine(line);
            continue;
        }
        continuing = continues;
        int number = lines.number();
        switch (applyDirective(line, lines, path, fileIndex)) {
        case Directive::Store: addLine(number, std::move(line), fileIndex); break;
        case Directive::Skip: break;
        case Directive::Stop: stop = true; break;
        case Directive::Fail: ok = false; break;
        }
    }
    stream.close();
    SetCurrentDirectoryW(savedDirectory.c_str());
    return ok;
}

ScriptLoader::Directive ScriptLoader::applyDirective(std::wstring& line, FileLines& lines, const std::wstring& path,
                                                     int fileIndex) {
    if (line.empty() || line[0] != L'#') return Directive::Store;
    int number = lines.number();
    if (startsWithNoCase(line, L"#pragma compile")) return Directive::Skip;
    if (startsWithNoCase(line, L"#notrayicon")) {
        noTrayIcon_ = true;
        return Directive::Skip;
    }
    if (startsWithNoCase(line, L"#requireadmin")) {
        requireAdmin_ = true;
        return Directive::Skip;
    }
    constexpr std::wstring_view kStartRegister = L"#OnVexilStartRegister";
    if (startsWithNoCase(line, kStartRegister)) {
        if (registerStartFunction(std::wstring_view(line).substr(kStartRegister.size()))) return Directive::Skip;
        loaderError(path, number, MessageId::BadDirective, line);
        return Directive::Fail;
    }
    if (startsWithNoCase(line, L"#include-once"))
        return knownFiles_[static_cast<size_t>(fileIndex)].includeCount > 1 ? Directive::Stop : Directive::Skip;
    if (startsWithNoCase(line, L"#include")) return include(line, path, number) ? Directive::Skip : Directive::Fail;
    if (startsWithNoCase(line, L"#comments-start") || startsWithNoCase(line, L"#cs"))
        return skipCommentBlock(lines, path, number, line) ? Directive::Skip : Directive::Fail;
    return Directive::Skip; // unknown directives are ignored
}

bool ScriptLoader::registerStartFunction(std::wstring_view rest) {
    std::wstring_view name = trimmed(rest);
    auto isQuote = [](wchar_t c) { return c == L'"' || c == L'\''; };
    if (name.empty()) return false;
    bool openQuote = isQuote(name.front());
    bool closeQuote = name.size() > 1 && isQuote(name.back());
    if (openQuote || closeQuote) {
        if (!openQuote || !closeQuote || name.front() != name.back()) return false;
        name = name.substr(1, name.size() - 2);
    }
    if (name.empty()) return false;
    host_.registerStartFunction(std::wstring(name));
    return true;
}

bool ScriptLoader::include(std::wstring_view line, const std::wstring& path, int lineNumber) {
    std::wstring_view rest = line.substr(std::wstring_view(L"#include").size());
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    wchar_t open = rest.empty() ? 0 : rest.front();
    wchar_t close = open == L'<' ? L'>' : open;
    size_t end = (open == L'"' || open == L'\'' || open == L'<') ? rest.find(close, 1) : std::wstring_view::npos;
    bool ok = end != std::wstring_view::npos;
    if (ok) {
        for (wchar_t c : rest.substr(end + 1)) ok = ok && isBlank(c);
    }
    if (!ok) {
        loaderError(path, lineNumber, MessageId::CannotParseInclude, line);
        return false;
    }
    std::wstring resolved = resolveInclude(trimmed(rest.substr(1, end - 1)), open == L'<');
    std::wstring full = fullPathName(resolved);
    int index = registerFile(full);
    return readTextFile(full, index, Includer{path, lineNumber, std::wstring(line)});
}

std::wstring ScriptLoader::resolveInclude(std::wstring_view name, bool angleBrackets) const {
    std::wstring given(name);
    if (angleBrackets) {
        for (const auto& prefix : includeSearchList_)
            if (fileExists(prefix + given)) return prefix + given;
        return given;
    }
    if (fileExists(given)) return given;
    for (auto it = includeSearchList_.rbegin(); it != includeSearchList_.rend(); ++it)
        if (fileExists(*it + given)) return *it + given;
    return given;
}

bool ScriptLoader::skipCommentBlock(FileLines& lines, const std::wstring& path, int startLine,
                                    const std::wstring& startText) {
    int nesting = 1;
    std::wstring line;
    while (lines.next(line)) {
        std::wstring_view text = trimmed(line);
        if (startsWithNoCase(text, L"#comments-start") || startsWithNoCase(text, L"#cs")) {
            ++nesting;
        } else if (startsWithNoCase(text, L"#comments-end") || startsWithNoCase(text, L"#ce")) {
            if (--nesting == 0) return true;
        }
    }
    loaderError(path, startLine, MessageId::UnterminatedComments, startText);
    return false;
}

bool ScriptLoader::readCompiledInclude(const std::wstring& path, const Includer& includer) {
    ScriptContainer container;
    const std::string* script = container.open(path) ? container.find(kScriptEntryName) : nullptr;
    if (!script || !takeTokenisedScript(*script, false)) {
        loaderError(includer.path, includer.lineNumber, MessageId::ErrorOpeningFile, includer.lineText);
        return false;
    }
    return true;
}

bool ScriptLoader::takeTokenisedScript(std::string_view bytes, bool asMainScript) {
    TokenisedScript script;
    auto lookup = [this](std::wstring_view name) { return host_.findBuiltin(name); };
    if (!readTokenisedScript(bytes, lookup, script)) {
        if (asMainScript) reportStartupError(errorsToStdout_);
        return false;
    }
    for (const auto& d : script.directives) {
        if (startsWithNoCase(d.text, L"#notrayicon")) {
            noTrayIcon_ = true;
        } else if (startsWithNoCase(d.text, L"#requireadmin")) {
            requireAdmin_ = true;
        } else if (startsWithNoCase(d.text, L"#OnVexilStartRegister") &&
                   !registerStartFunction(std::wstring_view(d.text).substr(21))) {
            loaderError(L"", d.line, MessageId::BadDirective, L"");
            return false;
        }
    }
    // Names and texts join the script's pool, as the lexer's do, so that variables get their ids
    // and macros theirs.
    for (auto& tokens : script.lines) {
        for (Token& token : tokens) {
            if (!carriesText(static_cast<int>(token.type))) continue;
            const NamePool::Name& pooled = host_.intern(token.text);
            token.text = pooled.text;
            token.i32 = token.type == TokenType::Macro ? findMacro(pooled.text.view()) : pooled.id;
        }
    }
    if (asMainScript) {
        lineCount_ = static_cast<int>(script.lines.size());
        tokenLists_.clear();
        tokenLists_.resize(script.lines.size() + 1);
        for (size_t i = 0; i < script.lines.size(); ++i) tokenLists_[i + 1] = std::move(script.lines[i]);
        return true;
    }
    for (auto& tokens : script.lines) {
        if (tokens.size() <= 1) continue; // nothing but the end of the line
        packagedTokenLists_.push_back(std::move(tokens));
        addLine(lineCount_, L";", -1);
    }
    return true;
}

void ScriptLoader::addLine(int lineNumber, std::wstring text, int fileIndex) {
    if (!lines_.empty() && lines_.back().text.empty()) {
        lines_.back() = LineRecord{std::move(text), lineNumber, fileIndex};
        return;
    }
    lines_.push_back(LineRecord{std::move(text), lineNumber, fileIndex});
    ++lineCount_;
}

void ScriptLoader::appendToLastLine(std::wstring_view text) {
    if (!lines_.empty()) lines_.back().text += text;
}

bool ScriptLoader::tokeniseAll() {
    if (!tokenLists_.empty()) return true;
    tokenLists_.resize(static_cast<size_t>(lineCount_) + 1);
    nextPackaged_ = 0;
    TokenList scratch; // lines are lexed here and moved out at their exact size, sparing the heap
    for (int i = 1; i <= lineCount_; ++i) {
        const LineRecord& record = lines_[static_cast<size_t>(i - 1)];
        TokenList& tokens = tokenLists_[static_cast<size_t>(i)];
        bool packaged = record.fileIndex < 0 && record.text == L";" && nextPackaged_ < packagedTokenLists_.size();
        if (packaged) {
            tokens = std::move(packagedTokenLists_[nextPackaged_++]);
            continue;
        }
        LexicalError error;
        bool ok = tokeniseLine(record.text, i == lineCount_, host_, scratch, error);
        tokens.reserve(scratch.size());
        std::move(scratch.begin(), scratch.end(), std::back_inserter(tokens));
        if (!ok) {
            reportLexicalError(i, error.messageId, error.column);
            return false;
        }
    }
    return true;
}

void ScriptLoader::reportLexicalError(int line, MessageId::Id messageId, int column) const {
    if (line <= 0) return;
    const LineRecord& record = lines_[static_cast<size_t>(line - 1)];
    const std::wstring& path = filePath(record.fileIndex);
    std::wstring message = loadMessage(messageId);
    if (errorsToStdout_)
        writeStandardOutput(lexicalErrorRecord(path, record.lineNumber, message, record.text, column));
    else
        showErrorBox(nullptr, lexicalErrorBoxText(path, record.lineNumber, message, record.text, column));
}

const std::wstring* ScriptLoader::lineText(int line) const {
    if (line < 1 || line > static_cast<int>(lines_.size())) return nullptr;
    return &lines_[static_cast<size_t>(line - 1)].text;
}

int ScriptLoader::lineNumber(int line) const {
    if (line < 1 || line > lineCount_) return -1;
    if (line > static_cast<int>(lines_.size())) return line; // a compiled main script has no line records
    return lines_[static_cast<size_t>(line - 1)].lineNumber;
}

int ScriptLoader::fileIndex(int line) const {
    if (line < 1 || line > static_cast<int>(lines_.size())) return -1;
    return lines_[static_cast<size_t>(line - 1)].fileIndex;
}

const std::wstring& ScriptLoader::filePath(int fileIndex) const {
    static const std::wstring kNone;
    if (fileIndex < 0 || fileIndex >= static_cast<int>(knownFiles_.size())) return kNone;
    return knownFiles_[static_cast<size_t>(fileIndex)].path;
}

void ScriptLoader::reset() {
    lines_.clear();
    lineCount_ = 0;
    knownFiles_.clear();
    tokenLists_.clear();
    packagedTokenLists_.clear();
    nextPackaged_ = 0;
    includeDepth_ = 0;
    loadedPath_.clear();
}

} // namespace vexil
