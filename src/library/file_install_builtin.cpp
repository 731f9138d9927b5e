// FILEINSTALL: a file that travels with the script. A script run from its text copies it from
// disk (a relative name from the script's folder) with the wildcard copy; a packaged script takes
// it from its container, where the packager put it under the name the script gives.
#include "engine/builtins/builtin_api.h"
#include "engine/front/script_container.h"
#include "library/file_copy.h"
#include "library/file_failure.h"
#include "library/file_names.h"
#include "library/file_transfer.h"

#include <windows.h>

#include <memory>

namespace vexil {

namespace {

// The container's own entries (">>>NAME<<<") are never handed out.
bool isReservedName(std::wstring_view name) { return name.starts_with(L">>>") && name.ends_with(L"<<<"); }

bool isRelative(std::wstring_view name) {
    return !(name.starts_with(L"\\") || name.starts_with(L"/") || (name.size() >= 2 && name[1] == L':'));
}

// The running script's container, opened once for the run's installs.
const ScriptContainer* scriptContainer(const std::wstring& path) {
    static std::wstring openedPath;
    static std::unique_ptr<ScriptContainer> container;
    if (!container || openedPath != path) {
        container = std::make_unique<ScriptContainer>();
        openedPath = path;
        if (!container->open(path)) container->close();
    }
    return container->isOpen() ? container.get() : nullptr;
}

uint32_t writeNewFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    uint32_t error = 0;
    for (size_t done = 0; done < bytes.size() && !error;) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 24)), written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) error = GetLastError();
        done += written;
    }
    CloseHandle(file);
    if (error) DeleteFileW(systemPath(path).c_str());
    return error;
}

int installFromContainer(BuiltinContext& context, std::wstring_view source, std::wstring destination, bool overwrite,
                         Variant& result) {
    const ScriptContainer* container = scriptContainer(context.scriptFullPath());
    if (!container) return failWithSystemError(context, result, Variant::int32(0), ERROR_FILE_CORRUPT);
    const std::string* bytes = container->find(source);
    if (!bytes) return failWithSystemError(context, result, Variant::int32(0), ERROR_FILE_NOT_FOUND);
    if (isFolder(destination)) destination = withoutTrailingSeparators(destination) + L"\\*.*";
    const std::wstring target = expandTarget(destination, namePartOf(source));
    if (!mayChange(context, target)) return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    uint32_t error = 0;
    if (!pathExists(target)) error = writeNewFile(target, *bytes);
    else if (!overwrite || isFolder(target)) error = ERROR_FILE_EXISTS;
    else error = makeThenReplace(target, [&](const std::wstring& scratch) { return writeNewFile(scratch, *bytes); });
    if (error) return failWithSystemError(context, result, Variant::int32(0), error);
    result = Variant::int32(1);
    return 0;
}

} // namespace

int builtinFileInstall(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring_view source = textArg(args, 0).view();
    const bool overwrite = optInt(args, 2, 0) != 0;
    result = Variant::int32(0);
    const std::wstring destination = fullPathOf(textArg(args, 1).view());
    if (isReservedName(source) || source.empty() || destination.empty())
        return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    const SourceKind kind = context.scriptSource();
    if (kind == SourceKind::OwnFile || kind == SourceKind::NamedFile)
        return installFromContainer(context, source, destination, overwrite, result);
    std::wstring path(source);
    if (isRelative(source)) path = withoutTrailingSeparators(context.scriptDir()) + L'\\' + path;
    TransferOutcome outcome = transferMatches(context, path, destination, FileTransfer::Copy, overwrite);
    if (outcome.handled == 0 && outcome.error == 0) outcome.error = ERROR_FILE_NOT_FOUND;
    if (outcome.error) return failWithSystemError(context, result, Variant::int32(0), outcome.error);
    result = Variant::int32(1);
    return 0;
}

} // namespace vexil
