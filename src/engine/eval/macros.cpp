#include "engine/eval/macros.h"

#include "base/paths.h"
#include "engine/engine.h"
#include "engine/startup_state.h"
#include "engine/os_info.h"

#include <winsock2.h>
#include <windows.h>
#include <intrin.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace vexil {

namespace {

using MacroFunction = void (*)(Engine&, Variant&);

struct MacroEntry {
    std::wstring_view name;
    MacroFunction compute;
};

template <int N> void int32Macro(Engine&, Variant& r) { r = Variant::int32(N); }
void text(Variant& r, std::wstring_view t) { r = Variant::string(WString(t)); }

// Parts of the local time, as the C library formats them.
template <const wchar_t* Format> void timeMacro(Engine&, Variant& r) {
    time_t now = time(nullptr);
    wchar_t buffer[16] = L"";
    if (const tm* local = localtime(&now)) wcsftime(buffer, 16, Format, local);
    text(r, buffer);
}
constexpr wchar_t kSec[] = L"%S", kMin[] = L"%M", kHour[] = L"%H", kMday[] = L"%d", kMon[] = L"%m", kYear[] = L"%Y",
                  kYday[] = L"%j";

void msec(Engine&, Variant& r) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t buffer[8];
    swprintf(buffer, 8, L"%.3d", st.wMilliseconds);
    text(r, buffer);
}

void wday(Engine&, Variant& r) {
    time_t now = time(nullptr);
    const tm* local = localtime(&now);
    text(r, local ? std::to_wstring(local->tm_wday + 1) : L"0");
}

template <int Csidl> void folderMacro(Engine&, Variant& r) {
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, Csidl, nullptr, SHGFP_TYPE_CURRENT, path))) path[0] = 0;
    text(r, path);
}

std::wstring environment(const wchar_t* name) {
    wchar_t buffer[260];
    DWORD n = GetEnvironmentVariableW(name, buffer, 260);
    return n > 0 && n < 260 ? std::wstring(buffer, n) : std::wstring();
}

template <const wchar_t* Name> void environmentMacro(Engine&, Variant& r) { text(r, environment(Name)); }
constexpr wchar_t kComSpec[] = L"COMSPEC", kUserProfile[] = L"USERPROFILE", kHomeDrive[] = L"HOMEDRIVE",
                  kHomePath[] = L"HOMEPATH", kHomeShare[] = L"HOMESHARE", kLogonServer[] = L"LOGONSERVER",
                  kUserDomain[] = L"USERDOMAIN", kUserDnsDomain[] = L"USERDNSDOMAIN";

void computerName(Engine&, Variant& r) {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    text(r, GetComputerNameW(buffer, &n) ? std::wstring_view(buffer, n) : std::wstring_view());
}

void userName(Engine&, Variant& r) {
    wchar_t buffer[260];
    DWORD n = 260;
    text(r, GetUserNameW(buffer, &n) && n > 0 ? std::wstring_view(buffer, n - 1) : std::wstring_view());
}

void windowsDir(Engine&, Variant& r) {
    wchar_t buffer[260];
    UINT n = GetWindowsDirectoryW(buffer, 260);
    if (n > 0 && n < 260) text(r, std::wstring_view(buffer, n));
}

void systemDir(Engine& e, Variant& r) {
    wchar_t buffer[260];
    UINT n = 0;
    using Wow64Directory = UINT(WINAPI*)(LPWSTR, UINT);
    auto wow64 = reinterpret_cast<Wow64Directory>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemWow64DirectoryW")));
    if (e.osInfo() && e.osInfo()->wow64 && wow64) n = wow64(buffer, 260);
    else n = GetSystemDirectoryW(buffer, 260);
    text(r, n > 0 && n < 260 ? std::wstring_view(buffer, n) : std::wstring_view());
}

void tempDir(Engine&, Variant& r) {
    wchar_t buffer[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring_view path(buffer, n < MAX_PATH + 1 ? n : 0);
    if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    text(r, path);
}

void scriptLineNumber(Engine& e, Variant& r) {
    const ScriptLoader* loader = e.loader();
    int line = e.currentLine();
    r = Variant::int32(loader && loader->fileIndex(line) >= 0 ? loader->lineNumber(line) : -1);
}

void osVersion(Engine& e, Variant& r) {
    const OsInfo* os = e.osInfo();
    if (!os) return text(r, L"UNKNOWN");
    switch (os->version) {
    case WindowsVersion::Win81: return text(r, L"WIN_81");
    case WindowsVersion::Server2012R2: return text(r, L"WIN_2012R2");
    case WindowsVersion::Server2012: return text(r, L"WIN_2012");
    case WindowsVersion::Win8: return text(r, L"WIN_8");
    case WindowsVersion::Server2008R2: return text(r, L"WIN_2008R2");
    case WindowsVersion::Win7: return text(r, L"WIN_7");
    case WindowsVersion::Server2008: return text(r, L"WIN_2008");
    case WindowsVersion::Vista: return text(r, L"WIN_VISTA");
    case WindowsVersion::Server2003: return text(r, L"WIN_2003");
    case WindowsVersion::XP: return text(r, os->embedded ? L"WIN_XPe" : L"WIN_XP");
    default: return text(r, L"UNKNOWN");
    }
}

void osBuild(Engine& e, Variant& r) { r = Variant::int32(e.osInfo() ? static_cast<int32_t>(e.osInfo()->build) : 0); }
void osServicePack(Engine& e, Variant& r) { text(r, e.osInfo() ? e.osInfo()->servicePack : L""); }

void processorArch(Engine& e, Variant& r) {
    switch (e.osInfo() ? e.osInfo()->processorArchitecture : 0xFFFF) {
    case PROCESSOR_ARCHITECTURE_INTEL: return text(r, L"X86");
    case PROCESSOR_ARCHITECTURE_IA64: return text(r, L"IA64");
    case PROCESSOR_ARCHITECTURE_AMD64: return text(r, L"X64");
    default: return text(r, L"UNKNOWN");
    }
}

void cpuArch(Engine&, Variant& r) {
    int info[4] = {};
    __cpuid(info, static_cast<int>(0x80000001u));
    text(r, (info[3] & (1 << 29)) ? L"X64" : L"X86");
}

// A registry text value, or the empty text.
std::wstring registryText(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buffer[260];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return {};
    return buffer;
}

void osLang(Engine&, Variant& r) {
    text(r, registryText(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", L"InstallLanguage"));
}

void muiLang(Engine&, Variant& r) {
    DWORD id = 0, size = sizeof id;
    wchar_t buffer[8];
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Appearance", L"SchemeLangID", RRF_RT_ANY, nullptr, &id, &size) !=
        ERROR_SUCCESS)
        id = 0;
    swprintf(buffer, 8, L"%04X", static_cast<unsigned>(id & 0xFFFF));
    text(r, buffer);
}

void keyboardLayout(Engine&, Variant& r) {
    wchar_t buffer[KL_NAMELENGTH] = L"";
    GetKeyboardLayoutNameW(buffer);
    text(r, buffer);
}

void vexilVersion(Engine&, Variant& r) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0, size = GetFileVersionInfoSizeW(path, &handle);
    std::wstring version;
    std::vector<char> data(size);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (size && GetFileVersionInfoW(path, 0, size, data.data()) &&
        VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileVersion", reinterpret_cast<void**>(&value), &length)) {
        for (UINT i = 0; i < length && value[i]; ++i) {
            if (value[i] == L' ') continue;
            version += value[i] == L',' ? L'.' : value[i];
        }
    }
    text(r, version);
}

template <int N> void ipAddress(Engine&, Variant& r) {
    std::wstring address = L"0.0.0.0";
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) == 0) {
        char host[256];
        if (gethostname(host, sizeof host) == 0) {
            if (const hostent* entry = gethostbyname(host)) {
                int count = 0;
                while (entry->h_addr_list[count]) ++count;
                if (count >= N) {
                    in_addr a;
                    memcpy(&a, entry->h_addr_list[N - 1], sizeof a);
                    const char* dotted = inet_ntoa(a);
                    address.assign(dotted, dotted + strlen(dotted));
                }
            }
        }
        WSACleanup();
    }
    text(r, address);
}

template <int What> void desktopMacro(Engine&, Variant& r) {
    HWND desktop = GetDesktopWindow();
    if (What < 2) {
        RECT rect{};
        GetWindowRect(desktop, &rect);
        r = Variant::int32(What == 0 ? rect.right : rect.bottom);
        return;
    }
    HDC dc = GetDC(desktop);
    r = Variant::int32(GetDeviceCaps(dc, What == 2 ? BITSPIXEL : VREFRESH));
    ReleaseDC(desktop, dc);
}

void leaveAsGiven(Engine&, Variant&) {}

// The table in its fixed order: a name's position is its macro id.
constexpr MacroEntry kMacros[] = {
    {L"ERROR", [](Engine& e, Variant& r) { r = Variant::int32(e.status().error()); }},
    {L"EXTENDED", [](Engine& e, Variant& r) { r = e.status().extended(); }},
    {L"COM_EVENTOBJ", [](Engine& e, Variant& r) { r = e.eventSource(); }},
    {L"MSEC", msec}, {L"SEC", timeMacro<kSec>}, {L"MIN", timeMacro<kMin>}, {L"HOUR", timeMacro<kHour>},
    {L"MDAY", timeMacro<kMday>}, {L"MON", timeMacro<kMon>}, {L"YEAR", timeMacro<kYear>}, {L"WDAY", wday},
    {L"YDAY", timeMacro<kYday>},
    {L"PROGRAMFILESDIR", folderMacro<CSIDL_PROGRAM_FILES>}, {L"COMMONFILESDIR", folderMacro<CSIDL_PROGRAM_FILES_COMMON>},
    {L"MYDOCUMENTSDIR", folderMacro<CSIDL_PERSONAL>}, {L"APPDATACOMMONDIR", folderMacro<CSIDL_COMMON_APPDATA>},
    {L"DESKTOPCOMMONDIR", folderMacro<CSIDL_COMMON_DESKTOPDIRECTORY>},
    {L"DOCUMENTSCOMMONDIR", folderMacro<CSIDL_COMMON_DOCUMENTS>}, {L"FAVORITESCOMMONDIR", folderMacro<CSIDL_COMMON_FAVORITES>},
    {L"PROGRAMSCOMMONDIR", folderMacro<CSIDL_COMMON_PROGRAMS>}, {L"STARTMENUCOMMONDIR", folderMacro<CSIDL_COMMON_STARTMENU>},
    {L"STARTUPCOMMONDIR", folderMacro<CSIDL_COMMON_STARTUP>}, {L"LOCALAPPDATADIR", folderMacro<CSIDL_LOCAL_APPDATA>},
    {L"APPDATADIR", folderMacro<CSIDL_APPDATA>}, {L"DESKTOPDIR", folderMacro<CSIDL_DESKTOPDIRECTORY>},
    {L"FAVORITESDIR", folderMacro<CSIDL_FAVORITES>}, {L"PROGRAMSDIR", folderMacro<CSIDL_PROGRAMS>},
    {L"STARTMENUDIR", folderMacro<CSIDL_STARTMENU>}, {L"STARTUPDIR", folderMacro<CSIDL_STARTUP>},
    {L"COMPUTERNAME", computerName}, {L"WINDOWSDIR", windowsDir}, {L"SYSTEMDIR", systemDir},
    {L"SW_HIDE", int32Macro<0>}, {L"SW_MINIMIZE", int32Macro<6>}, {L"SW_MAXIMIZE", int32Macro<3>},
    {L"SW_RESTORE", int32Macro<9>}, {L"SW_SHOW", int32Macro<5>}, {L"SW_SHOWDEFAULT", int32Macro<10>},
    {L"SW_ENABLE", int32Macro<64>}, {L"SW_DISABLE", int32Macro<65>}, {L"SW_SHOWMAXIMIZED", int32Macro<3>},
    {L"SW_SHOWMINIMIZED", int32Macro<2>}, {L"SW_SHOWMINNOACTIVE", int32Macro<7>}, {L"SW_SHOWNA", int32Macro<8>},
    {L"SW_SHOWNOACTIVATE", int32Macro<4>}, {L"SW_SHOWNORMAL", int32Macro<1>}, {L"SW_LOCK", int32Macro<66>},
    {L"SW_UNLOCK", int32Macro<67>},
    {L"TRAYICONVISIBLE", [](Engine& e, Variant& r) { r = Variant::int32(e.startup().trayIconVisible); }},
    {L"TRAYICONFLASHING", [](Engine& e, Variant& r) { r = Variant::int32(e.startup().trayIconFlashing); }},
    {L"SCRIPTFULLPATH", [](Engine& e, Variant& r) { text(r, e.scriptFullPath()); }},
    {L"SCRIPTNAME", [](Engine& e, Variant& r) { text(r, e.scriptName()); }},
    {L"SCRIPTDIR", [](Engine& e, Variant& r) { text(r, e.scriptDir()); }},
    {L"SCRIPTLINENUMBER", scriptLineNumber},
    {L"WORKINGDIR", [](Engine&, Variant& r) { text(r, currentDirectory()); }},
    {L"OSTYPE", [](Engine&, Variant& r) { text(r, L"WIN32_NT"); }},
    {L"OSVERSION", osVersion}, {L"OSBUILD", osBuild}, {L"OSSERVICEPACK", osServicePack}, {L"OSLANG", osLang},
    {L"PROCESSORARCH", processorArch}, {L"OSARCH", processorArch}, {L"CPUARCH", cpuArch},
    {L"KBLAYOUT", keyboardLayout}, {L"VEXILVERSION", vexilVersion},
    {L"VEXILEXE", [](Engine&, Variant& r) { text(r, programPath()); }},
    {L"IPADDRESS1", ipAddress<1>}, {L"IPADDRESS2", ipAddress<2>}, {L"IPADDRESS3", ipAddress<3>}, {L"IPADDRESS4", ipAddress<4>},
    {L"CR", [](Engine&, Variant& r) { text(r, L"\r"); }},
    {L"LF", [](Engine&, Variant& r) { text(r, L"\n"); }},
    {L"CRLF", [](Engine&, Variant& r) { text(r, L"\r\n"); }},
    {L"DESKTOPWIDTH", desktopMacro<0>}, {L"DESKTOPHEIGHT", desktopMacro<1>}, {L"DESKTOPDEPTH", desktopMacro<2>},
    {L"DESKTOPREFRESH", desktopMacro<3>},
    {L"COMPILED",
     [](Engine& e, Variant& r) {
         SourceKind k = e.sourceKind();
         r = Variant::int32(k == SourceKind::NamedFile || k == SourceKind::OwnFile ? 1 : 0);
     }},
    {L"COMSPEC", environmentMacro<kComSpec>},
    {L"TAB", [](Engine&, Variant& r) { text(r, L"\t"); }},
    {L"USERNAME", userName}, {L"TEMPDIR", tempDir}, {L"USERPROFILEDIR", environmentMacro<kUserProfile>},
    {L"HOMEDRIVE", environmentMacro<kHomeDrive>}, {L"HOMEPATH", environmentMacro<kHomePath>},
    {L"HOMESHARE", environmentMacro<kHomeShare>}, {L"LOGONSERVER", environmentMacro<kLogonServer>},
    {L"LOGONDOMAIN", environmentMacro<kUserDomain>}, {L"LOGONDNSDOMAIN", environmentMacro<kUserDnsDomain>},
    {L"INETGETBYTESREAD", leaveAsGiven}, {L"INETGETACTIVE", leaveAsGiven},
    {L"NUMPARAMS", [](Engine& e, Variant& r) { r = Variant::int32(e.numParams()); }},
    {L"HOTKEYPRESSED", [](Engine& e, Variant& r) { text(r, e.lastHotKey()); }},
    {L"VEXILPID", [](Engine&, Variant& r) { r = Variant::real(GetCurrentProcessId()); }},
    {L"VEXILUNICODE", int32Macro<1>}, {L"VEXILX64", int32Macro<1>}, {L"UNICODE", int32Macro<1>},
    {L"MUILANG", muiLang},
};
constexpr int kMacroCount = static_cast<int>(std::size(kMacros));
static_assert(kMacroCount == 98);

// Macro ids in name order, for the lexer's binary search; the table itself keeps its grouping.
constexpr std::array<uint8_t, kMacroCount> kIdsByName = [] {
    std::array<uint8_t, kMacroCount> ids{};
    for (int id = 0; id < kMacroCount; ++id) ids[static_cast<size_t>(id)] = static_cast<uint8_t>(id);
    std::sort(ids.begin(), ids.end(), [](uint8_t a, uint8_t b) { return kMacros[a].name < kMacros[b].name; });
    return ids;
}();

static_assert(std::adjacent_find(kIdsByName.begin(), kIdsByName.end(),
                                 [](uint8_t a, uint8_t b) { return kMacros[a].name == kMacros[b].name; }) ==
                  kIdsByName.end(),
              "two macros share a name");

} // namespace

int findMacro(std::wstring_view upperName) {
    auto it = std::lower_bound(kIdsByName.begin(), kIdsByName.end(), upperName,
                               [](uint8_t id, std::wstring_view name) { return kMacros[id].name < name; });
    return it != kIdsByName.end() && kMacros[*it].name == upperName ? *it : -1;
}

MacroResult readMacro(Engine& engine, int id, Variant& result) {
    if (id < 0 || id >= kMacroCount) return MacroResult::Unknown;
    kMacros[id].compute(engine, result);
    return MacroResult::Value;
}

} // namespace vexil
