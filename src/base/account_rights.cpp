#include "base/account_rights.h"

#include <windows.h>

#include <string>
#include <vector>

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

bool holdsPrivileges(std::initializer_list<std::wstring_view> names) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> block(size ? size : 1);
    const bool read = GetTokenInformation(token, TokenPrivileges, block.data(), size, &size);
    CloseHandle(token);
    if (!read) return false;
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(block.data());
    for (std::wstring_view name : names) {
        LUID luid;
        if (!LookupPrivilegeValueW(nullptr, std::wstring(name).c_str(), &luid)) return false;
        bool found = false;
        for (DWORD i = 0; i < held->PrivilegeCount && !found; ++i) {
            const LUID& have = held->Privileges[i].Luid;
            found = have.LowPart == luid.LowPart && have.HighPart == luid.HighPart;
        }
        if (!found) return false;
    }
    return true;
}

PrivilegeForCall::PrivilegeForCall(const wchar_t* name) {
    HANDLE token = nullptr;
    LUID luid;
    if (!LookupPrivilegeValueW(nullptr, name, &luid) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        error_ = GetLastError();
        return;
    }
    token_ = token;
    luidLow_ = static_cast<long>(luid.LowPart);
    luidHigh_ = luid.HighPart;
    TOKEN_PRIVILEGES on{1, {{luid, SE_PRIVILEGE_ENABLED}}};
    TOKEN_PRIVILEGES before{};
    DWORD size = sizeof(before);
    // Succeeds with ERROR_NOT_ALL_ASSIGNED when the token does not hold the privilege.
    const bool adjusted = AdjustTokenPrivileges(token, FALSE, &on, sizeof(before), &before, &size);
    error_ = GetLastError();
    enabled_ = adjusted && error_ == ERROR_SUCCESS;
    wasEnabled_ = enabled_ && before.PrivilegeCount == 0; // nothing changed: it was on already
    if (!enabled_ && error_ == ERROR_SUCCESS) error_ = ERROR_NOT_ALL_ASSIGNED;
}

PrivilegeForCall::~PrivilegeForCall() {
    if (!token_) return;
    if (enabled_ && !wasEnabled_) {
        LUID luid{static_cast<DWORD>(luidLow_), luidHigh_};
        TOKEN_PRIVILEGES off{1, {{luid, 0}}};
        AdjustTokenPrivileges(token_, FALSE, &off, 0, nullptr, nullptr);
    }
    CloseHandle(token_);
}

} // namespace vexil
