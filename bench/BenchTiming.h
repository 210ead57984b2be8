#pragma once
// Wall-clock timing shared by the benchmarks.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

// Milliseconds of the performance counter.
inline double BenchNow() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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
    return Median(times);
}

template <typename Run> double MedianMilliseconds(int rounds, Run run, size_t& count) {
    return MedianMillisecondsAfter(
        rounds, [] {}, run, count);
}

// The median time of each run, the runs taken in turn round after round, so
// that a load coming and going on the machine meanwhile weighs on each alike;
// counts receives each run's last result.
inline std::vector<double>
MedianMillisecondsInTurn(int rounds, const std::vector<std::function<size_t()>>& runs,
                         std::vector<size_t>& counts) {
    std::vector<std::vector<double>> times(runs.size());
    counts.assign(runs.size(), 0);
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < runs.size(); ++i) {
            const double start = BenchNow();
            counts[i] = runs[i]();
            times[i].push_back(BenchNow() - start);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& each : times) {
        medians.push_back(Median(each));
    }
    return medians;
}
