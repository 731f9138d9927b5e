// vexil-launch.exe: runs one command line on the Windows side and reports its full 32-bit exit
// code, which a Unix exit status would cut to 8 bits.
//
// Environment: VEXIL_LAUNCH_CMDLINE, the exact command line (program first);
//              VEXIL_LAUNCH_TIMEOUT_MS, after which the child is ended (default 30000).
// The child shares this program's standard streams. The last line on standard error is
// "@@vexil-launch exit=N" (N signed), or "@@vexil-launch timeout".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

static std::wstring environment(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return (n > 0 && n < 32768) ? std::wstring(buffer, n) : std::wstring();
}

int wmain() {
    std::wstring commandLine = environment(L"VEXIL_LAUNCH_CMDLINE");
    std::wstring timeoutText = environment(L"VEXIL_LAUNCH_TIMEOUT_MS");
    DWORD timeout = timeoutText.empty() ? 30000 : static_cast<DWORD>(wcstoul(timeoutText.c_str(), nullptr, 10));
    if (commandLine.empty()) {
        fprintf(stderr, "vexil-launch: VEXIL_LAUNCH_CMDLINE is not set\n");
        return 2;
    }
    SetEnvironmentVariableW(L"VEXIL_LAUNCH_CMDLINE", nullptr);
    SetEnvironmentVariableW(L"VEXIL_LAUNCH_TIMEOUT_MS", nullptr);

    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "vexil-launch: cannot start (error %lu)\n", GetLastError());
        return 2;
    }
    CloseHandle(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, timeout) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 0xDEADu);
        WaitForSingleObject(pi.hProcess, 5000);
        fflush(stdout);
        fprintf(stderr, "\n@@vexil-launch timeout\n");
        return 3;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    fflush(stdout);
    fprintf(stderr, "\n@@vexil-launch exit=%ld\n", static_cast<long>(static_cast<int32_t>(code)));
    return static_cast<int>(code & 0xFF);
}
