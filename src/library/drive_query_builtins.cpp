// What the system tells about drives: the list by type, file system, label, serial number, space
// and status. Critical-error boxes (a drive without a medium) stay away during each query.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/drive_names.h"

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

namespace vexil {

namespace {

class QuietDrives {
public:
    QuietDrives() : saved_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietDrives() { SetErrorMode(saved_); }
    QuietDrives(const QuietDrives&) = delete;
    QuietDrives& operator=(const QuietDrives&) = delete;

private:
    UINT saved_;
};

struct VolumeFacts {
    std::wstring label;
    std::wstring fileSystem;
    DWORD serial = 0;
    DWORD flags = 0;
};

bool readVolume(BuiltinArgs args, VolumeFacts& facts) {
    const std::wstring root = driveRootOf(textArg(args, 0).view());
    if (root.empty()) return false;
    QuietDrives quiet;
    wchar_t label[MAX_PATH + 1] = {}, fileSystem[MAX_PATH + 1] = {};
    DWORD maxComponent = 0;
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &facts.serial, &maxComponent, &facts.flags,
                               fileSystem, MAX_PATH + 1))
        return false;
    facts.label = label;
    facts.fileSystem = fileSystem;
    return true;
}

// Megabytes free for the caller, or in all; false when the drive cannot tell.
bool readSpace(BuiltinArgs args, bool total, double& megabytes) {
    std::wstring root = driveRootOf(textArg(args, 0).view());
    if (root.empty()) return false;
    QuietDrives quiet;
    ULARGE_INTEGER available, all, free;
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &all, &free)) return false;
    megabytes = static_cast<double>(total ? all.QuadPart : available.QuadPart) / (1024.0 * 1024.0);
    return true;
}

struct DriveType {
    const wchar_t* name;
    UINT type;
};
constexpr DriveType kDriveTypes[] = {
    {L"Unknown", DRIVE_UNKNOWN}, {L"Removable", DRIVE_REMOVABLE}, {L"Fixed", DRIVE_FIXED},
    {L"Network", DRIVE_REMOTE},  {L"CDROM", DRIVE_CDROM},         {L"RAMDisk", DRIVE_RAMDISK},
};

} // namespace

int builtinDriveGetDrive(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring_view wanted = textArg(args, 0).view();
    bool all = _wcsnicmp(wanted.data(), L"all", 4) == 0 && wanted.size() == 3;
    const DriveType* kind = nullptr;
    for (const DriveType& t : kDriveTypes)
        if (wanted.size() == wcslen(t.name) && _wcsnicmp(wanted.data(), t.name, wanted.size()) == 0) kind = &t;
    if (!all && !kind) return context.fail(result, textValue(L""));
    QuietDrives quiet;
    std::vector<Variant> roots = {Variant::int32(0)};
    wchar_t list[27 * 4 + 1] = {};
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(list) - 1), list);
    for (const wchar_t* root = list; length > 0 && *root; root += wcslen(root) + 1) {
        if (!all && GetDriveTypeW(root) != kind->type) continue;
        std::wstring drive = root;
        drive.resize(2); // "c:"
        drive[0] = static_cast<wchar_t>(std::towlower(drive[0]));
        roots.push_back(textValue(drive));
    }
    roots[0] = Variant::int32(static_cast<int32_t>(roots.size() - 1));
    if (roots.size() == 1) return context.fail(result, textValue(L""));
    result = arrayOf(std::move(roots));
    return 0;
}

int builtinDriveGetFileSystem(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    VolumeFacts facts;
    if (!readVolume(args, facts)) return context.fail(result, textValue(L""));
    result = textValue(facts.fileSystem);
    return 0;
}

int builtinDriveGetLabel(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    VolumeFacts facts;
    if (!readVolume(args, facts)) return context.fail(result, textValue(L""));
    result = textValue(facts.label);
    return 0;
}

int builtinDriveGetSerial(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    VolumeFacts facts;
    if (!readVolume(args, facts)) return context.fail(result, textValue(L""));
    result = textValue(std::to_wstring(facts.serial));
    return 0;
}

int builtinDriveSpaceFree(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    double megabytes = 0;
    if (!readSpace(args, false, megabytes)) return context.fail(result, Variant::int32(0));
    result = Variant::real(megabytes);
    return 0;
}

int builtinDriveSpaceTotal(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    double megabytes = 0;
    if (!readSpace(args, true, megabytes)) return context.fail(result, Variant::int32(0));
    result = Variant::real(megabytes);
    return 0;
}

int builtinDriveStatus(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const std::wstring root = driveRootOf(textArg(args, 0).view());
    QuietDrives quiet;
    DWORD sectors, bytes, free, clusters;
    const wchar_t* status = L"INVALID";
    if (!root.empty() && GetDiskFreeSpaceW(root.c_str(), &sectors, &bytes, &free, &clusters)) {
        VolumeFacts facts;
        status = readVolume(args, facts) && (facts.flags & FILE_READ_ONLY_VOLUME) ? L"READONLY" : L"READY";
    } else if (!root.empty()) {
        switch (GetLastError()) {
        case ERROR_NOT_READY: status = L"NOTREADY"; break;
        case ERROR_WRITE_PROTECT: status = L"READONLY"; break;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH: status = L"INVALID"; break;
        default: status = L"UNKNOWN"; break;
        }
    }
    result = textValue(status);
    return 0;
}

} // namespace vexil
