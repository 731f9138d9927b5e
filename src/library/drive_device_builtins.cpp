// Drives as devices: their type and bus, their label, the CD tray. Changing a label or moving a
// tray acts outside the run, so a fenced run refuses both once it has checked its arguments.
#include "engine/builtins/builtin_api.h"
#include "library/drive_names.h"

#include <windows.h>
#include <winioctl.h>

#include <mmsystem.h>

#include <string>

namespace vexil {

namespace {

const wchar_t* driveTypeName(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return L"Removable";
    case DRIVE_FIXED: return L"Fixed";
    case DRIVE_REMOTE: return L"Network";
    case DRIVE_CDROM: return L"CDROM";
    case DRIVE_RAMDISK: return L"RAMDisk";
    default: return L"Unknown";
    }
}

const wchar_t* busTypeName(STORAGE_BUS_TYPE bus) {
    static const wchar_t* const kNames[] = {L"Unknown", L"SCSI",    L"ATAPI", L"ATA",     L"1394",  L"SSA",
                                            L"Fibre",   L"USB",     L"RAID",  L"iSCSI",   L"SAS",   L"SATA",
                                            L"SD",      L"MMC",     L"Virtual", L"FileBackedVirtual"};
    const auto index = static_cast<size_t>(bus);
    return index < std::size(kNames) ? kNames[index] : L"Unknown";
}

// The bus a drive's disk hangs on, asked of the volume's device; empty when it will not say.
std::wstring busTypeOf(const std::wstring& root) {
    std::wstring device = L"\\\\.\\" + root.substr(0, 2);
    HANDLE h = CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DEVICE_DESCRIPTOR descriptor = {};
    DWORD got = 0;
    BOOL ok = DeviceIoControl(h, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &descriptor, sizeof(descriptor),
                              &got, nullptr);
    CloseHandle(h);
    return ok && got >= offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(descriptor.BusType)
               ? busTypeName(descriptor.BusType)
               : std::wstring();
}

bool isDriveLetterRoot(const std::wstring& root) { return root.size() == 3 && root[1] == L':'; }

} // namespace

int builtinDriveGetType(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring root = driveRootOf(textArg(args, 0).view());
    const int32_t operation = optInt(args, 1, 0);
    result = textValue(L"");
    if (root.empty()) return context.fail(1);
    const UINT saved = SetErrorMode(SEM_FAILCRITICALERRORS);
    const UINT type = GetDriveTypeW(root.c_str());
    std::wstring text = type == DRIVE_NO_ROOT_DIR ? std::wstring()
                        : operation == 0         ? std::wstring(driveTypeName(type))
                        : isDriveLetterRoot(root) ? busTypeOf(root)
                                                 : std::wstring();
    SetErrorMode(saved);
    if (text.empty()) return context.fail(1);
    result = textValue(text);
    return 0;
}

int builtinDriveSetLabel(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring root = driveRootOf(textArg(args, 0).view());
    const std::wstring label(textArg(args, 1).view());
    result = Variant::int32(0);
    if (root.empty() || label.find(L'\0') != std::wstring::npos || context.fenced()) return 0;
    const UINT saved = SetErrorMode(SEM_FAILCRITICALERRORS);
    // An empty label clears it; given as a text, as some systems fault on none at all.
    BOOL ok = SetVolumeLabelW(root.c_str(), label.c_str());
    SetErrorMode(saved);
    result = Variant::int32(ok ? 1 : 0);
    return 0;
}

int builtinCdTray(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring root = driveRootOf(textArg(args, 0).view());
    const std::wstring_view action = textArg(args, 1).view();
    const bool open = action.size() == 4 && _wcsnicmp(action.data(), L"open", 4) == 0;
    const bool closed = action.size() == 6 && _wcsnicmp(action.data(), L"closed", 6) == 0;
    result = Variant::int32(0);
    if (!isDriveLetterRoot(root) || (!open && !closed)) return 0;
    if (context.fenced()) return 0;
    const UINT saved = SetErrorMode(SEM_FAILCRITICALERRORS);
    const bool isCd = GetDriveTypeW(root.c_str()) == DRIVE_CDROM;
    SetErrorMode(saved);
    if (!isCd) return 0;
    std::wstring command = L"open " + root.substr(0, 2) + L" type cdaudio alias vexil_cd wait";
    bool ok = mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
    if (ok) {
        ok = mciSendStringW(open ? L"set vexil_cd door open wait" : L"set vexil_cd door closed wait", nullptr, 0, nullptr) == 0;
        mciSendStringW(L"close vexil_cd wait", nullptr, 0, nullptr);
    }
    result = Variant::int32(ok ? 1 : 0);
    return 0;
}

} // namespace vexil
