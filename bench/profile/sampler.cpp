// vexil-sampler.exe OUT.txt COMMAND-LINE: runs the command and samples its main thread's
// instruction pointer about every millisecond until it ends; writes "address count" lines.
// A flat profile that works under Wine, where the usual profilers cannot see into the process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <map>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: vexil-sampler OUT.txt PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring commandLine;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) commandLine += L' ';
        commandLine += L'"';
        commandLine += argv[i];
        commandLine += L'"';
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        fwprintf(stderr, L"vexil-sampler: cannot start (%lu)\n", GetLastError());
        return 2;
    }
    std::map<DWORD64, unsigned> counts;
    std::wstring modules; // "base size name" lines, taken once the program has loaded its DLLs
    unsigned samples = 0;
    while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT) {
        if (samples == 50 && modules.empty()) {
            HMODULE handles[512];
            DWORD needed = 0;
            if (EnumProcessModulesEx(pi.hProcess, handles, sizeof(handles), &needed, LIST_MODULES_ALL)) {
                for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
                    MODULEINFO info{};
                    wchar_t name[MAX_PATH] = L"";
                    GetModuleInformation(pi.hProcess, handles[i], &info, sizeof(info));
                    GetModuleBaseNameW(pi.hProcess, handles[i], name, MAX_PATH);
                    wchar_t line[400];
                    swprintf(line, 400, L"module %llx %lx %ls\n", reinterpret_cast<unsigned long long>(info.lpBaseOfDll),
                             info.SizeOfImage, name);
                    modules += line;
                }
            }
        }
        if (SuspendThread(pi.hThread) == static_cast<DWORD>(-1)) break;
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(pi.hThread, &context)) {
            ++counts[context.Rip];
            ++samples;
        }
        ResumeThread(pi.hThread);
    }
    FILE* out = _wfopen(argv[1], L"w");
    if (!out) return 2;
    fputws(modules.c_str(), out);
    for (const auto& [address, count] : counts) fprintf(out, "%llx %u\n", static_cast<unsigned long long>(address), count);
    fclose(out);
    fwprintf(stderr, L"vexil-sampler: %u samples\n", samples);
    return 0;
}
