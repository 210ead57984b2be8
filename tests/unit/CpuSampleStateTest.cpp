#include "process/CpuSampleState.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// Drives the sample state with a machine whose times it makes up: each step
// moves the wall clock by one second and spends that second on the processors
// with the given busy percentage.
class Machine {
  public:
    // The first measurement: the baseline.
    explicit Machine(CpuSampleState& state) : m_state(state) { Measure(); }

    void Step(int busyPercent, int ownPercent = 0) {
        m_now.wallTime += kSecond;
        m_now.kernel += kSecond; // the kernel figure includes idle time
        m_now.idle += kSecond * (100 - busyPercent) / 100;
        m_now.ownUser += kSecond * ownPercent / 100;
        Measure();
    }
    void Measure() {
        m_tick += 1000;
        m_state.Add(m_now, m_tick);
    }
    CpuReadings& Now() { return m_now; }

    static constexpr int64_t kSecond = 10000000;

  private:
    CpuSampleState& m_state;
    CpuReadings m_now{130000000000000000LL, 5000, 9000, 700, 30, 20};
    uint32_t m_tick = 0;
};

// What the state shows: samples held, machine and own averages, system total.
struct Shown {
    int count;
    int32_t system;
    int32_t own;
    int64_t total;
    bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
    *out << "{count " << shown.count << ", system " << shown.system << ", own " << shown.own
         << ", total " << shown.total << "}";
}

Shown ShownBy(const CpuSampleState& state) {
    const CpuFigures& figures = state.Figures();
    return {state.SampleCount(), figures.systemAverage, figures.ownAverage, figures.systemTotal};
}

} // namespace

TEST(CpuSampleState, FirstMeasurementOnlySetsTheBaseline) {
    CpuSampleState state;
    CpuReadings first{130000000000000000LL, 400, 1000, 250, 10, 5};
    state.Add(first, 500);
    EXPECT_EQ(ShownBy(state), (Shown{0, 0, 0, 1250}));
}

TEST(CpuSampleState, AveragesTheLastFiveMeasurements) {
    CpuSampleState state;
    Machine machine(state);
    machine.Step(10);
    machine.Step(20);
    machine.Step(30);
    EXPECT_EQ(state.SampleCount(), 3);
    EXPECT_EQ(state.Figures().systemAverage, 20);

    machine.Step(40);
    machine.Step(51);
    EXPECT_EQ(state.Figures().systemAverage, 30); // 151 / 5, truncated
    machine.Step(60);
    EXPECT_EQ(state.SampleCount(), 5);
    EXPECT_EQ(state.Figures().systemAverage, (20 + 30 + 40 + 51 + 60) / 5);
    machine.Step(0);
    machine.Step(0);
    machine.Step(0);
    machine.Step(0);
    EXPECT_EQ(state.Figures().systemAverage, 12); // 60 / 5
    EXPECT_EQ(state.Figures().systemTotal, machine.Now().kernel + machine.Now().user);
}

TEST(CpuSampleState, OwnShareIsMeasuredAgainstTheWallClock) {
    CpuSampleState state;
    Machine machine(state);
    machine.Step(80, 50);
    machine.Step(80, 25);
    EXPECT_EQ(state.Figures().ownAverage, 37);
    // Several processors' worth of time in one second is not cut off.
    machine.Step(100, 150);
    EXPECT_EQ(state.Figures().ownAverage, (50 + 25 + 150) / 3);
}

TEST(CpuSampleState, MachineShareStaysWithinZeroToHundred) {
    CpuSampleState state;
    Machine machine(state);
    // More idle time than time passed (counters read at slightly different moments).
    machine.Now().idle += 3 * Machine::kSecond;
    machine.Step(0);
    EXPECT_EQ(state.Figures().systemAverage, 0);

    CpuSampleState other;
    Machine busy(other);
    busy.Now().idle -= Machine::kSecond / 2;
    busy.Step(100);
    EXPECT_EQ(other.Figures().systemAverage, 100);
}

TEST(CpuSampleState, NoProcessorTimeGivesZero) {
    // Without GetSystemTimes every system time reads 0.
    CpuSampleState state;
    CpuReadings now{130000000000000000LL, 0, 0, 0, 0, 0};
    state.Add(now, 0);
    now.wallTime += Machine::kSecond;
    now.ownUser += Machine::kSecond / 10;
    state.Add(now, 1000);
    EXPECT_EQ(ShownBy(state), (Shown{1, 0, 10, 0}));
}

TEST(CpuSampleState, ClockSetBackStartsAFreshBaseline) {
    CpuSampleState state;
    Machine machine(state);
    for (int busy : {40, 60}) {
        machine.Step(busy, busy - 20);
    }
    ASSERT_EQ(ShownBy(state).system, 50);
    ASSERT_EQ(ShownBy(state).own, 30);

    // The clock goes back an hour while the processors keep counting.
    machine.Now().wallTime -= 3600 * Machine::kSecond;
    machine.Now().kernel += Machine::kSecond;
    machine.Now().ownUser += Machine::kSecond;
    machine.Measure();
    EXPECT_EQ(ShownBy(state), (Shown{2, 50, 30, machine.Now().kernel + machine.Now().user}));

    // A clock that stands still adds nothing either.
    machine.Measure();
    EXPECT_EQ(state.SampleCount(), 2);

    // From the new baseline on, measuring goes on as before.
    machine.Step(90, 60);
    EXPECT_EQ(state.SampleCount(), 3);
    EXPECT_EQ(state.Figures().systemAverage, (40 + 60 + 90) / 3);
    EXPECT_EQ(state.Figures().ownAverage, (20 + 40 + 60) / 3);
}

TEST(CpuSampleState, MeasuresOnlyAfterTwoHundredMilliseconds) {
    CpuSampleState state(1000);
    EXPECT_FALSE(state.IsDue(1000));
    EXPECT_FALSE(state.IsDue(1200));
    EXPECT_TRUE(state.IsDue(1201));

    state.Add(CpuReadings{1, 0, 0, 0, 0, 0}, 5000);
    EXPECT_FALSE(state.IsDue(5150));
    EXPECT_TRUE(state.IsDue(5300));

    // The tick count wraps after 49.7 days.
    state.SetLastSampleTick(0xFFFFFFA0u);
    EXPECT_FALSE(state.IsDue(0x00000050u)); // 176 ms later
    EXPECT_TRUE(state.IsDue(0x00000070u));  // 208 ms later
}
