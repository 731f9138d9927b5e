// vexil-launch.exe: runs one command line on the Windows side and reports its full 32-bit exit
// code, which a Unix exit status would cut to 8 bits.
//
// Environment: VEXIL_LAUNCH_CMDLINE, the exact command line (program first);
//              VEXIL_LAUNCH_TIMEOUT_MS, after which the child is ended (default 30000);
//              VEXIL_LAUNCH_ANSWER_BOXES: when set, every message box the child shows is written
//              to standard output ("[box: TITLE]", its text, "[/box]") and closed with its
//              default button, so that unattended runs can check the message-box forms;
//              VEXIL_LAUNCH_POSTS: "MS MESSAGE WPARAM LPARAM" entries separated by ";", in time
//              order: that many milliseconds after the start the message is posted to the
//              child's main window ("Vexil v3"), as when a user closes the program, chooses a
//              tray entry or Windows ends the session.
// The child shares this program's standard streams. The last line on standard error is
// "@@vexil-launch exit=N" (N signed), or "@@vexil-launch timeout".
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <cwchar>
#include <string>
#include <vector>

static std::wstring environment(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD n = GetEnvironmentVariableW(name, buffer, 32768);
    return (n > 0 && n < 32768) ? std::wstring(buffer, n) : std::wstring();
}

namespace {

// A visible (or any) top-level window of a process with a window class.
struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    if (pid == search->processId && wcscmp(cls, search->className) == 0 &&
        (!search->visibleOnly || IsWindowVisible(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findWindow(DWORD processId, const wchar_t* className, bool visibleOnly) {
    WindowSearch search{processId, className, visibleOnly, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Post {
    ULONGLONG afterMs;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Post> parsePosts(const std::wstring& text) {
    std::vector<Post> posts;
    const wchar_t* p = text.c_str();
    while (*p) {
        wchar_t* end = nullptr;
        Post post{};
        post.afterMs = wcstoull(p, &end, 0);
        post.message = static_cast<UINT>(wcstoul(end, &end, 0));
        post.wParam = static_cast<WPARAM>(wcstoull(end, &end, 0));
        post.lParam = static_cast<LPARAM>(wcstoull(end, &end, 0));
        posts.push_back(post);
        while (*end && *end != L';') ++end;
        p = *end ? end + 1 : end;
    }
    return posts;
}

// In the ANSI code page, as the program under test writes its own output.
void writeAnsi(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fflush(stdout);
}

// Reports and closes one message box of the process, if one is showing.
void answerBox(DWORD processId) {
    HWND box = findWindow(processId, L"#32770", true);
    if (!box) return;
    wchar_t title[512] = L"", text[8192] = L"";
    GetWindowTextW(box, title, 512);
    GetDlgItemTextW(box, 0xFFFF, text, 8192); // the message box's text control
    writeAnsi(std::wstring(L"[box: ") + title + L"]\n" + text + L"\n[/box]\n");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    Sleep(200);
}

} // namespace

int wmain() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
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
    // Under load Wine now and then fails a process start with an internal error: try again.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt) Sleep(300);
        started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    }
    if (!started) {
        fprintf(stderr, "vexil-launch: cannot start (error %lu)\n", GetLastError());
        return 2;
    }
    CloseHandle(pi.hThread);
    std::vector<Post> posts = parsePosts(environment(L"VEXIL_LAUNCH_POSTS"));
    SetEnvironmentVariableW(L"VEXIL_LAUNCH_POSTS", nullptr);
    const bool answerBoxes = !environment(L"VEXIL_LAUNCH_ANSWER_BOXES").empty();
    SetEnvironmentVariableW(L"VEXIL_LAUNCH_ANSWER_BOXES", nullptr);
    const ULONGLONG startTime = GetTickCount64();
    size_t nextPost = 0;
    while (nextPost < posts.size() || answerBoxes) {
        ULONGLONG elapsed = GetTickCount64() - startTime;
        if (elapsed >= timeout || WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
        // A post waits until the main window exists: a slow start must not lose it.
        for (HWND main; nextPost < posts.size() && posts[nextPost].afterMs <= elapsed &&
                        (main = findWindow(pi.dwProcessId, L"Vexil v3", false)) != nullptr;
             ++nextPost)
            PostMessageW(main, posts[nextPost].message, posts[nextPost].wParam, posts[nextPost].lParam);
        if (answerBoxes) answerBox(pi.dwProcessId);
    }
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
