// Network drive maps: connecting a device to a share, cancelling it, asking where it points.
// They act outside the run, so a fenced run refuses them once it has checked its arguments.
#include "engine/builtins/builtin_api.h"

#include <windows.h>
#include <winnetwk.h>

#include <string>

namespace vexil {

namespace {

// A device, share, user or password no connection can take.
bool unfitText(std::wstring_view text) { return text.size() >= 32767 || text.find(L'\0') != std::wstring_view::npos; }

// The @ERROR of a failed connection: the common causes by number, the rest 1 with the system's
// code in @EXTENDED.
int32_t mapAddError(DWORD code) {
    switch (code) {
    case ERROR_ACCESS_DENIED: return 2;
    case ERROR_ALREADY_ASSIGNED:
    case ERROR_DEVICE_ALREADY_REMEMBERED: return 3;
    case ERROR_BAD_DEVICE: return 4;
    case ERROR_BAD_NET_NAME: return 5;
    case ERROR_INVALID_PASSWORD: return 6;
    default: return 1;
    }
}

} // namespace

int builtinDriveMapAdd(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring device(textArg(args, 0).view()), remote(textArg(args, 1).view());
    DWORD flags = static_cast<DWORD>(optInt(args, 2, 0));
    const std::wstring user = given(args, 3) ? std::wstring(textArg(args, 3).view()) : std::wstring();
    const std::wstring password = given(args, 4) ? std::wstring(textArg(args, 4).view()) : std::wstring();
    result = Variant::int32(0);
    if (unfitText(device) || unfitText(remote) || unfitText(user) || unfitText(password)) return context.fail(1);
    if (context.fenced()) return context.fail(1);
    const bool anyDevice = device.empty() || device == L"*";
    NETRESOURCEW resource = {};
    resource.dwType = _wcsnicmp(device.c_str(), L"LPT", 3) == 0 ? RESOURCETYPE_PRINT : RESOURCETYPE_DISK;
    resource.lpLocalName = anyDevice ? nullptr : const_cast<wchar_t*>(device.c_str());
    resource.lpRemoteName = const_cast<wchar_t*>(remote.c_str());
    if (device == L"*") flags |= CONNECT_REDIRECT;
    wchar_t access[256] = {};
    DWORD size = 256, outcome = 0;
    DWORD code = WNetUseConnectionW(nullptr, &resource, given(args, 4) ? password.c_str() : nullptr,
                                    given(args, 3) ? user.c_str() : nullptr, flags, access, &size, &outcome);
    if (code != NO_ERROR) {
        const int32_t error = mapAddError(code);
        if (error == 1) context.setExtended(Variant::int32(static_cast<int32_t>(code)));
        return context.fail(error);
    }
    if (device == L"*") result = textValue((outcome & CONNECT_LOCALDRIVE) ? access : L"");
    else result = Variant::int32(1);
    return 0;
}

int builtinDriveMapDel(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring device(textArg(args, 0).view());
    result = Variant::int32(0);
    if (unfitText(device) || context.fenced()) return context.fail(1);
    DWORD code = WNetCancelConnection2W(device.c_str(), CONNECT_UPDATE_PROFILE, TRUE);
    Sleep(10);
    if (code != NO_ERROR) {
        context.setExtended(Variant::int32(static_cast<int32_t>(code)));
        return context.fail(1);
    }
    result = Variant::int32(1);
    return 0;
}

int builtinDriveMapGet(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring device(textArg(args, 0).view());
    result = textValue(L"");
    if (unfitText(device) || context.fenced()) return context.fail(1);
    wchar_t remote[1024] = {};
    DWORD size = 1024;
    DWORD code = WNetGetConnectionW(device.c_str(), remote, &size);
    if (code != NO_ERROR) {
        context.setExtended(Variant::int32(static_cast<int32_t>(code)));
        return context.fail(1);
    }
    result = textValue(remote);
    return 0;
}

} // namespace vexil
