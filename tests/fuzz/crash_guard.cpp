#include "crash_guard.h"

#include <windows.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace vexil::fuzz {

namespace {

std::atomic<uint64_t> currentIndex{0};
std::atomic<uint64_t> startedAt{0}; // GetTickCount64 when the script started; 0 between scripts
std::atomic<size_t> liveBytes{0};
uint32_t hangLimit = 0;

[[noreturn]] void finding(int code, const char* what, unsigned long long detail) {
    std::fprintf(stderr, "FINDING %s index=%llu detail=0x%llx\n", what,
                 static_cast<unsigned long long>(currentIndex.load()), detail);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    std::abort();
}

// A failed assertion, of ours or of the standard library's checks, ends in abort().
void aborted(int) { finding(FindingCode::Crash, "assertion", 0); }

LONG WINAPI unhandledException(EXCEPTION_POINTERS* pointers) {
    finding(FindingCode::Crash, "crash", pointers->ExceptionRecord->ExceptionCode);
}

DWORD WINAPI watchdog(void*) {
    for (;;) {
        Sleep(100);
        const uint64_t started = startedAt.load();
        if (started && GetTickCount64() - started > hangLimit) finding(FindingCode::Hang, "hang", GetTickCount64() - started);
    }
}

void outOfMemory() { finding(FindingCode::Memory, "memory", liveBytes.load()); }

} // namespace

void installCrashGuard(uint32_t hangMilliseconds) {
    hangLimit = hangMilliseconds;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ULONG stackForHandler = 64 * 1024; // room to report a stack overflow
    SetThreadStackGuarantee(&stackForHandler);
    SetUnhandledExceptionFilter(unhandledException);
    std::signal(SIGABRT, aborted);
    std::set_new_handler(outOfMemory);
    CloseHandle(CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr));
}

void scriptStarting(uint64_t index) {
    currentIndex = index;
    startedAt = GetTickCount64();
}

void scriptFinished() { startedAt = 0; }

} // namespace vexil::fuzz

// Every allocation of the process goes through here, so that one the engine did not bound is
// caught at the request, and a script that eats all memory ends the run before the machine suffers.
void* operator new(size_t size) {
    using namespace vexil::fuzz;
    const size_t live = liveBytes.load();
    if (size > kModestAllocation && size / 4 > live) finding(FindingCode::Allocation, "allocation", size);
    if (size > kMemoryCeiling - std::min(live, kMemoryCeiling)) outOfMemory();
    void* memory = std::malloc(size ? size : 1);
    if (!memory) outOfMemory();
    liveBytes.fetch_add(_msize(memory));
    return memory;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return operator new(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return operator new(size); }
void operator delete(void* memory) noexcept {
    if (!memory) return;
    vexil::fuzz::liveBytes.fetch_sub(_msize(memory));
    std::free(memory);
}
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete(void* memory, size_t) noexcept { operator delete(memory); }
void operator delete[](void* memory, size_t) noexcept { operator delete(memory); }
