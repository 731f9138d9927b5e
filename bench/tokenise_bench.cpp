// vexil-bench-tokenise.exe SCRIPT [RUNS]: times loading and tokenising a script in-process,
// apart from the program's start-up. Prints the median of the runs in milliseconds.
#include "bench_clock.h"
#include "engine/engine.h"
#include "engine/front/loader.h"
#include "engine/startup_state.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vexil;

using bench::median;
using bench::now;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: vexil-bench-tokenise SCRIPT [RUNS]\n");
        return 2;
    }
    int runs = argc > 2 ? _wtoi(argv[2]) : 7;
    std::vector<double> load, tokenise;
    int lines = 0;
    for (int i = 0; i < runs; ++i) {
        StartupState startup;
        startup.errorsToStdout = true;
        Engine engine(startup);
        ScriptLoader loader(engine);
        loader.setErrorsToStdout(true);
        SourceKind kind = SourceKind::NamedFile;
        double t0 = now();
        if (!loader.loadScript(argv[1], kind)) return 1;
        double t1 = now();
        if (!loader.tokeniseAll()) return 1;
        double t2 = now();
        load.push_back(t1 - t0);
        tokenise.push_back(t2 - t1);
        lines = loader.lineCount();
    }
    printf("lines %d  load %.1f ms  tokenise %.1f ms  (median of %d)\n", lines, median(load), median(tokenise), runs);
    return 0;
}
