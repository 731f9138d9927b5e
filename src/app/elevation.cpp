#include "app/elevation.h"

#include <windows.h>
#include <shellapi.h>

namespace vexil {

bool isAdministratorsMember() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &admins))
        return false;
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
    FreeSid(admins);
    return member;
}

bool relaunchElevated(const std::wstring& programPath, const std::wstring& parameters, const std::wstring& directory) {
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(GetForegroundWindow(), L"runas", programPath.c_str(),
                                                          parameters.c_str(), directory.c_str(), SW_SHOWNORMAL));
    return result > 32;
}

} // namespace vexil
