// SHUTDOWN: log off, shut down, restart, power off, suspend or hibernate the machine.
#include "base/account_rights.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

namespace vexil {

namespace {

constexpr int32_t kLogOffBits = 0;
constexpr int32_t kShutDown = 1;
constexpr int32_t kReboot = 2;
constexpr int32_t kForce = 4;
constexpr int32_t kPowerDown = 8;
constexpr int32_t kForceIfHung = 16;
constexpr int32_t kSuspend = 32;
constexpr int32_t kHibernate = 64;
constexpr int32_t kKnownBits = kShutDown | kReboot | kForce | kPowerDown | kForceIfHung | kSuspend | kHibernate;
constexpr DWORD kPlannedReason = 0x80000000;   // SHTDN_REASON_FLAG_PLANNED
constexpr DWORD kUserDefinedFlag = 0x40000000; // SHTDN_REASON_FLAG_USER_DEFINED

bool act(int32_t code, DWORD reason) {
    if (code == kSuspend) return SetSystemPowerState(TRUE, FALSE);
    if (code == kHibernate) return SetSystemPowerState(FALSE, FALSE);
    if (code & (kShutDown | kReboot | kPowerDown))
        return InitiateSystemShutdownExW(nullptr, nullptr, 0, (code & (kForce | kForceIfHung)) != 0,
                                         (code & kReboot) != 0, reason);
    static_assert(kLogOffBits == EWX_LOGOFF);
    return ExitWindowsEx(static_cast<UINT>(code), reason);
}

} // namespace

int builtinShutdown(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const int32_t code = args[0].dereferenced().toInt32();
    const DWORD reason = given(args, 1) ? static_cast<DWORD>(args[1].dereferenced().toInt32()) | kUserDefinedFlag
                                        : kPlannedReason;
    // A code with a bit of no meaning is refused before anything is asked of the system.
    if (code & ~kKnownBits) return context.fail(result, Variant::int32(0), ERROR_INVALID_PARAMETER);
    if (context.fenced()) return context.fail(result, Variant::int32(0), ERROR_ACCESS_DENIED);
    PrivilegeForCall shutdown(SE_SHUTDOWN_NAME);
    if (!shutdown.enabled()) return context.fail(result, Variant::int32(0), static_cast<int32_t>(shutdown.error()));
    if (act(code, reason)) return 0;
    const DWORD error = GetLastError();
    return context.fail(result, Variant::int32(0), error ? static_cast<int32_t>(error) : 1);
}

} // namespace vexil
