#include "process/CpuHistory.h"
#include "process/CpuUsage.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr int64_t kSecond = 10000000;

// Stand-in clocks: the test sets the times and counts the reads.
struct FakeClock {
    DWORD tick = 0;
    int64_t wall = 0;
    int64_t idle = 0;
    int64_t kernel = 0;
    int64_t user = 0;
    int64_t ownKernel = 0;
    int64_t ownUser = 0;
    int tickReads = 0;
    int timeReads = 0; // wall clock, system and process times

    // One second passes with busyPercent of the machine and ownPercent of one
    // processor spent by this program, and the tick count moves on with it.
    void Pass(int busyPercent, int ownPercent) {
        tick += 1000;
        wall += kSecond;
        kernel += kSecond;
        idle += kSecond * (100 - busyPercent) / 100;
        ownUser += kSecond * ownPercent / 100;
    }
};
FakeClock g_clock;

FILETIME ToFileTime(int64_t value) {
    ULARGE_INTEGER parts{};
    parts.QuadPart = static_cast<ULONGLONG>(value);
    return FILETIME{parts.LowPart, parts.HighPart};
}

DWORD WINAPI FakeTickCount() {
    ++g_clock.tickReads;
    return g_clock.tick;
}
void WINAPI FakeSystemTimeAsFileTime(FILETIME* now) {
    ++g_clock.timeReads;
    *now = ToFileTime(g_clock.wall);
}
BOOL WINAPI FakeSystemTimes(FILETIME* idle, FILETIME* kernel, FILETIME* user) {
    ++g_clock.timeReads;
    *idle = ToFileTime(g_clock.idle);
    *kernel = ToFileTime(g_clock.kernel);
    *user = ToFileTime(g_clock.user);
    return TRUE;
}
BOOL WINAPI FakeProcessTimes(HANDLE, FILETIME* creation, FILETIME* exit, FILETIME* kernel,
                             FILETIME* user) {
    ++g_clock.timeReads;
    *creation = *exit = ToFileTime(0);
    *kernel = ToFileTime(g_clock.ownKernel);
    *user = ToFileTime(g_clock.ownUser);
    return TRUE;
}

class CpuUsageWithStandInClocks : public ::testing::Test {
  protected:
    void SetUp() override {
        g_clock = FakeClock{};
        g_clock.tick = 0xFFFFFC00u; // wraps before the second measurement
        g_clock.wall = 130000000000000000LL;
        g_clock.kernel = 70 * kSecond;
        g_clock.user = 20 * kSecond;
        g_clock.idle = 60 * kSecond;
        m_sources.GetTickCount = FakeTickCount;
        m_sources.GetSystemTimeAsFileTime = FakeSystemTimeAsFileTime;
        m_sources.GetSystemTimes = FakeSystemTimes;
        m_sources.GetProcessTimes = FakeProcessTimes;
    }

    CpuTimeSources m_sources;
};

struct Usage {
    int32_t own = -1;
    int32_t system = -1;
    int64_t total = -1;
};

Usage Measure(CCpuUsage& sampler) {
    Usage usage;
    usage.own = sampler.GetUsage(&usage.system, &usage.total);
    return usage;
}

} // namespace

TEST_F(CpuUsageWithStandInClocks, CallsWithinTwoHundredMillisecondsShareOneMeasurement) {
    CCpuUsage sampler(m_sources);
    // Right after construction there is nothing to measure yet.
    g_clock.tick += 200;
    Usage usage = Measure(sampler);
    EXPECT_EQ(usage.system, 0);
    EXPECT_EQ(usage.total, 0);
    EXPECT_EQ(g_clock.timeReads, 0);

    // The first measurement is the baseline.
    g_clock.tick += 1;
    usage = Measure(sampler);
    EXPECT_EQ(usage.system, 0);
    EXPECT_EQ(usage.own, 0);
    EXPECT_EQ(usage.total, 90 * kSecond);
    EXPECT_EQ(g_clock.timeReads, 3);

    g_clock.Pass(30, 10);
    const Usage measured = Measure(sampler);
    EXPECT_EQ(measured.system, 30);
    EXPECT_EQ(measured.own, 10);
    EXPECT_EQ(measured.total, 91 * kSecond);

    // 150 ms later: the same figures, and
    // nothing read but the tick count.
    g_clock.Pass(90, 90);
    g_clock.tick -= 850;
    const int timeReads = g_clock.timeReads;
    const int tickReads = g_clock.tickReads;
    usage = Measure(sampler);
    EXPECT_EQ(usage.system, measured.system);
    EXPECT_EQ(usage.own, measured.own);
    EXPECT_EQ(usage.total, measured.total);
    EXPECT_EQ(g_clock.timeReads, timeReads);
    EXPECT_EQ(g_clock.tickReads, tickReads + 1);
    EXPECT_EQ(sampler.GetUsage(), measured.own); // outputs are optional

    g_clock.tick += 60;
    usage = Measure(sampler);
    EXPECT_EQ(usage.system, (30 + 90) / 2);
    EXPECT_EQ(usage.own, (10 + 90) / 2);
}

TEST_F(CpuUsageWithStandInClocks, WithoutSystemTimesTheMachineShareIsZero) {
    m_sources.GetSystemTimes = nullptr;
    CCpuUsage sampler(m_sources);
    for (int i = 0; i < 7; ++i) {
        g_clock.Pass(100, 40);
        const Usage usage = Measure(sampler);
        EXPECT_EQ(usage.system, 0);
        EXPECT_EQ(usage.total, 0);
        EXPECT_EQ(usage.own, i == 0 ? 0 : 40);
    }
}

TEST_F(CpuUsageWithStandInClocks, ClockSetBackGivesNoNegativeFigure) {
    CCpuUsage sampler(m_sources);
    g_clock.Pass(0, 0);
    Measure(sampler);
    g_clock.Pass(50, 20);
    ASSERT_EQ(Measure(sampler).own, 20);

    g_clock.Pass(50, 20);
    g_clock.wall -= 2 * kSecond; // now before the previous measurement
    Usage usage = Measure(sampler);
    EXPECT_EQ(usage.own, 20);
    EXPECT_EQ(usage.system, 50);

    g_clock.tick += 1000; // the wall clock stands still
    usage = Measure(sampler);
    EXPECT_EQ(usage.own, 20);

    g_clock.Pass(100, 80);
    usage = Measure(sampler);
    EXPECT_EQ(usage.own, 50);
    EXPECT_EQ(usage.system, 75);
}

TEST(CpuUsage, MeasuresTheRealMachine) {
    CCpuUsage sampler;
    ASSERT_NE(sampler.Sources().GetSystemTimes, nullptr) << "Kernel32 exports GetSystemTimes";
    Usage usage = Measure(sampler);
    Sleep(250);
    Measure(sampler); // baseline, or a measurement if another sampler set one

    // This program keeps one processor busy for a second, measured along the way.
    const DWORD start = GetTickCount();
    volatile unsigned long spin = 0;
    while (GetTickCount() - start < 1000) {
        spin = spin + 1;
        if ((spin & 0xFFFFF) == 0) {
            usage = Measure(sampler);
        }
    }
    Sleep(250);
    usage = Measure(sampler);
    EXPECT_GE(usage.system, 1);
    EXPECT_LE(usage.system, 100);
    EXPECT_GT(usage.own, 0);
    EXPECT_GT(usage.total, 0);

    // Without GetSystemTimes the machine share is 0 and the own share still counts.
    CpuTimeSources sources = sampler.Sources();
    sources.GetSystemTimes = nullptr;
    CCpuUsage without(sources);
    Sleep(250);
    Measure(without);
    const DWORD again = GetTickCount();
    while (GetTickCount() - again < 500) {
        spin = spin + 1;
    }
    usage = Measure(without);
    EXPECT_EQ(usage.system, 0);
    EXPECT_EQ(usage.total, 0);
    EXPECT_GT(usage.own, 0);
}

// Wine reports the calling program's own times for any process handle, so the
// series follows this program, which keeps one processor busy in between.
TEST(CpuHistorySampling, ReadsKernelPlusUserTimeOfTheProcess) {
    CCpuHistory history;
    for (int i = 0; i < 4; ++i) {
        history.SampleProcess(GetCurrentProcessId());
        const DWORD start = GetTickCount();
        volatile unsigned long spin = 0;
        while (GetTickCount() - start < 300) {
            spin = spin + 1;
        }
    }
    ASSERT_EQ(history.GetCount(), 4u);
    FILETIME creation{}, exit{}, kernel{}, user{};
    ASSERT_TRUE(GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user));
    EXPECT_GT(history.CpuTimes()[3], history.CpuTimes()[0]);
    EXPECT_LE(history.CpuTimes()[3], FileTimeToInt64(kernel) + FileTimeToInt64(user));
    EXPECT_GT(history.TimeStamps()[3], history.TimeStamps()[2]);
    // A busy loop shows as use; how much depends on what else the machine runs.
    EXPECT_GT(history.GetLatestPercent(), 0.0);
    EXPECT_LT(history.GetLatestPercent(), 150.0);
}

TEST(CpuHistorySampling, GoneProcessGetsAMarker) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    const DWORD id = helper.Id();
    CCpuHistory history;
    history.SampleProcess(id);
    history.SampleProcess(id);
    helper.Kill();
    // The system lets go of the process object a moment after its end.
    for (int i = 0; i < 100; ++i) {
        HANDLE gone = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
        if (!gone) {
            break;
        }
        CloseHandle(gone);
        Sleep(50);
    }
    history.SampleProcess(id);
    ASSERT_EQ(history.GetCount(), 3u);
    EXPECT_GE(history.CpuTimes()[1], 0);
    EXPECT_EQ(history.CpuTimes()[2], CCpuHistory::kCannotOpen);
    EXPECT_EQ(history.GetLatestPercent(), 0);
}
