// vexilc.exe: packages a script with its includes, as a compiled script (.vxb) or as a standalone
// program (a copy of vexil.exe carrying the script as its "SCRIPT" resource). The files the
// script installs with FILEINSTALL travel in the same container.
//   vexilc [/NoCmdExecute] SCRIPT.vx3 [OUT]
#include "app/command_line.h"
#include "app/installed_files.h"
#include "base/paths.h"
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/front/package_writer.h"
#include "engine/front/script_container.h"
#include "engine/front/tokenised_script.h"
#include "engine/startup_state.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

using namespace vexil;

namespace {

bool endsWithNoCase(const std::wstring& text, std::wstring_view suffix) {
    if (text.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::towlower(text[text.size() - suffix.size() + i]) != std::towlower(suffix[i])) return false;
    return true;
}

int fail(const wchar_t* message, const std::wstring& detail) {
    fwprintf(stderr, L"vexilc: %ls%ls\n", message, detail.c_str());
    return 1;
}

} // namespace

int wmain() {
    // The interpreter's own argument splitting, so that quoting works the same for both programs.
    const wchar_t* commandLine = GetCommandLineW();
    std::vector<std::wstring> args = splitArguments(commandLine);
    if (!args.empty()) args.erase(args.begin());
    bool noCmdExecute = !args.empty() && _wcsicmp(args[0].c_str(), L"/NoCmdExecute") == 0;
    if (noCmdExecute) args.erase(args.begin());
    if (args.empty() || args.size() > 2) {
        fwprintf(stderr, L"usage: vexilc [/NoCmdExecute] SCRIPT.vx3 [OUT.exe | OUT.vxb]\n");
        return 2;
    }
    std::wstring script = fullPathName(args[0]);
    std::wstring out = args.size() > 1 ? fullPathName(args[1]) : std::wstring();
    if (out.empty()) {
        size_t dot = script.find_last_of(L'.');
        size_t slash = script.find_last_of(L"\\/");
        out = (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) ? script.substr(0, dot) : script) + L".exe";
    }
    if (!endsWithNoCase(out, L".exe") && !endsWithNoCase(out, L".vxb"))
        return fail(L"the output must end in .exe or .vxb: ", out);

    // Loaded and checked exactly as the interpreter would, errors in the same records.
    StartupState startup;
    startup.errorsToStdout = true;
    Engine engine(startup);
    ScriptLoader loader(engine);
    engine.setLoader(&loader);
    loader.setErrorsToStdout(true);
    SourceKind kind = SourceKind::NamedFile;
    if (!loader.loadScript(script, kind)) return 1;
    engine.setScript(kind, loader.loadedPath());
    if (!loader.tokeniseAll() || !engine.checkBlocks() || !engine.buildFunctionTable()) return 1;

    std::vector<TokenList> lines;
    for (int i = 1; i <= loader.lineCount(); ++i) lines.push_back(*loader.tokens(i));
    std::vector<std::wstring> directives;
    if (loader.noTrayIcon()) directives.push_back(L"#notrayicon");
    if (loader.requireAdmin()) directives.push_back(L"#requireadmin");
    for (const std::wstring& name : engine.startFunctions()) directives.push_back(L"#OnVexilStartRegister " + name);
    std::string tokenised = writeTokenisedScript(lines, directives, [](int index) { return std::wstring(builtinEntry(index).name); });

    ContainerEntries entries = {{std::wstring(kScriptEntryName), tokenised}};
    if (noCmdExecute) entries.push_back({std::wstring(kNoCmdExecuteEntryName), std::string()});
    std::wstring unreadable;
    if (!addInstalledFiles(loader, engine.scriptDir(), entries, unreadable))
        return fail(L"cannot read the file to install: ", unreadable);
    std::string container = buildContainer(entries, GetTickCount() ^ GetCurrentProcessId());

    bool ok = endsWithNoCase(out, L".vxb")
                  ? writeBytesToFile(out, container)
                  : writeStandaloneProgram(out, folderOf(programPath()) + L"\\vexil.exe", container);
    if (!ok) return fail(L"cannot write ", out);
    return 0;
}
