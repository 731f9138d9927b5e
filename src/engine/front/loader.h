#pragma once
// The script loader: reads the chosen script and its includes into numbered lines (comments
// removed, continuations joined, directives obeyed), or takes a packaged script's tokenised lines.
// Every later report about a line comes from the tables built here.
#include "engine/errors/messages.h"
#include "engine/front/source_kind.h"
#include "engine/front/token.h"
#include "engine/values/name_pool.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexil {

class FileStream;

// The engine services the loader calls.
class LoaderHost {
public:
    virtual int findBuiltin(std::wstring_view upperName) const = 0;
    // The shared copy of a name or literal text, and the name's id.
    virtual const NamePool::Name& intern(std::wstring_view text) = 0;
    virtual void registerStartFunction(std::wstring name) = 0;

protected:
    ~LoaderHost() = default;
};

struct LineRecord {
    std::wstring text;
    int lineNumber;
    int fileIndex; // -1: the line belongs to no file
};

class ScriptLoader {
public:
    static constexpr int kMaxLineLength = 4094;
    static constexpr int kMaxIncludeDepth = 47;

    explicit ScriptLoader(LoaderHost& host);

    void setErrorsToStdout(bool on) { errorsToStdout_ = on; }
    bool errorsToStdout() const { return errorsToStdout_; }

    // Loads the main script; an empty path asks for one with the open-file dialog. May change
    // `kind` from NamedFile to TextFile.
    bool loadScript(std::wstring path, SourceKind& kind);
    bool pathFromDialog() const { return pathFromDialog_; }
    const std::wstring& loadedPath() const { return loadedPath_; }

    // Empty lines take no slot: an empty last record is reused by the next line.
    void addLine(int lineNumber, std::wstring text, int fileIndex);
    void appendToLastLine(std::wstring_view text);

    // Builds every line's token list; does nothing when they exist (a compiled main script).
    bool tokeniseAll();

    int lineCount() const { return lineCount_; }
    // Lookups by line index 1..lineCount; nullptr or -1 outside that range.
    const std::wstring* lineText(int line) const;
    int lineNumber(int line) const;
    int fileIndex(int line) const;
    const TokenList* tokens(int line) const {
        if (line < 1 || line >= static_cast<int>(tokenLists_.size())) return nullptr;
        return &tokenLists_[static_cast<size_t>(line)];
    }
    // The path of a file index; empty for -1 or an unknown index.
    const std::wstring& filePath(int fileIndex) const;
    int fileCount() const { return static_cast<int>(knownFiles_.size()); }

    bool noTrayIcon() const { return noTrayIcon_; }
    bool requireAdmin() const { return requireAdmin_; }
    const std::vector<std::wstring>& includeSearchList() const { return includeSearchList_; }

    void reset();

private:
    struct KnownFile {
        std::wstring path;
        int includeCount;
    };
    struct Includer {
        std::wstring path;
        int lineNumber;
        std::wstring lineText;
    };
    class FileLines;
    enum class Directive { Store, Skip, Stop, Fail };

    void buildIncludeSearchList();
    int registerFile(const std::wstring& fullPath);
    bool readTextFile(const std::wstring& path, int fileIndex, const Includer& includer);
    bool readCompiledInclude(const std::wstring& path, const Includer& includer);
    bool takeTokenisedScript(std::string_view bytes, bool asMainScript);
    Directive applyDirective(std::wstring& line, FileLines& lines, const std::wstring& path, int fileIndex);
    bool include(std::wstring_view line, const std::wstring& path, int lineNumber);
    std::wstring resolveInclude(std::wstring_view name, bool angleBrackets) const;
    bool skipCommentBlock(FileLines& lines, const std::wstring& path, int startLine, const std::wstring& startText);
    bool registerStartFunction(std::wstring_view rest);
    void reportLexicalError(int line, MessageId::Id messageId, int column) const;
    void loaderError(const std::wstring& path, int lineNumber, MessageId::Id message, std::wstring_view lineText);

    LoaderHost& host_;
    bool errorsToStdout_ = false;
    bool noTrayIcon_ = false;
    bool requireAdmin_ = false;
    bool pathFromDialog_ = false;
    std::wstring loadedPath_;
    std::vector<LineRecord> lines_; // lines_[0] is line 1
    int lineCount_ = 0;
    std::vector<KnownFile> knownFiles_;
    std::vector<std::wstring> includeSearchList_;
    std::vector<TokenList> tokenLists_; // index 0 unused
    std::vector<TokenList> packagedTokenLists_;
    size_t nextPackaged_ = 0;
    int includeDepth_ = 0;
};

} // namespace vexil
