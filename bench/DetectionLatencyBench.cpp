// How soon the running program shows what another program registers: a Run
// value written, then a shortcut dropped into the startup folder, 20 tries
// each, timed from the end of the write until the Autostart list holds the new row.
// Usage: detection_latency_bench.exe PATH\TO\orvane.exe (./orv bench)
#include "app/ShellShortcut.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/SheetSteps.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace e2e;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kTries = 20;

// Milliseconds from each write until its row is listed, in order of size.
std::vector<double> TimeTries(const AutostartLists& lists, const char* prefix,
                              const std::function<void(const std::string&)>& write) {
    std::vector<double> times;
    for (int i = 0; i < kTries; ++i) {
        const std::string name = prefix + std::to_string(i);
        write(name);
        // From the moment the change is made, however long the writing took.
        const Clock::time_point written = Clock::now();
        while (lists.current.Find(name) < 0) {
            if (Clock::now() - written > 10s) {
                ADD_FAILURE() << name << " not listed within 10 s";
                return times;
            }
            ::Sleep(2);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - written).count());
        // Apart from the next write, so each try is one change of its own.
        ::Sleep(300);
    }
    std::sort(times.begin(), times.end());
    return times;
}

void Report(const char* what, const std::vector<double>& times) {
    ASSERT_EQ(times.size(), static_cast<size_t>(kTries));
    std::printf("%s: median %.0f ms, worst %.0f ms, best %.0f ms of %d\n", what,
                (times[kTries / 2 - 1] + times[kTries / 2]) / 2, times.back(), times.front(),
                kTries);
    std::printf("RESULT detect_%s_median_ms %.1f\nRESULT detect_%s_worst_ms %.1f\n", what,
                (times[kTries / 2 - 1] + times[kTries / 2]) / 2, what, times.back());
}

} // namespace

TEST(DetectionLatency, RunValuesAndStartupShortcuts) {
    ::CoInitialize(nullptr);
    testsupport::RunValues values;
    std::vector<std::string> shortcuts;
    {
        LaterRun run;
        HWND sheet = run.ShowSheet();
        ASSERT_NE(sheet, nullptr);
        HWND page = OpenPage(sheet, 0);
        ASSERT_NE(page, nullptr);
        AutostartLists lists(page);
        ASSERT_TRUE(lists.current.IsReady());
        const std::string target = SystemFile("winver.exe");
        Report("run_value", TimeTries(lists, "Orvane Latency ",
                                      [&](const std::string& name) { values.Set(name, target); }));
        Report("shortcut", TimeTries(lists, "Orvane Latency Link ", [&](const std::string& name) {
                   shortcuts.push_back(StartupFolder() + "\\" + name + ".lnk");
                   CreateShortcut(shortcuts.back(), target, "", "");
               }));
    }
    for (const std::string& path : shortcuts) {
        ::DeleteFileA(path.c_str());
    }
    ::CoUninitialize();
}
