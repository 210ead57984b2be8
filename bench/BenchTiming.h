#pragma once
// Wall-clock timing shared by the benchmarks.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

// Milliseconds of the performance counter.
inline double BenchNow() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The median time of rounds runs, each after an untimed prepare(); count
// receives the last run's result.
template <typename Prepare, typename Run>
double MedianMillisecondsAfter(int rounds, Prepare prepare, Run run, size_t& count) {
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        const double start = BenchNow();
        count = run();
        times.push_back(BenchNow() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename Run> double MedianMilliseconds(int rounds, Run run, size_t& count) {
    return MedianMillisecondsAfter(
        rounds, [] {}, run, count);
}
