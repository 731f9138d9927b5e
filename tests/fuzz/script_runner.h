#pragma once
// Runs one script file the way vexil.exe runs it, in an engine of its own, with a budget: the
// fuzz driver calls this for every generated script, one after another in one process.
#include <cstdint>
#include <string>

namespace vexil::fuzz {

struct RunBudget {
    uint64_t lines = 20000;
    uint32_t milliseconds = 2000;
};

// How the run went, for the driver's figures.
enum class RunOutcome { LoadFailed, Ended };

RunOutcome runScriptFile(const std::wstring& path, const RunBudget& budget);

} // namespace vexil::fuzz
