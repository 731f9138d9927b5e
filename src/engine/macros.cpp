#include "engine/macros.h"

#include "engine/engine.h"
#include "library/paths.h"

#include <windows.h>

namespace vexil {

namespace {

using MacroFunction = void (*)(Engine&, Variant&);

struct MacroEntry {
    std::wstring_view name;
    MacroFunction compute; // nullptr: not available in this build
};

template <int N> void int32Macro(Engine&, Variant& r) { r = Variant::int32(N); }
void text(Variant& r, std::wstring_view t) { r = Variant::string(WString(t)); }

// The table in its fixed order: a name's position is its macro id.
constexpr MacroEntry kMacros[] = {
    {L"ERROR", [](Engine& e, Variant& r) { r = Variant::int32(e.status().error); }},
    {L"EXTENDED", [](Engine& e, Variant& r) { r = e.status().extended; }},
    {L"MSEC", nullptr}, {L"SEC", nullptr}, {L"MIN", nullptr}, {L"HOUR", nullptr}, {L"MDAY", nullptr},
    {L"MON", nullptr}, {L"YEAR", nullptr}, {L"WDAY", nullptr}, {L"YDAY", nullptr},
    {L"PROGRAMFILESDIR", nullptr}, {L"COMMONFILESDIR", nullptr}, {L"MYDOCUMENTSDIR", nullptr},
    {L"APPDATACOMMONDIR", nullptr}, {L"DESKTOPCOMMONDIR", nullptr}, {L"DOCUMENTSCOMMONDIR", nullptr},
    {L"FAVORITESCOMMONDIR", nullptr}, {L"PROGRAMSCOMMONDIR", nullptr}, {L"STARTMENUCOMMONDIR", nullptr},
    {L"STARTUPCOMMONDIR", nullptr}, {L"LOCALAPPDATADIR", nullptr}, {L"APPDATADIR", nullptr},
    {L"DESKTOPDIR", nullptr}, {L"FAVORITESDIR", nullptr}, {L"PROGRAMSDIR", nullptr}, {L"STARTMENUDIR", nullptr},
    {L"STARTUPDIR", nullptr}, {L"COMPUTERNAME", nullptr}, {L"WINDOWSDIR", nullptr}, {L"SYSTEMDIR", nullptr},
    {L"SW_HIDE", int32Macro<0>}, {L"SW_MINIMIZE", int32Macro<6>}, {L"SW_MAXIMIZE", int32Macro<3>},
    {L"SW_RESTORE", int32Macro<9>}, {L"SW_SHOW", int32Macro<5>}, {L"SW_SHOWDEFAULT", int32Macro<10>},
    {L"SW_ENABLE", int32Macro<64>}, {L"SW_DISABLE", int32Macro<65>}, {L"SW_SHOWMAXIMIZED", int32Macro<3>},
    {L"SW_SHOWMINIMIZED", int32Macro<2>}, {L"SW_SHOWMINNOACTIVE", int32Macro<7>}, {L"SW_SHOWNA", int32Macro<8>},
    {L"SW_SHOWNOACTIVATE", int32Macro<4>}, {L"SW_SHOWNORMAL", int32Macro<1>}, {L"SW_LOCK", int32Macro<66>},
    {L"SW_UNLOCK", int32Macro<67>}, {L"TRAYICONVISIBLE", nullptr}, {L"TRAYICONFLASHING", nullptr},
    {L"SCRIPTFULLPATH", [](Engine& e, Variant& r) { text(r, e.scriptFullPath()); }},
    {L"SCRIPTNAME", [](Engine& e, Variant& r) { text(r, e.scriptName()); }},
    {L"SCRIPTDIR", [](Engine& e, Variant& r) { text(r, e.scriptDir()); }},
    {L"SCRIPTLINENUMBER", nullptr},
    {L"WORKINGDIR", [](Engine&, Variant& r) { text(r, currentDirectory()); }},
    {L"OSTYPE", [](Engine&, Variant& r) { text(r, L"WIN32_NT"); }},
    {L"OSVERSION", nullptr}, {L"OSBUILD", nullptr}, {L"OSSERVICEPACK", nullptr}, {L"OSLANG", nullptr},
    {L"PROCESSORARCH", nullptr}, {L"OSARCH", nullptr}, {L"CPUARCH", nullptr}, {L"KBLAYOUT", nullptr},
    {L"VEXILVERSION", nullptr},
    {L"VEXILEXE", [](Engine&, Variant& r) { text(r, programPath()); }},
    {L"IPADDRESS1", nullptr}, {L"IPADDRESS2", nullptr}, {L"IPADDRESS3", nullptr}, {L"IPADDRESS4", nullptr},
    {L"CR", [](Engine&, Variant& r) { text(r, L"\r"); }},
    {L"LF", [](Engine&, Variant& r) { text(r, L"\n"); }},
    {L"CRLF", [](Engine&, Variant& r) { text(r, L"\r\n"); }},
    {L"DESKTOPWIDTH", nullptr}, {L"DESKTOPHEIGHT", nullptr}, {L"DESKTOPDEPTH", nullptr}, {L"DESKTOPREFRESH", nullptr},
    {L"COMPILED",
     [](Engine& e, Variant& r) {
         SourceKind k = e.sourceKind();
         r = Variant::int32(k == SourceKind::NamedFile || k == SourceKind::OwnFile ? 1 : 0);
     }},
    {L"COMSPEC", nullptr},
    {L"TAB", [](Engine&, Variant& r) { text(r, L"\t"); }},
    {L"USERNAME", nullptr}, {L"TEMPDIR", nullptr}, {L"USERPROFILEDIR", nullptr}, {L"HOMEDRIVE", nullptr},
    {L"HOMEPATH", nullptr}, {L"HOMESHARE", nullptr}, {L"LOGONSERVER", nullptr}, {L"LOGONDOMAIN", nullptr},
    {L"LOGONDNSDOMAIN", nullptr}, {L"INETGETBYTESREAD", nullptr}, {L"INETGETACTIVE", nullptr},
    {L"NUMPARAMS", [](Engine& e, Variant& r) { r = Variant::int32(e.numParams()); }}, {L"HOTKEYPRESSED", nullptr},
    {L"VEXILPID", [](Engine&, Variant& r) { r = Variant::real(GetCurrentProcessId()); }},
    {L"VEXILUNICODE", int32Macro<1>}, {L"VEXILX64", int32Macro<1>}, {L"UNICODE", int32Macro<1>},
    {L"MUILANG", nullptr},
};
static_assert(std::size(kMacros) == 97);

} // namespace

MacroResult readMacro(Engine& engine, std::wstring_view name, Variant& result) {
    for (const auto& m : kMacros) {
        if (m.name != name) continue;
        if (!m.compute) return MacroResult::Unavailable;
        m.compute(engine, result);
        return MacroResult::Value;
    }
    return MacroResult::Unknown;
}

} // namespace vexil
