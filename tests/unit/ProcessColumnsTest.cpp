#include "process/ProcessColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

ProcessRow Row(const std::string& name, uint32_t processId) {
    ProcessRow row;
    row.name = name;
    row.processId = processId;
    return row;
}

// Readings one second apart in which the process used percent of that second.
void GiveCpuHistory(ProcessRow& row, std::vector<double> percents) {
    constexpr int64_t kSecond = 10000000;
    int64_t cpu = 0;
    int64_t stamp = 100 * kSecond;
    row.cpuHistory.AddReading(cpu, stamp);
    for (double percent : percents) {
        cpu += static_cast<int64_t>(percent * kSecond / 100);
        stamp += kSecond;
        row.cpuHistory.AddReading(cpu, stamp);
    }
}

std::vector<uint32_t> IdsOf(const ProcessRowList& rows) {
    std::vector<uint32_t> ids;
    for (const ProcessRow& row : rows) {
        ids.push_back(row.processId);
    }
    return ids;
}

template <typename T> void Fill(ProcessRowList& rows, T ProcessRow::*field, std::vector<T> values) {
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].*field = values[i];
    }
}

// Four rows whose ids are 1 to 4 in the ascending order of the column.
ProcessRowList RowsOrderedBy(int column) {
    ProcessRowList rows;
    for (uint32_t id = 1; id <= 4; ++id) {
        rows.push_back(Row("same.exe", id));
    }
    using Texts = std::vector<std::string>;
    using Numbers = std::vector<uint32_t>;
    using Bytes = std::vector<uint64_t>;
    switch (column) {
    case kColumnName: // case-insensitive: "a" before "B" before "c"
        Fill(rows, &ProcessRow::name, Texts{"a.exe", "B.exe", "c.exe", "D.exe"});
        break;
    case kColumnPath:
        Fill(rows, &ProcessRow::path, Texts{"", "C:\\apps\\b.exe", "c:\\Apps\\C.exe", "D:\\a.exe"});
        break;
    case kColumnWindows:
        Fill(rows, &ProcessRow::windows, Texts{"[0] ", "[1] ", "[1] Editor,", "[2] a,b,"});
        break;
    case kColumnMemory: // unsigned, and past 4 GB
        Fill(rows, &ProcessRow::workingSet, Bytes{0, 0x80000000, 0xFFFFFFFF, 0x100000000});
        break;
    case kColumnPageFile:
        Fill(rows, &ProcessRow::pageFile, Bytes{1, 2, 0xFFFFFFFF, 0x7FFFFFFFFFF});
        break;
    case kColumnCpu:
        GiveCpuHistory(rows[0], {50, 0});
        GiveCpuHistory(rows[1], {0, 0.5});
        GiveCpuHistory(rows[2], {0, 12.5});
        GiveCpuHistory(rows[3], {0, 150});
        break;
    case kColumnPriority:
        Fill(rows, &ProcessRow::priorityClass,
             Numbers{kIdlePriority, kNormalPriority, kAboveNormalPriority, kRealtimePriority});
        break;
    case kColumnSignature: // by the text shown, unverified (empty) first
        Fill(rows, &ProcessRow::signature,
             std::vector<FileSignature>{{},
                                        {SignatureState::NotSigned, "x"},
                                        {SignatureState::DoesNotVerify, "x"},
                                        {SignatureState::Signed, "acme"}});
        break;
    }
    // Not already in order.
    std::swap(rows[0], rows[3]);
    std::swap(rows[1], rows[2]);
    return rows;
}

} // namespace

TEST(ProcessPriority, NamesAndSortKeysOfEveryClass) {
    struct Case {
        uint32_t priorityClass;
        const char* name;
        uint32_t key;
    };
    const Case cases[] = {
        {0x40, "Idle", 0},
        {0x4000, "Below normal", 1},
        {0x20, "Normal", 2},
        {0x8000, "Above normal", 3},
        {0x80, "High", 4},
        {0x100, "Realtime (highest)", 5},
        {0, "Unknown", 0},
        {0x1, "Unknown", 0},
        {0x10000, "Unknown", 0},
        // Several bits: the name of the last in table order, the key of the first.
        {0x40 | 0x80, "High", 0},
        {0x20 | 0x100, "Realtime (highest)", 2},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetPriorityName(c.priorityClass), c.name) << std::hex << c.priorityClass;
        EXPECT_EQ(GetPrioritySortKey(c.priorityClass), c.key) << std::hex << c.priorityClass;
    }
}

TEST(ProcessRowCpu, ZeroUntilTheThirdReading) {
    ProcessRow row = Row("a.exe", 7);
    EXPECT_EQ(GetLatestCpu(row), 0);
    row.cpuHistory.AddReading(0, 1000);
    EXPECT_EQ(GetLatestCpu(row), 0);
    row.cpuHistory.AddReading(5000, 11000);
    EXPECT_EQ(GetLatestCpu(row), 0) << "the second reading only starts the count";
    row.cpuHistory.AddReading(7500, 21000);
    EXPECT_DOUBLE_EQ(GetLatestCpu(row), 25.0);
}

class ProcessColumnOrder : public ::testing::TestWithParam<int> {};

TEST_P(ProcessColumnOrder, AscendingThenDescending) {
    ProcessRowList rows = RowsOrderedBy(GetParam());
    SortProcessRows(rows, GetParam(), true);
    EXPECT_EQ(IdsOf(rows), (std::vector<uint32_t>{1, 2, 3, 4}));
    SortProcessRows(rows, GetParam(), false);
    EXPECT_EQ(IdsOf(rows), (std::vector<uint32_t>{4, 3, 2, 1}));
}

INSTANTIATE_TEST_SUITE_P(EveryColumn, ProcessColumnOrder, ::testing::Range(0, kProcessColumnCount));

TEST(ProcessRowOrder, SameNamesGoByAscendingIdInBothDirections) {
    ProcessRowList rows = {Row("svchost.exe", 900), Row("b.exe", 5), Row("svchost.exe", 300),
                           Row("SVCHOST.EXE", 600), Row("a.exe", 1000)};
    SortProcessRows(rows, kColumnName, true);
    EXPECT_EQ(IdsOf(rows), (std::vector<uint32_t>{1000, 5, 300, 600, 900}));
    SortProcessRows(rows, kColumnName, false);
    EXPECT_EQ(IdsOf(rows), (std::vector<uint32_t>{300, 600, 900, 5, 1000}));
}

TEST(ProcessRowOrder, ComparisonSigns) {
    const ProcessRow a = Row("a.exe", 2);
    const ProcessRow b = Row("b.exe", 1);
    EXPECT_LT(CompareProcessRows(a, b, kColumnName, true), 0);
    EXPECT_GT(CompareProcessRows(a, b, kColumnName, false), 0);
    EXPECT_GT(CompareProcessRows(a, b, kColumnId, true), 0);
    EXPECT_LT(CompareProcessRows(a, b, kColumnId, false), 0);
    EXPECT_EQ(CompareProcessRows(a, b, kColumnMemory, true), 0);
    EXPECT_EQ(CompareProcessRows(a, b, kColumnMemory, false), 0);
    EXPECT_LT(CompareProcessRows(a, b, 99, true), 0) << "an unknown column orders by name";
}

TEST(ProcessRowOrder, ShellSortOrdersEveryCountAroundItsGaps) {
    std::mt19937 random(12345);
    for (size_t count : {0u, 1u, 2u, 3u, 4u, 5u, 13u, 14u, 40u, 41u, 200u}) {
        ProcessRowList rows;
        for (size_t i = 0; i < count; ++i) {
            std::string name = std::to_string(random() % 7);
            name += ".exe";
            ProcessRow row = Row(name, static_cast<uint32_t>(i * 4));
            row.workingSet = static_cast<uint32_t>(random());
            rows.push_back(row);
        }
        for (int column : {kColumnName, kColumnMemory}) {
            for (bool ascending : {true, false}) {
                ProcessRowList sorted = rows;
                SortProcessRows(sorted, column, ascending);
                ASSERT_EQ(sorted.size(), count);
                for (size_t i = 1; i < sorted.size(); ++i) {
                    ASSERT_LE(CompareProcessRows(sorted[i - 1], sorted[i], column, ascending), 0)
                        << "count " << count << " column " << column << " at " << i;
                }
                std::vector<uint32_t> before = IdsOf(rows);
                std::vector<uint32_t> after = IdsOf(sorted);
                std::sort(before.begin(), before.end());
                std::sort(after.begin(), after.end());
                EXPECT_EQ(before, after) << "every row once";
            }
        }
    }
}

TEST(ProcessRowHistories, CarriedOnlyToTheSameProcess) {
    ProcessRowList previous = {Row("editor.exe", 10), Row("tool.exe", 20), Row("old.exe", 30)};
    GiveCpuHistory(previous[0], {10, 20});
    GiveCpuHistory(previous[1], {30});
    GiveCpuHistory(previous[2], {40, 50, 60});

    ProcessRowList fresh = {Row("new.exe", 40), Row("tool.exe", 20), Row("editor.exe", 10),
                            Row("other.exe", 30)};
    CarryCpuHistories(previous, fresh);

    EXPECT_EQ(fresh[0].cpuHistory.GetCount(), 0u) << "a new process starts empty";
    EXPECT_EQ(fresh[1].cpuHistory.CpuTimes(), previous[1].cpuHistory.CpuTimes());
    EXPECT_EQ(fresh[2].cpuHistory.CpuTimes(), previous[0].cpuHistory.CpuTimes());
    EXPECT_EQ(fresh[2].cpuHistory.TimeStamps(), previous[0].cpuHistory.TimeStamps());
    EXPECT_DOUBLE_EQ(GetLatestCpu(fresh[2]), 20.0);
    EXPECT_EQ(fresh[3].cpuHistory.GetCount(), 0u) << "a reused id is another program";
    EXPECT_EQ(previous[2].cpuHistory.GetCount(), 4u) << "the old rows are left as they were";
}

TEST(ProcessRowWindows, CountsEveryWindowAndListsTheTitledOnes) {
    const std::vector<TopLevelWindow> windows = {
        {1, 50, "Editor"}, {2, 60, "Other"}, {3, 50, ""}, {4, 50, "Find"}, {5, 0, "Desktop"},
    };
    const CWindowsTexts texts(windows);
    EXPECT_EQ(texts.Of(50), "[3] Editor,Find,");
    EXPECT_EQ(texts.Of(60), "[1] Other,");
    EXPECT_EQ(texts.Of(70), "[0] ");
    EXPECT_EQ(texts.Of(0), "[0] ") << "process id 0 never collects windows";
}

TEST(ProcessRowText, InfoTextOfARow) {
    ProcessRow row = Row("tool.exe", 20);
    row.workingSet = 2047;
    row.pageFile = 10 * 1024 + 1023;
    EXPECT_EQ(FormatProcessInfo(row, "File name: tool.exe\r\nPath: \r\nCouldn't locate the file"),
              "Title: tool.exe\r\n"
              "File name: tool.exe\r\nPath: \r\nCouldn't locate the file\r\n"
              "Usage of RAM: 1 KB\r\n"
              "Usage of Page file: 10 KB\r\n"
              "Recent CPU usage: 0 %");
    GiveCpuHistory(row, {0, 12.5});
    const std::string text = FormatProcessInfo(row, "");
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), "Recent CPU usage: 12.5 %");
}

TEST(ProcessRowText, ReportSectionHeader) {
    EXPECT_EQ(FormatReportSectionHeader("Process", 12),
              "\r\n\r\n-----------------------------\r\nProcess #12\r\n"
              "-----------------------------\r\n");
}

TEST(ProcessRowText, CellTextsOfEveryColumn) {
    ProcessRow row = Row("tool.exe", 0x1A2B);
    row.path = "C:\\Tools\\tool.exe";
    row.windows = "[1] Tool,";
    row.workingSet = 6ull << 30; // above 4 GB, as a 64-bit process may use
    row.pageFile = 1023;
    row.priorityClass = 0x40;
    row.cpuHistory.AddReading(0, 0);
    row.cpuHistory.AddReading(0, 10000);
    row.cpuHistory.AddReading(1234, 20000);
    row.signature = {SignatureState::Signed, "Acme Tools"};
    const std::vector<std::string> expected = {
        "tool.exe", "C:\\Tools\\tool.exe", "00001A2B", "[1] Tool,", "6291456 K", "0 K", "12.3 %",
        "Idle",     "Signed by Acme Tools"};
    for (int column = 0; column < kProcessColumnCount; ++column) {
        EXPECT_EQ(GetProcessCellText(row, column), expected[static_cast<size_t>(column)])
            << "column " << column;
    }
    row.processId = 0xFFFFFFFFu;
    EXPECT_EQ(GetProcessCellText(row, kColumnId), "FFFFFFFF");
}

TEST(ProcessRowCpu, DiagramSeriesLeavesOutTheFirstReadingAndTruncates) {
    CCpuHistory history;
    EXPECT_TRUE(GetCpuDiagramSeries(history).empty());
    history.AddReading(0, 0);
    EXPECT_TRUE(GetCpuDiagramSeries(history).empty()) << "one reading has no interval";
    history.AddReading(0, 10000);
    history.AddReading(9990, 20000); // 99.9 % of the interval
    history.AddReading(9990, 30000); // idle
    history.AddReading(CCpuHistory::kCannotOpen, 40000);
    EXPECT_EQ(GetCpuDiagramSeries(history), (std::vector<uint32_t>{0, 99, 0, 0}));
}
