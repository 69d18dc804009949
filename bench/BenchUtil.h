#pragma once

// Timing helpers shared by the benchmarks: each measurement is the median of
// several runs, printed beside its baseline from the same process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// Median wall time of `runs` calls of work, in milliseconds; setup runs
// untimed before each call.
inline double medianMs(int runs, const std::function<void()>& work,
                       const std::function<void()>& setup = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (setup) setup();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void report(const std::string& what, double oursMs, double baselineMs, double target) {
    const double ratio = baselineMs > 0 ? oursMs / baselineMs : 0;
    std::printf("%-48s ours %9.2f ms  baseline %9.2f ms  ratio %5.2f  (target <= %.2f) %s\n",
                what.c_str(), oursMs, baselineMs, ratio, target, ratio <= target ? "ok" : "SLOW");
}

} // namespace bench
