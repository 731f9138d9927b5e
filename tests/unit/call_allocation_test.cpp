// A call of a user function takes nothing from the heap once the engine's stacks have grown: a
// script that makes five times as many calls (with defaults, a by-reference argument, nested
// calls, a local) makes no more allocations.
#include "loaded_script.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

void* operator new(size_t size) {
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

using namespace vexil;

namespace {

long allocationsOfRun(int calls) {
    TempFolder folder;
    const std::string script = "Func Add(ByRef $a, $b, $c = 1)\n"
                               "    Local $d = $a + $b\n"
                               "    If $d > 0 Then $d += $c\n"
                               "    Return $d\n"
                               "EndFunc\n"
                               "Func Nested($n)\n"
                               "    Return Add($n, Add(1, 2))\n"
                               "EndFunc\n"
                               "Local $total = 0\n"
                               "For $i = 1 To " + std::to_string(calls) + "\n"
                               "    $total = Add($total, Nested($i), 2) - $total\n"
                               "Next\n";
    LoadedScript loaded(folder.write(L"calls.vx3", script));
    allocations = 0;
    counting = true;
    loaded.engine.runScript();
    counting = false;
    EXPECT_EQ(loaded.startup.exitCode, 0);
    return allocations;
}

} // namespace

TEST(CallAllocation, MoreCallsTakeNoMoreFromTheHeap) {
    (void)allocationsOfRun(10); // what the process sets up once, on its first run
    const long few = allocationsOfRun(1000);
    const long many = allocationsOfRun(5000);
    EXPECT_GT(few, 0); // the count works: compiling and the first calls do allocate
    EXPECT_EQ(many, few);
}
