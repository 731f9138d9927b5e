// vexil-make-fixtures.exe FOLDER: writes the packaged-script fixtures that script tests run,
// through the same container and tokenised-script writers a packager uses.
#include "engine/builtins/builtins.h"
#include "engine/front/package_writer.h"
#include "engine/front/script_container.h"
#include "engine/front/tokenised_script.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vexil;

namespace {

Token makeToken(vexil::TokenType type, std::wstring text = {}) {
    Token t(type, -1);
    t.text = std::move(text);
    return t;
}

// A small script: an empty line, then ConsoleWrite("packaged" & @LF).
std::string sampleScript(std::vector<std::wstring> directives) {
    Token call = makeToken(vexil::TokenType::Builtin);
    call.i32 = findBuiltin(L"CONSOLEWRITE");
    std::vector<TokenList> lines(2);
    lines[0] = {makeToken(vexil::TokenType::EndOfLine)};
    lines[1] = {call, makeToken(vexil::TokenType::LeftParen), makeToken(vexil::TokenType::String, L"packaged"), makeToken(vexil::TokenType::Concat),
                makeToken(vexil::TokenType::Macro, L"LF"), makeToken(vexil::TokenType::RightParen), makeToken(vexil::TokenType::EndOfLine)};
    return writeTokenisedScript(lines, directives, [](int index) { return std::wstring(builtinEntry(index).name); });
}

bool appendFile(const std::wstring& path, const std::string& bytes) { return writeBytesToFile(path, bytes, true); }

bool writeFile(const std::wstring& path, const std::string& bytes) { return writeBytesToFile(path, bytes); }

bool writeProgram(const std::wstring& path, const std::string& container) {
    return writeStandaloneProgram(path, L"C:\\vexil\\vexil.exe", container);
}

using Entries = std::vector<std::pair<std::wstring, std::string>>;

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: vexil-make-fixtures FOLDER\n");
        return 2;
    }
    std::wstring folder = argv[1];
    folder += L"\\";
    CreateDirectoryW(argv[1], nullptr);
    const std::wstring script(kScriptEntryName), noCmd(kNoCmdExecuteEntryName);
    std::string good = buildContainer({{script, sampleScript({L"#notrayicon"})}}, 7);
    struct Fixture {
        const wchar_t* name;
        bool ok;
    };
    std::string corrupt = good.substr(0, kContainerSignatureSize) + std::string(40, '\x55');
    Fixture fixtures[] = {
        {L"compiled.vxb", writeFile(folder + L"compiled.vxb", good)},
        {L"no_script_entry.vxb", writeFile(folder + L"no_script_entry.vxb", buildContainer({{L"other", "x"}}, 9))},
        {L"bad_directive.vxb",
         writeFile(folder + L"bad_directive.vxb",
                   buildContainer({{script, sampleScript({L"#OnVexilStartRegister \"Start'"})}}, 11))},
        {L"corrupt.vxb", writeFile(folder + L"corrupt.vxb", corrupt)},
        {L"truncated_script.vxb",
         writeFile(folder + L"truncated_script.vxb", buildContainer({{script, sampleScript({}).substr(0, 9)}}, 13))},
        {L"packaged.exe", writeProgram(folder + L"packaged.exe", good)},
        {L"packaged_nocmd.exe",
         writeProgram(folder + L"packaged_nocmd.exe", buildContainer({{script, sampleScript({})}, {noCmd, ""}}, 17))},
        {L"appended.exe", CopyFileW(L"C:\\vexil\\vexil.exe", (folder + L"appended.exe").c_str(), FALSE) &&
                              appendFile(folder + L"appended.exe", good)},
    };
    int failures = 0;
    for (const auto& f : fixtures) {
        if (!f.ok) {
            fprintf(stderr, "vexil-make-fixtures: could not write %ls\n", f.name);
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
