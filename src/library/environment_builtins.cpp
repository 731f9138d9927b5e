// The process environment and small system queries: ENVGET, ENVSET, ENVUPDATE, MEMGETSTATS,
// ISADMIN, BLOCKINPUT and DUMMYSPEEDTEST.
#include "base/account_rights.h"
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"

#include <windows.h>

namespace vexil {

int builtinEnvGet(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const std::wstring name(args[0].text().view());
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD n = GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n < value.size()) {
            value.resize(n); // 0 for a variable that is not set
            break;
        }
        value.assign(n, L'\0'); // n is the size needed, its terminator included
    }
    result = Variant::string(WString(value));
    return 0;
}

int builtinEnvSet(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const std::wstring name(args[0].text().view());
    const std::wstring value = args.size() > 1 ? std::wstring(args[1].text().view()) : std::wstring();
    result = Variant::int32(SetEnvironmentVariableW(name.c_str(), args.size() > 1 ? value.c_str() : nullptr) != 0);
    return 0;
}

int builtinEnvUpdate(BuiltinContext& context, BuiltinArgs, Variant& result) {
    // The broadcast reaches every program's windows, and waits for each that does not answer.
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    DWORD_PTR answer = 0;
    const bool sent = SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                                          SMTO_BLOCK, 15000, &answer) != 0;
    if (!sent) return context.fail(result, Variant::int32(0));
    result = Variant::int32(1);
    return 0;
}

int builtinMemGetStats(BuiltinContext& context, BuiltinArgs, Variant& result) {
    Sleep(0);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return context.fail(result, Variant::int32(0));
    const double kilobytes[] = {
        static_cast<double>(status.ullTotalPhys),     static_cast<double>(status.ullAvailPhys),
        static_cast<double>(status.ullTotalPageFile), static_cast<double>(status.ullAvailPageFile),
        static_cast<double>(status.ullTotalVirtual),  static_cast<double>(status.ullAvailVirtual),
    };
    std::vector<Variant> items;
    items.push_back(Variant::real(static_cast<double>(status.dwMemoryLoad)));
    for (double bytes : kilobytes) items.push_back(Variant::real(bytes / 1024.0));
    result = arrayOf(std::move(items));
    return 0;
}

int builtinIsAdmin(BuiltinContext&, BuiltinArgs, Variant& result) {
    result = Variant::int32(isAdministratorsMember() ? 1 : 0);
    return 0;
}

int builtinBlockInput(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    // The fuzzer's scripts never take the keyboard and mouse from the machine.
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    result = Variant::int32(BlockInput(args[0].toInt32() != 0) != 0);
    return 0;
}

int builtinDummySpeedTest(BuiltinContext&, BuiltinArgs, Variant& result) {
    result = Variant::int32(1);
    return 0;
}

} // namespace vexil
