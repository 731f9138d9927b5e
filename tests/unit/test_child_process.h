#pragma once
// The test bench's console child started with arguments, and ended with the object if it still
// runs. The prefix holds the programs of build/ in C:\vexil (the unit tests themselves run from
// a path outside its drives). The child gets no console: under Wine the console host of a child
// ended from outside may outlive it, holding the test's output open.
#include <windows.h>

#include <string>

class TestChild {
public:
    explicit TestChild(const std::wstring& arguments) {
        std::wstring commandLine = L"\"C:\\vexil\\vexil-test-child.exe\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                            &startup, &info_))
            info_ = {};
        else
            CloseHandle(info_.hThread);
    }
    ~TestChild() {
        if (!info_.hProcess) return;
        if (running()) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hProcess);
    }
    TestChild(const TestChild&) = delete;
    TestChild& operator=(const TestChild&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    bool running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

private:
    PROCESS_INFORMATION info_{};
};
