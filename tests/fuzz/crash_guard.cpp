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
std::atomic<uint64_t> cpuAtStart{0}; // the script thread's processor time then, in 100 ns units
std::atomic<size_t> liveBytes{0};
uint32_t hangLimit = 0;
HANDLE scriptThread = nullptr;
// A script that waits on something that never comes uses no processor time: the clock on the wall
// ends it too, with room for a machine so busy that a script gets a fraction of a processor.
constexpr uint64_t kWallClockFactor = 6;

uint64_t threadCpuTime() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(scriptThread, &created, &exited, &kernel, &user)) return 0;
    auto units = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return units(kernel) + units(user);
}

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
        // Processor time, not time on the wall: a script starved by a busy machine is not hanging.
        const uint64_t started = startedAt.load();
        if (!started) continue;
        const uint64_t cpuMilliseconds = (threadCpuTime() - cpuAtStart.load()) / 10000;
        const uint64_t wallMilliseconds = GetTickCount64() - started;
        if (cpuMilliseconds > hangLimit || wallMilliseconds > hangLimit * kWallClockFactor)
            finding(FindingCode::Hang, "hang", wallMilliseconds);
    }
}

void outOfMemory() { finding(FindingCode::Memory, "memory", liveBytes.load()); }

} // namespace

void installCrashGuard(uint32_t hangMilliseconds) {
    hangLimit = hangMilliseconds;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &scriptThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
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
    cpuAtStart = threadCpuTime();
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
