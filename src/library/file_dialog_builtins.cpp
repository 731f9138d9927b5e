// The file dialogs: choosing files to open or a name to save under, and choosing a folder. They
// are modal: the script waits in the dialog's own loop. A fenced run checks the arguments and then
// answers as a cancelled dialog does.
#include "engine/builtins/builtin_api.h"
#include "library/file_dialog_texts.h"

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

namespace vexil {

namespace {

constexpr size_t kFileBufferSize = 65535;

std::wstring textWithoutZeros(BuiltinArgs args, size_t i) {
    std::wstring text(textArg(args, i).view());
    size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    return text;
}

// A window given by handle, or none when it is not one.
HWND ownerWindow(BuiltinArgs args, size_t i) {
    if (!given(args, i)) return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(args[i].dereferenced().toPointer()));
    return window && IsWindow(window) ? window : nullptr;
}

int fileDialog(BuiltinContext& context, BuiltinArgs args, Variant& result, bool save) {
    result = textValue(L"");
    const std::wstring title = textWithoutZeros(args, 0), folder = textWithoutZeros(args, 1);
    std::wstring filters;
    if (!buildFilterList(textArg(args, 2).view(), filters)) return context.fail(2);
    const uint32_t flags = fileDialogFlags(given(args, 3), optInt(args, 3, 0));
    std::wstring buffer(kFileBufferSize, L'\0');
    if (given(args, 4)) {
        std::wstring name = textWithoutZeros(args, 4);
        buffer.replace(0, std::min(name.size(), kFileBufferSize - 2), name.substr(0, kFileBufferSize - 2));
    }
    HWND owner = ownerWindow(args, 5);
    if (context.fenced()) return context.fail(1);
    context.ensureOle(); // the dialog browses the shell's folders
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(kFileBufferSize);
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = flags;
    BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return context.fail(1);
    result = textValue(chosenFiles(buffer));
    return 0;
}

// The item dialog in folder mode; false when it cannot be made (the older dialog is used then).
bool pickFolderWithItemDialog(const std::wstring& title, const std::wstring& root, const std::wstring& initial,
                              HWND owner, bool& chosen, std::wstring& path) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                reinterpret_cast<void**>(&dialog))))
        return false;
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    dialog->SetTitle(title.c_str());
    if (!initial.empty()) dialog->SetFileName(initial.c_str());
    IShellItem* start = nullptr;
    if (!root.empty() && SUCCEEDED(SHCreateItemFromParsingName(root.c_str(), nullptr, IID_IShellItem,
                                                               reinterpret_cast<void**>(&start)))) {
        dialog->SetFolder(start);
        start->Release();
    }
    chosen = false;
    if (SUCCEEDED(dialog->Show(owner))) {
        IShellItem* item = nullptr;
        wchar_t* name = nullptr;
        if (SUCCEEDED(dialog->GetResult(&item)) && SUCCEEDED(item->GetDisplayName(SIGDN_DESKTOPABSOLUTEPARSING, &name))) {
            path = name;
            chosen = true;
            CoTaskMemFree(name);
        }
        if (item) item->Release();
    }
    dialog->Release();
    return true;
}

int CALLBACK selectInitialFolder(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool pickFolderWithBrowseDialog(const std::wstring& title, const std::wstring& root, const std::wstring& initial,
                                int32_t options, HWND owner, std::wstring& path) {
    PIDLIST_ABSOLUTE rootItem = nullptr;
    if (!root.empty()) SHParseDisplayName(root.c_str(), nullptr, &rootItem, 0, nullptr);
    UINT flags = BIF_NONEWFOLDERBUTTON;
    if (options & 1) flags = BIF_NEWDIALOGSTYLE;
    else if (options & 2) flags = BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    if (options & 4) flags |= BIF_EDITBOX;
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = rootItem;
    browse.pszDisplayName = display;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = flags;
    browse.lpfn = selectInitialFolder;
    browse.lParam = initial.empty() ? 0 : reinterpret_cast<LPARAM>(initial.c_str());
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (rootItem) CoTaskMemFree(rootItem);
    if (!item) return false;
    std::wstring buffer(kFileBufferSize, L'\0');
    path = SHGetPathFromIDListEx(item, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT) ? buffer.c_str()
                                                                                                         : display;
    CoTaskMemFree(item);
    return true;
}

} // namespace

int builtinFileOpenDialog(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return fileDialog(context, args, result, false);
}

int builtinFileSaveDialog(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return fileDialog(context, args, result, true);
}

int builtinFileSelectFolder(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    const std::wstring title = textWithoutZeros(args, 0), root = textWithoutZeros(args, 1);
    const int32_t options = optInt(args, 2, 0);
    const std::wstring initial = given(args, 3) ? textWithoutZeros(args, 3) : std::wstring();
    HWND owner = ownerWindow(args, 4);
    if (context.fenced() || !context.ensureOle()) return context.fail(1);
    std::wstring path;
    bool chosen = false;
    if (!pickFolderWithItemDialog(title, root, initial, owner, chosen, path))
        chosen = pickFolderWithBrowseDialog(title, root, initial, options, owner, path);
    if (!chosen) return context.fail(1);
    result = textValue(path);
    return 0;
}

} // namespace vexil
