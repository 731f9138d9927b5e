#pragma once
// What the account this program runs as may do: membership of the local Administrators group,
// and privileges held by its token or switched on for one operation.
#include <initializer_list>
#include <string_view>

namespace vexil {

bool isAdministratorsMember();

// Whether this process's token holds every one of the named privileges (switched on or not).
bool holdsPrivileges(std::initializer_list<std::wstring_view> names);

// Switches a privilege of this process's token on for its own lifetime, then back as it was.
class PrivilegeForCall {
public:
    explicit PrivilegeForCall(const wchar_t* name);
    ~PrivilegeForCall();
    PrivilegeForCall(const PrivilegeForCall&) = delete;
    PrivilegeForCall& operator=(const PrivilegeForCall&) = delete;

    // The privilege is on (the token holds it and let it be switched on).
    bool enabled() const { return enabled_; }
    // The system's error code when it is not.
    unsigned long error() const { return error_; }

private:
    void* token_ = nullptr;
    bool enabled_ = false;
    bool wasEnabled_ = false;
    unsigned long error_ = 0;
    long luidLow_ = 0;
    long luidHigh_ = 0;
};

} // namespace vexil
