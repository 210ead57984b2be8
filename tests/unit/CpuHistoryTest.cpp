#include "process/CpuHistory.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kSecond = 10000000;

CCpuHistory HistoryOf(std::initializer_list<std::pair<int64_t, int64_t>> readings) {
    CCpuHistory history;
    for (const auto& [cpuTime, timeStamp] : readings) {
        history.AddReading(cpuTime, timeStamp);
    }
    return history;
}

// The percentage at every index of the series.
std::vector<double> Percents(const CCpuHistory& history) {
    std::vector<double> percents;
    for (size_t i = 0; i < history.GetCount(); ++i) {
        percents.push_back(history.GetCpuPercent(i));
    }
    return percents;
}

} // namespace

TEST(CpuHistory, PercentFromTheThirdReadingOn) {
    CCpuHistory history;
    EXPECT_EQ(history.GetLatestPercent(), 0);
    history.AddReading(0, 0);
    EXPECT_EQ(history.GetLatestPercent(), 0);
    history.AddReading(100000, kSecond);
    EXPECT_EQ(history.GetCpuPercent(1), 0);
    EXPECT_EQ(history.GetLatestPercent(), 0);

    history.AddReading(600000, 2 * kSecond);
    EXPECT_DOUBLE_EQ(history.GetCpuPercent(2), 5.0);
    EXPECT_DOUBLE_EQ(history.GetLatestPercent(), 5.0);
    EXPECT_EQ(history.GetCpuPercent(3), 0);
    EXPECT_EQ(history.GetCpuPercent(1000), 0);
    EXPECT_EQ(history.GetCount(), 3u);
}

TEST(CpuHistory, SeveralProcessorsMayExceedHundred) {
    const CCpuHistory history =
        HistoryOf({{0, 0}, {kSecond, kSecond}, {kSecond + 3 * kSecond / 2, 3 * kSecond / 2}});
    EXPECT_DOUBLE_EQ(history.GetCpuPercent(2), 300.0);
}

TEST(CpuHistory, NoFigureNextToAMarker) {
    const CCpuHistory history = HistoryOf({{0, 0},
                                           {kSecond, kSecond},
                                           {CCpuHistory::kCannotOpen, 2 * kSecond},
                                           {kSecond * 2, 3 * kSecond},
                                           {CCpuHistory::kNoTimes, 4 * kSecond},
                                           {kSecond * 3, 5 * kSecond},
                                           {kSecond * 3 + kSecond / 4, 6 * kSecond}});
    EXPECT_EQ(Percents(history), (std::vector<double>{0, 0, 0, 0, 0, 0, 25.0}));
}

TEST(CpuHistory, NoFigureWhenTheClockDidNotMoveForward) {
    const CCpuHistory history = HistoryOf({{0, 50 * kSecond},
                                           {kSecond, 51 * kSecond},
                                           {2 * kSecond, 51 * kSecond},   // same moment
                                           {3 * kSecond, 10 * kSecond},   // clock set back
                                           {4 * kSecond, 12 * kSecond},   // forward again
                                           {4 * kSecond, 13 * kSecond},   // idle
                                           {3 * kSecond, 14 * kSecond}}); // times went down
    EXPECT_EQ(Percents(history), (std::vector<double>{0, 0, 0, 0, 50.0, 0, 0}));
}

TEST(CpuHistory, KeepsTheNewestTwoHundredReadings) {
    CCpuHistory history;
    for (int64_t i = 0; i < 201; ++i) {
        history.AddReading(i * i * 1000, i * kSecond);
    }
    ASSERT_EQ(history.GetCount(), 200u);
    EXPECT_EQ(history.CpuTimes().size(), 200u);
    EXPECT_EQ(history.TimeStamps().front(), 1 * kSecond);
    EXPECT_EQ(history.TimeStamps()[199], 200 * kSecond);
    EXPECT_EQ(history.CpuTimes()[199], 200 * 200 * 1000);
    // Between readings 199 and 200 the process used (200² - 199²) ms in one second.
    EXPECT_DOUBLE_EQ(history.GetCpuPercent(199), 100.0 * (200 * 200 - 199 * 199) * 1000 / kSecond);
    EXPECT_DOUBLE_EQ(history.GetLatestPercent(), history.GetCpuPercent(199));

    for (int64_t i = 201; i < 600; ++i) {
        history.AddReading(0, i * kSecond);
    }
    EXPECT_EQ(history.GetCount(), 200u);
    EXPECT_EQ(history.TimeStamps().front(), 400 * kSecond);
}
