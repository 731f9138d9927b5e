#pragma once
// What the in-process benchmarks share: the performance counter in milliseconds, and the median
// of a set of runs.
#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

inline double now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
