// vexil-fuzz.exe: runs generated scripts one after another in this process, each in an engine of
// its own with a budget, and ends at the first finding (crash_guard.h) with the script left in
// the scratch folder. Script N of a seed is the same on every run, so a run can go on after a
// finding from N + 1, and any script can be made again from its seed and index.
//
//   vexil-fuzz --corpus FOLDER --scratch FOLDER [--seed S] [--first N] [--count N]
//              [--typed PERCENT] [--lines N] [--ms N] [--hang MS] [--generate-only 1]
//   (--generate-only makes and counts the scripts of a run without running them: the calls a run
//   of that seed makes, in a minute)
//   vexil-fuzz --run FILE [--lines N] [--ms N] [--hang MS]      one script (the reducer's check)
#include "corpus.h"
#include "crash_guard.h"
#include "fuzz_random.h"
#include "script_mutator.h"
#include "script_runner.h"
#include "typed_calls.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

using namespace vexil::fuzz;

namespace {

struct Settings {
    std::wstring corpus, scratch, run;
    uint64_t seed = 1, first = 0, count = 1000;
    uint32_t typedPercent = 50;
    RunBudget budget;
    uint32_t hangMilliseconds = 20000;
    uint32_t generateOnly = 0;
};

bool parse(int argc, wchar_t** argv, Settings& s) {
    std::map<std::wstring, std::wstring> values;
    for (int i = 1; i + 1 < argc; i += 2) values[argv[i]] = argv[i + 1];
    if (argc % 2 == 0) return false;
    auto number = [&](const wchar_t* name, auto& into) {
        if (auto it = values.find(name); it != values.end()) into = static_cast<std::remove_reference_t<decltype(into)>>(std::wcstoull(it->second.c_str(), nullptr, 10));
    };
    s.corpus = values[L"--corpus"];
    s.scratch = values[L"--scratch"];
    s.run = values[L"--run"];
    number(L"--seed", s.seed);
    number(L"--first", s.first);
    number(L"--count", s.count);
    number(L"--typed", s.typedPercent);
    number(L"--lines", s.budget.lines);
    number(L"--ms", s.budget.milliseconds);
    number(L"--hang", s.hangMilliseconds);
    number(L"--generate-only", s.generateOnly);
    return !s.run.empty() || (!s.corpus.empty() && !s.scratch.empty());
}

// Each script's generator is seeded from the run's seed and the script's index alone.
uint64_t scriptSeed(uint64_t seed, uint64_t index) { return seed * 0x9E3779B97F4A7C15ull ^ (index + 1) * 0xBF58476D1CE4E5B9ull; }

// The calls made since the last report, which the harness adds up: a run that ends early on a
// finding loses at most the calls of its last thousand scripts.
void reportCalls(const std::vector<std::wstring>& names, std::vector<uint32_t>& callCounts) {
    // A script's ConsoleWriteError may have left a line open: the report starts on a line of its own.
    std::fwprintf(stderr, L"\n");
    for (size_t i = 0; i < names.size(); ++i) {
        if (callCounts[i] != 0) std::fwprintf(stderr, L"CALLS %ls %u\n", names[i].c_str(), callCounts[i]);
        callCounts[i] = 0;
    }
}

int fuzz(const Settings& s) {
    const std::vector<std::wstring> corpus = readCorpus(s.corpus);
    if (corpus.empty()) {
        std::fwprintf(stderr, L"vexil-fuzz: no .vx3 files under %ls\n", s.corpus.c_str());
        return 2;
    }
    const std::wstring script = s.scratch + L"\\current.vx3";
    const std::vector<std::wstring> names = builtinNames();
    std::vector<uint32_t> callCounts(names.size(), 0);
    uint64_t typed = 0, loadFailures = 0;
    const ULONGLONG start = GetTickCount64();
    for (uint64_t index = s.first; index < s.first + s.count; ++index) {
        Random random(scriptSeed(s.seed, index));
        const bool isTyped = random.below(100) < s.typedPercent;
        const std::wstring text = isTyped ? typedCallScript(random, callCounts) : mutateScript(corpus, random);
        typed += isTyped;
        if (s.generateOnly) continue;
        SetCurrentDirectoryW(s.scratch.c_str()); // scripts write their files here
        if (!writeScriptText(script, text)) {
            std::fwprintf(stderr, L"vexil-fuzz: cannot write %ls\n", script.c_str());
            return 2;
        }
        scriptStarting(index);
        loadFailures += runScriptFile(script, s.budget) == RunOutcome::LoadFailed;
        scriptFinished();
        if ((index - s.first + 1) % 1000 == 0) {
            reportCalls(names, callCounts);
            std::fprintf(stderr, "progress %llu\n", static_cast<unsigned long long>(index - s.first + 1));
        }
    }
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    std::fprintf(stderr, "DONE scripts=%llu typed=%llu load-failures=%llu seconds=%.1f per-second=%.1f\n",
                 static_cast<unsigned long long>(s.count), static_cast<unsigned long long>(typed),
                 static_cast<unsigned long long>(loadFailures), seconds, seconds > 0 ? static_cast<double>(s.count) / seconds : 0.0);
    reportCalls(names, callCounts);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Settings settings;
    if (!parse(argc, argv, settings)) {
        std::fprintf(stderr, "usage: vexil-fuzz --corpus FOLDER --scratch FOLDER [--seed S] [--first N] [--count N] "
                             "[--typed PERCENT] [--lines N] [--ms N] [--hang MS] | --run FILE\n");
        return 2;
    }
    installCrashGuard(settings.hangMilliseconds);
    // What the scripts print is not the driver's business; its own report goes to standard error.
    std::freopen("NUL", "w", stdout);
    if (!settings.run.empty()) {
        scriptStarting(0);
        runScriptFile(settings.run, settings.budget);
        scriptFinished();
        return 0;
    }
    return fuzz(settings);
}
