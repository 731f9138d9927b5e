#include "app/out_of_memory.h"

#include <windows.h>

#include <initializer_list>
#include <new>

namespace vexil {

namespace {

[[noreturn]] void outOfMemory() {
    MessageBoxW(nullptr, L"Error allocating memory.", L"Vexil", MB_ICONERROR);
    ExitProcess(1);
}

int __cdecl outOfMemoryFromMalloc(size_t) { outOfMemory(); }

using CrtNewHandler = int(__cdecl*)(size_t);
using SetCrtNewHandler = CrtNewHandler(__cdecl*)(CrtNewHandler);
using SetCrtNewMode = int(__cdecl*)(int);

// The C runtime's handler setters are exported under C++ names that MinGW cannot link to.
FARPROC crtExport(HMODULE crt, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (FARPROC p = GetProcAddress(crt, name)) return p;
    return nullptr;
}

} // namespace

void installOutOfMemoryHandler() {
    std::set_new_handler(outOfMemory);
    HMODULE crt = GetModuleHandleW(L"msvcrt.dll");
    if (!crt) return;
    auto setHandler = reinterpret_cast<SetCrtNewHandler>(reinterpret_cast<void*>(
        crtExport(crt, {"?_set_new_handler@@YAP6AH_K@ZP6AH_K@Z@Z", "_set_new_handler"})));
    auto setMode = reinterpret_cast<SetCrtNewMode>(
        reinterpret_cast<void*>(crtExport(crt, {"?_set_new_mode@@YAHH@Z", "_set_new_mode"})));
    if (setHandler && setMode) {
        setHandler(outOfMemoryFromMalloc);
        setMode(1); // malloc failures call the handler too
    }
}

} // namespace vexil
