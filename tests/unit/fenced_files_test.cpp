// A fenced run (the fuzzer's) changes files only strictly inside its working folder: every
// built-in that would change, remove or make something elsewhere, or act beyond the run (the
// recycle bin, drive labels and maps, the CD tray, dialogs), checks its arguments and refuses.
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/startup_state.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <set>

using namespace vexil;

namespace {

// Runs a script fenced, with `folder` as its working folder.
void runFenced(const std::wstring& script, const std::wstring& folder) {
    StartupState startup;
    startup.errorsToStdout = true;
    startup.noTrayIcon = true;
    startup.sourceKind = SourceKind::TextFile;
    Engine engine(startup);
    ScriptLoader loader(engine);
    engine.setLoader(&loader);
    loader.setErrorsToStdout(true);
    SourceKind kind = SourceKind::TextFile;
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(folder.c_str());
    ASSERT_TRUE(loader.loadScript(script, kind));
    engine.setScript(kind, loader.loadedPath());
    ASSERT_TRUE(loader.tokeniseAll() && engine.checkBlocks() && engine.buildFunctionTable());
    engine.setFenced(true);
    engine.runScript();
    loader.reset();
    SetCurrentDirectoryW(saved);
}

std::set<std::wstring> namesIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// Each line calls one built-in and notes its result and @ERROR.
constexpr char kScript[] = R"vx(Global $o = ""
Func Note($name, $result, $error = 0)
    $o &= $name & "=" & $result & "/" & $error & @LF
EndFunc
Local $outside = @ScriptDir & "\outside.txt"
Note("copy out", FileCopy("in.txt", "..\x.txt", 1), @error)
Note("copy over outside", FileCopy("in.txt", $outside, 1), @error)
Note("copy to a full path out", FileCopy("in.txt", @ScriptDir & "\*.bak", 1), @error)
Note("move from outside", FileMove($outside, "moved.txt", 1), @error)
Note("move out", FileMove("in.txt", "..\in.txt", 1), @error)
Note("delete outside", FileDelete("..\outside.txt"), @error)
Note("delete all outside", FileDelete("..\*"), @error)
Note("attrib outside", FileSetAttrib("..\outside.txt", "+H"), @error)
Note("attrib outside, recursive", FileSetAttrib("..\*", "+H", 1), @error)
Note("time outside", FileSetTime("..\outside.txt", "2000"), @error)
Note("create outside", DirCreate("..\made"), @error)
Note("remove the folder itself", DirRemove(".", 1), @error)
Note("remove outside", DirRemove("..\outside", 1), @error)
Note("copy tree out", DirCopy("sub", "..\copied"), @error)
Note("copy the folder into itself", DirCopy(".", "sub\inner"), @error)
Note("move tree from outside", DirMove("..\outside", "moved", 1), @error)
Note("move tree out", DirMove("sub", "..\moved"), @error)
Note("link to an outside file", FileCreateNTFSLink($outside, "link.txt"), @error)
Note("link outside", FileCreateNTFSLink("in.txt", "..\link.txt"), @error)
Note("shortcut outside", FileCreateShortcut("in.txt", "..\short"), @error)
Note("install outside", FileInstall("outside.txt", "..\installed.txt"), @error)
Note("open for writing outside", FileOpen("..\written.txt", 2), @error)
Note("write outside", FileWrite("..\written.txt", "x"), @error)
Note("write line outside", FileWriteLine($outside, "x"), @error)
Note("recycle", FileRecycle("in.txt"), @error)
Note("empty the bin", FileRecycleEmpty(), @error)
Note("label", DriveSetLabel("C:", "fenced"), @error)
Note("map add", DriveMapAdd("X:", "\\host\share"), @error)
Note("map del", DriveMapDel("X:"), @error)
Note("map get", DriveMapGet("C:"), @error)
Note("tray", CDTray("C:", "open"), @error)
Note("open dialog", FileOpenDialog("t", "", "All (*.*)"), @error)
Note("save dialog", FileSaveDialog("t", "", "All (*.*)", 4, "a.txt"), @error)
Note("bad filter", FileOpenDialog("t", "", "no parentheses"), @error)
Note("folder dialog", FileSelectFolder("t", ""), @error)
Note("change dir out", FileChangeDir(".."), @error)
Note("inside: copy", FileCopy("in.txt", "sub\deeper\in.txt", 8), @error)
Note("inside: attrib", FileSetAttrib("sub\*", "+H", 1), @error)
Note("inside: install", FileInstall("outside.txt", "installed.txt"), @error)
Note("inside: tree copy", DirCopy("sub", "sub2"), @error)
Note("inside: change dir", FileChangeDir("sub2"), @error)
Note("then the old folder is outside", FileDelete("..\in.txt"), @error)
Note("and the new one holds", FileDelete("deeper\in.txt"), @error)
Note("its own files, named by the folder", FileDelete("."), @error)
FileWrite("results.txt", $o)
)vx";

} // namespace

TEST(FencedFiles, NothingOutsideTheWorkingFolderChanges) {
    TempFolder root;
    const std::wstring script = root.write(L"fenced.vx3", kScript);
    root.write(L"outside.txt", "keep");
    root.write(L"outside\\inner.txt", "inner");
    root.write(L"scratch\\in.txt", "in");
    root.write(L"scratch\\sub\\s.txt", "s");
    const DWORD outsideAttributes = GetFileAttributesW(root.file(L"outside.txt").c_str());
    runFenced(script, root.file(L"scratch"));

    EXPECT_EQ(root.read(L"scratch\\sub2\\results.txt"),
              "copy out=0/1\ncopy over outside=0/1\ncopy to a full path out=0/1\nmove from outside=0/1\n"
              "move out=0/1\ndelete outside=0/1\ndelete all outside=0/1\n"
              "attrib outside=0/1\nattrib outside, recursive=0/1\ntime outside=0/1\ncreate outside=0/1\n"
              "remove the folder itself=0/1\nremove outside=0/1\ncopy tree out=0/1\n"
              "copy the folder into itself=0/1\nmove tree from outside=0/1\nmove tree out=0/1\n"
              "link to an outside file=0/1\nlink outside=0/1\nshortcut outside=0/0\ninstall outside=0/1\n"
              "open for writing outside=-1/0\nwrite outside=0/0\nwrite line outside=0/0\nrecycle=0/0\n"
              "empty the bin=0/0\nlabel=0/0\nmap add=0/1\nmap del=0/1\nmap get=/1\ntray=0/0\nopen dialog=/1\n"
              "save dialog=/1\nbad filter=/2\nfolder dialog=/1\nchange dir out=0/0\ninside: copy=1/0\n"
              "inside: attrib=1/0\ninside: install=1/0\ninside: tree copy=1/0\ninside: change dir=1/0\n"
              "then the old folder is outside=0/1\nand the new one holds=1/0\n"
              "its own files, named by the folder=1/0\n");
    EXPECT_EQ(namesIn(root.path()), (std::set<std::wstring>{L".", L"..", L"fenced.vx3", L"outside", L"outside.txt", L"scratch"}));
    EXPECT_EQ(namesIn(root.file(L"outside")), (std::set<std::wstring>{L".", L"..", L"inner.txt"}));
    EXPECT_EQ(root.read(L"outside.txt"), "keep");
    EXPECT_EQ(root.read(L"outside\\inner.txt"), "inner");
    EXPECT_EQ(GetFileAttributesW(root.file(L"outside.txt").c_str()), outsideAttributes);
    EXPECT_EQ(root.read(L"scratch\\in.txt"), "in");
    EXPECT_EQ(root.read(L"scratch\\installed.txt"), "keep");
    EXPECT_EQ(root.read(L"scratch\\sub2\\s.txt"), "<missing>");
}
