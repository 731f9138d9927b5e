#pragma once
// What the fuzz driver treats as a finding, caught where it happens: a native exception or a
// failed assertion, a run that ignores its budget (a watchdog thread), and an allocation out of
// all proportion to what the process holds (a size taken from an argument without a bound). A
// script that fills memory step by step (a text doubled in a loop) is no fault of the engine: it
// ends the process too, as vexil.exe ends on running out of memory, but the harness only counts
// it. Each ends the process at once with its own exit code and a line on standard error; the
// script being run is left in the driver's scratch file for the harness.
#include <cstdint>
#include <string>

namespace vexil::fuzz {

namespace FindingCode {
constexpr int Crash = 3;      // a native exception or a failed assertion
constexpr int Hang = 4;       // one script ran far past its budget
constexpr int Allocation = 5; // one request above kModestAllocation and 4 times the live memory
constexpr int Memory = 6;     // the live memory would pass kMemoryCeiling: counted, not a fault
} // namespace FindingCode

// The largest array the engine allows (16,777,216 elements) takes 384 MiB.
constexpr size_t kModestAllocation = size_t{1} << 30;
constexpr size_t kMemoryCeiling = size_t{3} << 30;

// Installs the handlers and starts the watchdog; `hangMilliseconds` is how much processor time one
// script may take before it counts as ignoring its budget (or six times that on the wall clock).
void installCrashGuard(uint32_t hangMilliseconds);
// The script about to run (its index in this run, for the finding's line).
void scriptStarting(uint64_t index);
void scriptFinished();

} // namespace vexil::fuzz
