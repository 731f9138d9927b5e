#include "library/logon_start.h"

#include "base/account_rights.h"

#include <aclapi.h>
#include <userenv.h>

#include <vector>

namespace vexil {

namespace {

constexpr uint32_t kWithProfile = 1;
constexpr uint32_t kNetworkOnly = 2;
constexpr uint32_t kOwnEnvironment = 4;

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

void wipe(std::wstring& text) {
    if (!text.empty()) SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    text.clear();
}

// An environment block built from this process's token (freed by its owner), or none.
class OwnEnvironment {
public:
    explicit OwnEnvironment(bool wanted) {
        HANDLE token = nullptr;
        if (!wanted || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &token)) return;
        if (!CreateEnvironmentBlock(&block_, token, FALSE)) block_ = nullptr;
        CloseHandle(token);
    }
    ~OwnEnvironment() {
        if (block_) DestroyEnvironmentBlock(block_);
    }
    OwnEnvironment(const OwnEnvironment&) = delete;
    OwnEnvironment& operator=(const OwnEnvironment&) = delete;
    void* block() const { return block_; }

private:
    void* block_ = nullptr;
};

// A logon SID of the token (the group that stands for this logon session), copied.
std::vector<unsigned char> logonSid(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    std::vector<unsigned char> block(size ? size : 1);
    if (!GetTokenInformation(token, TokenGroups, block.data(), size, &size)) return {};
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(block.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if ((groups->Groups[i].Attributes & SE_GROUP_LOGON_ID) != SE_GROUP_LOGON_ID) continue;
        PSID sid = groups->Groups[i].Sid;
        const auto* bytes = static_cast<const unsigned char*>(sid);
        return std::vector<unsigned char>(bytes, bytes + GetLengthSid(sid));
    }
    return {};
}

// Adds an entry allowing `sid` everything to the access list of a window station or desktop.
bool grantAll(HANDLE object, PSID sid) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_WINDOW_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    EXPLICIT_ACCESS_W entry{};
    entry.grfAccessPermissions = GENERIC_ALL;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_GROUP;
    entry.Trustee.ptstrName = static_cast<LPWSTR>(sid);
    PACL grown = nullptr;
    bool ok = SetEntriesInAclW(1, &entry, dacl, &grown) == ERROR_SUCCESS &&
              SetSecurityInfo(object, SE_WINDOW_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, grown,
                              nullptr) == ERROR_SUCCESS;
    if (grown) LocalFree(grown);
    LocalFree(descriptor);
    return ok;
}

// Lets the new logon use the interactive window station and its default desktop.
void grantInteractiveDesktop(HANDLE token) {
    std::vector<unsigned char> sid = logonSid(token);
    if (sid.empty()) return;
    HWINSTA station = OpenWindowStationW(L"winsta0", FALSE, READ_CONTROL | WRITE_DAC);
    if (!station) return;
    grantAll(station, sid.data());
    // The desktop is opened in the station it belongs to.
    HWINSTA previous = GetProcessWindowStation();
    if (SetProcessWindowStation(station)) {
        if (HDESK desktop = OpenDesktopW(L"default", 0, FALSE, READ_CONTROL | WRITE_DAC)) {
            grantAll(desktop, sid.data());
            CloseDesktop(desktop);
        }
        SetProcessWindowStation(previous);
    }
    CloseWindowStation(station);
}

bool mayLogOnDirectly() {
    return holdsPrivileges({L"SeAssignPrimaryTokenPrivilege", L"SeIncreaseQuotaPrivilege", L"SeBackupPrivilege",
                            L"SeRestorePrivilege"}) &&
           isAdministratorsMember();
}

bool startWithLogonToken(const Credentials& credentials, ProgramStart& start, void* environment, DWORD& error) {
    const bool networkOnly = !(credentials.logonFlags & kWithProfile) && (credentials.logonFlags & kNetworkOnly);
    HANDLE token = nullptr;
    if (!LogonUserW(credentials.user.c_str(), orNull(credentials.domain), credentials.password.c_str(),
                    networkOnly ? LOGON32_LOGON_NEW_CREDENTIALS : LOGON32_LOGON_INTERACTIVE,
                    networkOnly ? LOGON32_PROVIDER_WINNT50 : LOGON32_PROVIDER_DEFAULT, &token)) {
        error = GetLastError();
        return false;
    }
    grantInteractiveDesktop(token);
    if (credentials.logonFlags & kWithProfile) {
        // The profile stays loaded for the program's life (its registry hive is the user's own).
        std::wstring user = credentials.user;
        PROFILEINFOW profile{};
        profile.dwSize = sizeof(profile);
        profile.dwFlags = PI_NOUI;
        profile.lpUserName = user.data();
        LoadUserProfileW(token, &profile);
    }
    wchar_t desktop[] = L"winsta0\\default";
    start.startup().lpDesktop = desktop;
    const DWORD flags = start.creationFlags() | CREATE_UNICODE_ENVIRONMENT;
    const bool created = CreateProcessAsUserW(token, nullptr, start.commandLine(), nullptr, nullptr,
                                              start.inheritHandles(), flags, environment, start.workingDir(),
                                              &start.startup(), &start.info());
    error = created ? 0 : GetLastError();
    start.startup().lpDesktop = nullptr;
    CloseHandle(token);
    return created;
}

DWORD logonOption(uint32_t flags) {
    if (flags & kWithProfile) return LOGON_WITH_PROFILE;
    if (flags & kNetworkOnly) return LOGON_NETCREDENTIALS_ONLY;
    return 0;
}

} // namespace

Credentials::~Credentials() {
    wipe(user);
    wipe(domain);
    wipe(password);
}

bool startAsUser(const Credentials& credentials, ProgramStart& start, DWORD& error) {
    OwnEnvironment environment(credentials.logonFlags & kOwnEnvironment);
    if (mayLogOnDirectly()) return startWithLogonToken(credentials, start, environment.block(), error);
    const bool created = CreateProcessWithLogonW(
        credentials.user.c_str(), orNull(credentials.domain), credentials.password.c_str(),
        logonOption(credentials.logonFlags), nullptr, start.commandLine(),
        start.creationFlags() | CREATE_UNICODE_ENVIRONMENT, environment.block(), start.workingDir(), &start.startup(),
        &start.info());
    error = created ? 0 : GetLastError();
    return created;
}

} // namespace vexil
