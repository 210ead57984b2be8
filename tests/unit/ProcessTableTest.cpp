#include "app/AcceptedList.h"
#include "app/FileInfo.h"
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "process/ProcessEnumerator.h"
#include "process/ProcessActions.h"
#include "process/ProcessTable.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/RecordingGate.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include <psapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

static_assert(kIdlePriority == IDLE_PRIORITY_CLASS);
static_assert(kBelowNormalPriority == BELOW_NORMAL_PRIORITY_CLASS);
static_assert(kNormalPriority == NORMAL_PRIORITY_CLASS);
static_assert(kAboveNormalPriority == ABOVE_NORMAL_PRIORITY_CLASS);
static_assert(kHighPriority == HIGH_PRIORITY_CLASS);
static_assert(kRealtimePriority == REALTIME_PRIORITY_CLASS);

struct WindowWalk {
    DWORD processId = 0;
    int count = 0;
    std::string titles;
};

BOOL CALLBACK CountWindowOf(HWND window, LPARAM parameter) {
    auto* walk = reinterpret_cast<WindowWalk*>(parameter);
    DWORD owner = 0;
    if (GetWindowThreadProcessId(window, &owner) && owner == walk->processId) {
        ++walk->count;
        char title[1000] = {};
        if (GetWindowTextA(window, title, sizeof title) > 0) {
            walk->titles += std::string(title) + ",";
        }
    }
    return TRUE;
}

// The windows text of a process as a separate walk of the window list sees it
// (Wine gives each GUI thread a hidden "Default IME" window besides its own).
std::string WindowsTextOf(DWORD processId) {
    WindowWalk walk;
    walk.processId = processId;
    EnumWindows(CountWindowOf, reinterpret_cast<LPARAM>(&walk));
    return "[" + std::to_string(walk.count) + "] " + walk.titles;
}

const ProcessRow* RowOf(const ProcessRowList& rows, DWORD processId) {
    for (const ProcessRow& row : rows) {
        if (row.processId == processId) {
            return &row;
        }
    }
    return nullptr;
}

const ProcessRow& RowOf(const CProcessTable& table, DWORD processId) {
    const int index = table.FindRowByProcessId(processId);
    EXPECT_GE(index, 0) << "no row for process " << processId;
    static const ProcessRow none;
    return index >= 0 ? table.GetRows()[static_cast<size_t>(index)] : none;
}

// PSAPI's reading of a process's memory, bound as the program binds it.
bool ReadMemoryCounters(HANDLE process, PROCESS_MEMORY_COUNTERS& counters) {
    const auto getMemoryInfo = GetSystemFunctions().GetProcessMemoryInfo;
    counters.cb = sizeof counters;
    return getMemoryInfo && getMemoryInfo(process, &counters, sizeof counters);
}

// The system's GetLongPathNameA, counting the lookups of one path.
std::string g_countedPath;
int g_lookups = 0;

DWORD WINAPI CountingGetLongPathName(LPCSTR path, LPSTR buffer, DWORD size) {
    if (IsSamePath(path, g_countedPath)) {
        ++g_lookups;
    }
    return GetLongPathNameA(path, buffer, size);
}

// GetModuleFileNameExA of a process caught while starting, before its main
// module is known: it fails for that process only.
DWORD g_startingProcess = 0;

DWORD WINAPI NoPathWhileStarting(HANDLE process, HMODULE module, char* name, DWORD size) {
    if (GetProcessId(process) == g_startingProcess) {
        return 0;
    }
    return GetSystemFunctions().GetModuleFileNameExA(process, module, name, size);
}

BOOL WINAPI NoImageWhileStarting(HANDLE process, DWORD flags, char* name, DWORD* size) {
    if (GetProcessId(process) == g_startingProcess) {
        return FALSE;
    }
    return GetSystemFunctions().QueryFullProcessImageNameA(process, flags, name, size);
}

// PSAPI as a 32-bit program finds it for a 64-bit process: no module to name.
DWORD WINAPI NoModuleOfAnotherBitness(HANDLE, HMODULE, char*, DWORD) {
    return 0;
}

// Top-level windows of this process, destroyed with the object.
class OwnWindows {
  public:
    void Add(const char* title) {
        HWND window = CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        m_windows.push_back(window);
    }
    ~OwnWindows() {
        for (HWND window : m_windows) {
            DestroyWindow(window);
        }
    }

  private:
    std::vector<HWND> m_windows;
};

// The order a user expects of a column, written out apart from the table's
// own comparison: texts without regard to case, numbers by value, priorities
// from idle to realtime; equal names in process id order either way.
int LowerCaseOrder(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int PriorityRank(uint32_t priorityClass) {
    const uint32_t fromIdle[] = {IDLE_PRIORITY_CLASS,   BELOW_NORMAL_PRIORITY_CLASS,
                                 NORMAL_PRIORITY_CLASS, ABOVE_NORMAL_PRIORITY_CLASS,
                                 HIGH_PRIORITY_CLASS,   REALTIME_PRIORITY_CLASS};
    for (int rank = 0; rank < 6; ++rank) {
        if (priorityClass == fromIdle[rank]) {
            return rank;
        }
    }
    return 0;
}

template <typename T> int ValueOrder(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool InColumnOrder(const ProcessRow& a, const ProcessRow& b, int column, bool ascending) {
    int order = 0;
    switch (column) {
    case kColumnPath:
        order = LowerCaseOrder(a.path, b.path);
        break;
    case kColumnId:
        order = ValueOrder(a.processId, b.processId);
        break;
    case kColumnWindows:
        order = LowerCaseOrder(a.windows, b.windows);
        break;
    case kColumnMemory:
        order = ValueOrder(a.workingSet, b.workingSet);
        break;
    case kColumnPageFile:
        order = ValueOrder(a.pageFile, b.pageFile);
        break;
    case kColumnCpu:
        order = ValueOrder(a.cpuHistory.GetLatestPercent(), b.cpuHistory.GetLatestPercent());
        break;
    case kColumnPriority:
        order = ValueOrder(PriorityRank(a.priorityClass), PriorityRank(b.priorityClass));
        break;
    case kColumnSignature:
        order = LowerCaseOrder(FormatSignature(a.signature), FormatSignature(b.signature));
        break;
    default:
        order = LowerCaseOrder(a.name, b.name);
        if (order == 0) {
            return a.processId <= b.processId;
        }
        break;
    }
    return (ascending ? order : -order) <= 0;
}

} // namespace

// Helpers started from a copy with a long name with blanks, in a folder of the test's own.
class ProcessTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_helperPath = m_dir.File("Orvane Table Helper.exe");
        ASSERT_TRUE(CopyFileA(HelperProcess::BuiltPath().c_str(), m_helperPath.c_str(), FALSE));
    }
    void TearDown() override {
        SetReplaceFailureForTesting(false);
        ResetLongPathBindingForTesting();
    }

    HelperProcess& Start(const std::string& options = "") {
        m_helpers.push_back(std::make_unique<HelperProcess>());
        EXPECT_TRUE(m_helpers.back()->Start(options, m_helperPath));
        return *m_helpers.back();
    }

    TempDir m_dir{GetExeDir()};
    std::string m_trustFile = m_dir.File("processes.dat");
    std::string m_helperPath;
    std::vector<std::unique_ptr<HelperProcess>> m_helpers;
};

TEST_F(ProcessTableTest, TrustListIsProcessesDatBesideTheProgram) {
    CProcessTable table;
    EXPECT_EQ(table.GetTrustList().GetFile(), GetExeDir() + "\\processes.dat");
    EXPECT_EQ(table.GetSortColumn(), kColumnName);
    EXPECT_TRUE(table.IsAscending());
    EXPECT_TRUE(table.GetRows().empty());
}

TEST_F(ProcessTableTest, SnapshotRowOfARunningProcess) {
    char shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(m_helperPath.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), m_helperPath) << "the copy needs a short name of its own";
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("--window=\"Orvane Row Window\"", shortPath));

    CProcessTable table(m_trustFile);
    const std::string windowsBefore = WindowsTextOf(helper.Id());
    PROCESS_MEMORY_COUNTERS memory{};
    ASSERT_TRUE(ReadMemoryCounters(helper.Handle(), memory));
    const ProcessRowList rows = table.BuildSnapshot();
    const std::string windowsAfter = WindowsTextOf(helper.Id());

    const ProcessRow* row = RowOf(rows, helper.Id());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->path, m_helperPath) << "the long form of the path it was started by";
    EXPECT_TRUE(IsSamePath(row->name, "Orvane Table Helper.exe") ||
                IsSamePath(row->name, GetFileNameWithExt(shortPath)))
        << row->name;
    EXPECT_EQ(row->priorityClass, static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
    EXPECT_STREQ(GetPriorityName(row->priorityClass), "Normal");
    // An idle helper's memory barely moves between two readings.
    EXPECT_GT(row->workingSet, 0u);
    EXPECT_GT(row->pageFile, 0u);
    EXPECT_NEAR(row->workingSet, memory.WorkingSetSize, memory.WorkingSetSize / 4);
    EXPECT_NEAR(row->pageFile, memory.PagefileUsage, memory.PagefileUsage / 4);
    ASSERT_EQ(windowsBefore, windowsAfter) << "the helper's windows changed meanwhile";
    EXPECT_EQ(row->windows, windowsAfter);
    EXPECT_NE(row->windows.find("Orvane Row Window,"), std::string::npos) << row->windows;
    EXPECT_EQ(row->cpuHistory.GetCount(), 0u);

    const ProcessRow* self = RowOf(rows, GetCurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_TRUE(IsSamePath(self->path, GetExePath())) << self->path;
    EXPECT_EQ(row->creationTime, ReadCreationTime(helper.Handle()));

    // Where PSAPI cannot name the main module, the system's name of the image
    // gives the same path.
    SystemFunctions otherBitness = GetSystemFunctions();
    otherBitness.GetModuleFileNameExA = NoModuleOfAnotherBitness;
    CProcessTable seenFromOtherBitness(m_trustFile, otherBitness);
    const ProcessRowList imageRows = seenFromOtherBitness.BuildSnapshot();
    ASSERT_NE(RowOf(imageRows, helper.Id()), nullptr);
    EXPECT_EQ(RowOf(imageRows, helper.Id())->path, m_helperPath);

    // The snapshot keeps the enumerator's order, with each process once.
    CProcessEnumerator enumerator;
    enumerator.SelectApi(CProcessEnumerator::ENUM_TOOLHELP);
    std::vector<uint32_t> walked;
    ProcessEntry entry;
    for (bool more = enumerator.GetFirstProcess(entry); more;
         more = enumerator.GetNextProcess(entry)) {
        walked.push_back(entry.processId);
    }
    std::vector<uint32_t> listed;
    for (const ProcessRow& r : rows) {
        listed.push_back(r.processId);
    }
    EXPECT_EQ(listed, walked);
}

TEST_F(ProcessTableTest, LongFormIsLookedUpOnceWhileTheProgramRuns) {
    g_countedPath = m_helperPath;
    g_lookups = 0;
    SetLongPathBindingForTesting(CountingGetLongPathName);
    HelperProcess& first = Start();
    HelperProcess& second = Start();
    CProcessTable table(m_trustFile);
    table.Refresh();
    table.Refresh();
    EXPECT_EQ(g_lookups, 1) << "two processes of one file, two snapshots";
    EXPECT_EQ(RowOf(table, first.Id()).path, m_helperPath);
    EXPECT_EQ(RowOf(table, second.Id()).path, m_helperPath);

    first.Kill();
    second.Kill();
    table.Refresh();
    HelperProcess& again = Start();
    table.Refresh();
    EXPECT_EQ(g_lookups, 2) << "a program that ran again is looked up again";
    EXPECT_EQ(RowOf(table, again.Id()).path, m_helperPath);
}

TEST_F(ProcessTableTest, WindowsTextCountsUntitledWindowsAndListsTitledOnes) {
    // The first window of a thread brings Wine's hidden "Default IME" window along.
    OwnWindows windows;
    windows.Add("Orvane Window 0");
    CProcessTable table(m_trustFile);
    const std::string before = RowOf(table.BuildSnapshot(), GetCurrentProcessId())->windows;
    const int countBefore = std::stoi(before.substr(1));

    windows.Add("Orvane Window A");
    windows.Add("");
    windows.Add("Orvane Window B");
    const ProcessRowList rows = table.BuildSnapshot();
    const std::string text = RowOf(rows, GetCurrentProcessId())->windows;

    EXPECT_EQ(text, WindowsTextOf(GetCurrentProcessId()));
    EXPECT_EQ(text.substr(0, text.find(']') + 2), "[" + std::to_string(countBefore + 3) + "] ");
    EXPECT_NE(text.find("Orvane Window A,"), std::string::npos) << text;
    EXPECT_NE(text.find("Orvane Window B,"), std::string::npos) << text;
    EXPECT_EQ(text.find(",,"), std::string::npos) << "untitled windows add no title: " << text;
}

TEST_F(ProcessTableTest, PriorityClassesAndTheirOrder) {
    struct Case {
        DWORD priorityClass;
        const char* name;
    };
    const Case cases[] = {{HIGH_PRIORITY_CLASS, "High"},
                          {IDLE_PRIORITY_CLASS, "Idle"},
                          {ABOVE_NORMAL_PRIORITY_CLASS, "Above normal"},
                          {BELOW_NORMAL_PRIORITY_CLASS, "Below normal"},
                          {NORMAL_PRIORITY_CLASS, "Normal"}};
    std::vector<DWORD> ids;
    for (const Case& c : cases) {
        HelperProcess& helper = Start();
        ASSERT_TRUE(SetPriorityClass(helper.Handle(), c.priorityClass));
        ids.push_back(helper.Id());
    }

    CProcessTable table(m_trustFile);
    table.SetSortColumn(kColumnPriority);
    table.Refresh();
    std::vector<uint32_t> keys;
    for (size_t i = 0; i < ids.size(); ++i) {
        const ProcessRow& row = RowOf(table, ids[i]);
        EXPECT_EQ(row.priorityClass, cases[i].priorityClass);
        EXPECT_STREQ(GetPriorityName(row.priorityClass), cases[i].name);
    }
    // Idle first, realtime last; then the other way round.
    auto order = [&] {
        std::vector<std::string> names;
        for (const ProcessRow& row : table.GetRows()) {
            for (DWORD id : ids) {
                if (row.processId == id) {
                    names.push_back(GetPriorityName(row.priorityClass));
                }
            }
        }
        return names;
    };
    EXPECT_EQ(order(),
              (std::vector<std::string>{"Idle", "Below normal", "Normal", "Above normal", "High"}));
    table.SetSortColumn(kColumnPriority);
    EXPECT_FALSE(table.IsAscending());
    table.Refresh();
    EXPECT_EQ(order(),
              (std::vector<std::string>{"High", "Above normal", "Normal", "Below normal", "Idle"}));
}

TEST_F(ProcessTableTest, SortColumnClicks) {
    CProcessTable table(m_trustFile);
    table.SetSortColumn(kColumnPriority);
    EXPECT_EQ(table.GetSortColumn(), kColumnPriority);
    EXPECT_TRUE(table.IsAscending());
    table.SetSortColumn(kColumnPriority);
    EXPECT_FALSE(table.IsAscending()) << "the same column again turns the order round";
    table.SetSortColumn(kColumnMemory);
    EXPECT_EQ(table.GetSortColumn(), kColumnMemory);
    EXPECT_TRUE(table.IsAscending()) << "another column starts ascending";
    table.SetSortColumn(kColumnMemory);
    table.SetSortColumn(kProcessColumnCount);
    EXPECT_EQ(table.GetSortColumn(), kColumnName);
    EXPECT_TRUE(table.IsAscending());
    table.SetSortColumn(-1);
    EXPECT_EQ(table.GetSortColumn(), kColumnName);
    EXPECT_FALSE(table.IsAscending()) << "an out-of-range column is the name column";
}

TEST_F(ProcessTableTest, RowsOfTheSystemSortByEveryColumnBothWays) {
    Start("--window=\"Orvane Sort Window\"");
    Start();
    CProcessTable table(m_trustFile);
    table.Refresh();
    table.SampleCpu();
    table.SampleCpu();
    table.SampleCpu();
    const size_t count = table.GetRows().size();
    ASSERT_GE(count, 3u);
    for (int column = 0; column < kProcessColumnCount; ++column) {
        for (bool ascending : {true, false}) {
            table.SetSortColumn(column);
            if (table.IsAscending() != ascending) {
                table.SetSortColumn(column);
            }
            table.Sort();
            const ProcessRowList& rows = table.GetRows();
            ASSERT_EQ(rows.size(), count);
            for (size_t i = 1; i < rows.size(); ++i) {
                EXPECT_TRUE(InColumnOrder(rows[i - 1], rows[i], column, ascending))
                    << "column " << column << (ascending ? " ascending" : " descending")
                    << " at row " << i << ": " << rows[i - 1].name << ", " << rows[i].name;
            }
        }
    }
}

TEST_F(ProcessTableTest, RefreshCarriesHistoriesAndDropsEndedProcesses) {
    HelperProcess& early = Start();
    HelperProcess& ending = Start();
    CProcessTable table(m_trustFile);
    table.SetSortColumn(kColumnId);
    table.Refresh();
    table.SampleCpu();
    table.SampleCpu();
    const CCpuHistory earlyHistory = RowOf(table, early.Id()).cpuHistory;
    ASSERT_EQ(earlyHistory.GetCount(), 2u);

    ending.Kill();
    HelperProcess& late = Start();
    table.Refresh();

    const ProcessRow& carried = RowOf(table, early.Id());
    EXPECT_EQ(carried.cpuHistory.CpuTimes(), earlyHistory.CpuTimes());
    EXPECT_EQ(carried.cpuHistory.TimeStamps(), earlyHistory.TimeStamps());
    EXPECT_EQ(RowOf(table, GetCurrentProcessId()).cpuHistory.GetCount(), 2u);
    EXPECT_EQ(table.FindRowByProcessId(ending.Id()), -1);
    EXPECT_EQ(table.FindRowByProcessId(0xFFFFFFF0u), -1);
    for (size_t i = 1; i < table.GetRows().size(); ++i) {
        EXPECT_LT(table.GetRows()[i - 1].processId, table.GetRows()[i].processId);
    }

    // A process started since the last refresh has no readings yet and shows
    // 0 through its second.
    for (size_t readings = 0; readings < 3; ++readings) {
        const ProcessRow& row = RowOf(table, late.Id());
        EXPECT_EQ(row.cpuHistory.GetCount(), readings);
        EXPECT_EQ(CProcessTable::GetLatestCpu(row), 0) << readings << " readings";
        table.SampleCpu();
    }
    EXPECT_EQ(RowOf(table, late.Id()).cpuHistory.GetCount(), 3u);
    EXPECT_EQ(RowOf(table, early.Id()).cpuHistory.GetCount(), 5u);
}

TEST_F(ProcessTableTest, AdoptedSnapshotKeepsHistoriesOnlyForTheSameProgram) {
    CProcessTable table(m_trustFile);
    ProcessRowList first(2);
    first[0].name = "editor.exe";
    first[0].processId = 500;
    first[1].name = "tool.exe";
    first[1].processId = 600;
    table.Adopt(first);
    table.SampleCpu(); // neither id runs: readings that say so
    ASSERT_EQ(RowOf(table, 500).cpuHistory.GetCount(), 1u);

    ProcessRowList second = first;
    second[1].name = "reused.exe"; // another program got id 600
    table.Adopt(second);
    EXPECT_EQ(RowOf(table, 500).cpuHistory.GetCount(), 1u);
    EXPECT_EQ(RowOf(table, 600).cpuHistory.GetCount(), 0u);
    EXPECT_EQ(RowOf(table, 600).name, "reused.exe");
}

TEST_F(ProcessTableTest, InfoTextDescribesTheProcessAndItsFile) {
    HelperProcess& helper = Start();
    CProcessTable table(m_trustFile);
    table.Refresh();
    const int index = table.FindRowByProcessId(helper.Id());
    ASSERT_GE(index, 0);
    const ProcessRow& row = table.GetRows()[static_cast<size_t>(index)];
    const std::string text = table.GetInfoText(static_cast<size_t>(index));

    const std::string head = "Title: " + row.name + "\r\nFile name: Orvane Table Helper.exe\r\n" +
                             "Path: " + m_helperPath + "\r\nModified: ";
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_NE(text.find("\r\nFile size: " + std::to_string(GetFileSize64(m_helperPath) / 1024) +
                        " KB\r\nSignature: Not signed\r\nUsage of RAM: " +
                        std::to_string(row.workingSet / 1024) + " KB\r\nUsage of Page file: " +
                        std::to_string(row.pageFile / 1024) + " KB\r\nRecent CPU usage: 0 %"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.substr(text.size() - 21), "Recent CPU usage: 0 %");
    EXPECT_EQ(table.GetInfoText(table.GetRows().size()), "") << "past the last row";
}

TEST_F(ProcessTableTest, ReportHasASectionPerRowInDisplayOrder) {
    Start();
    CProcessTable table(m_trustFile);
    table.Refresh();
    const ProcessRowList& rows = table.GetRows();
    const std::string report = table.GetReportText("<end>");

    size_t at = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string section =
            "\r\n\r\n-----------------------------\r\nProcess #" + std::to_string(i + 1) +
            "\r\n-----------------------------\r\n" + "Title: " + rows[i].name + "\r\n";
        ASSERT_EQ(report.compare(at, section.size(), section), 0)
            << "section " << i + 1 << " at " << at << ":\n"
            << report.substr(at, 200);
        at = report.find("<end>", at);
        ASSERT_NE(at, std::string::npos);
        at += 5;
    }
    EXPECT_EQ(at, report.size());
    EXPECT_EQ(CProcessTable(m_trustFile).GetReportText(""), "") << "no rows, no sections";
}

TEST_F(ProcessTableTest, AcceptingWritesProcessesDatAndSharesOneEntryPerPath) {
    const DWORD first = Start().Id();
    const DWORD second = Start().Id();
    CProcessTable table(m_trustFile);
    table.Refresh();
    const std::vector<size_t> same = table.FindRowsWithPath(m_helperPath);
    ASSERT_EQ(same.size(), 2u);
    const size_t self = static_cast<size_t>(table.FindRowByProcessId(GetCurrentProcessId()));

    ASSERT_TRUE(table.SetAccepted({static_cast<size_t>(table.FindRowByProcessId(first))}, 1));
    EXPECT_EQ(table.IsAccepted(RowOf(table, first)), 1);
    EXPECT_EQ(table.IsAccepted(RowOf(table, second)), 1) << "same path, same trust";
    EXPECT_EQ(table.IsAccepted(table.GetRows()[self]), 0);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_trustFile)));
    {
        CAcceptedList stored(m_trustFile);
        stored.Reload();
        ASSERT_EQ(stored.GetItems().size(), 1u);
        EXPECT_EQ(stored.GetItems()[0].path, m_helperPath);
        EXPECT_EQ(stored.GetItems()[0].state, 1);
    }
    EXPECT_EQ(CProcessTable(m_trustFile).GetTrustList().GetState(m_helperPath), 1)
        << "a new table loads what was stored";

    ASSERT_TRUE(table.SetAccepted(same, 0));
    CAcceptedList stored(m_trustFile);
    stored.Reload();
    ASSERT_EQ(stored.GetItems().size(), 1u);
    EXPECT_EQ(stored.GetItems()[0].state, 0);
    EXPECT_EQ(table.IsAccepted(RowOf(table, second)), 0);

    // A write that fails says so and leaves the file as it was.
    const std::string bytes = ReadFileText(m_trustFile);
    SetReplaceFailureForTesting(true);
    EXPECT_FALSE(table.SetAccepted({self}, 1));
    EXPECT_EQ(ReadFileText(m_trustFile), bytes);
}

TEST_F(ProcessTableTest, CheckUnacceptedWarnsThroughTheGate) {
    Start();
    CProcessTable table(m_trustFile);
    table.Refresh();
    const ProcessRowList& rows = table.GetRows();

    RecordingGate gate;
    EXPECT_TRUE(table.CheckUnaccepted(gate));
    ASSERT_EQ(gate.asked.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(gate.asked[i], rows[i].path);
    }
    ASSERT_EQ(gate.openedRows.size(), 1u) << "an open warning closes the gate";
    EXPECT_EQ(gate.openedRows[0].processId, rows[0].processId);
    EXPECT_EQ(gate.openedRows[0].path, rows[0].path);
    EXPECT_EQ(gate.openedRows[0].name, rows[0].name);

    std::vector<size_t> all;
    for (size_t i = 1; i < rows.size(); ++i) {
        all.push_back(i);
    }
    ASSERT_TRUE(table.SetAccepted(all, 1));
    // The first row stays unaccepted unless another row runs the same file.
    bool firstSharesAPath = false;
    for (size_t i = 1; i < rows.size(); ++i) {
        firstSharesAPath = firstSharesAPath || LowerCaseOrder(rows[i].path, rows[0].path) == 0;
    }
    RecordingGate second;
    EXPECT_EQ(table.CheckUnaccepted(second), !firstSharesAPath);
    all.push_back(0);
    ASSERT_TRUE(table.SetAccepted(all, 1));
    RecordingGate none;
    EXPECT_FALSE(table.CheckUnaccepted(none));
    EXPECT_TRUE(none.asked.empty());

    ASSERT_TRUE(table.SetAccepted({0}, 0));
    RecordingGate off;
    off.warningsOn = false;
    EXPECT_TRUE(table.CheckUnaccepted(off));
    EXPECT_TRUE(off.openedRows.empty()) << "with warnings off the result still counts";
}

TEST_F(ProcessTableTest, UnseenRefreshReadsNewProcessesWholeAndLetsKnownRowsWait) {
    HelperProcess& known = Start();
    HelperProcess& ending = Start();
    SystemFunctions functions = GetSystemFunctions();
    functions.GetModuleFileNameExA = NoPathWhileStarting;
    functions.QueryFullProcessImageNameA = NoImageWhileStarting;
    CProcessTable table(m_trustFile, functions);
    table.Refresh();
    ASSERT_EQ(RowOf(table, known.Id()).priorityClass, static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
    RecordingGate before;
    before.warningsOn = false;
    ASSERT_TRUE(table.CheckUnaccepted(before));

    // While no one looks: a priority changes, a process ends, one starts.
    ASSERT_TRUE(SetPriorityClass(known.Handle(), IDLE_PRIORITY_CLASS));
    ending.Kill();
    const std::string freshPath = m_dir.File("Orvane Fresh Helper.exe");
    ASSERT_TRUE(CopyFileA(m_helperPath.c_str(), freshPath.c_str(), FALSE));
    HelperProcess fresh;
    ASSERT_TRUE(fresh.Start("--window=\"Orvane Unseen Helper\"", freshPath));
    g_startingProcess = fresh.Id();
    table.RefreshNewProcesses();
    EXPECT_LT(table.FindRowByProcessId(ending.Id()), 0) << "the ended process left";
    EXPECT_EQ(RowOf(table, fresh.Id()).path, "") << "caught before its path could be read";
    EXPECT_EQ(RowOf(table, known.Id()).priorityClass, static_cast<uint32_t>(NORMAL_PRIORITY_CLASS))
        << "a running process's row waits for the next full refresh";

    // The next unseen refresh reads the path it lacked, and the new process's
    // row is whole.
    g_startingProcess = 0;
    table.RefreshNewProcesses();
    const ProcessRow& row = RowOf(table, fresh.Id());
    EXPECT_EQ(row.path, freshPath);
    EXPECT_EQ(row.priorityClass, static_cast<uint32_t>(NORMAL_PRIORITY_CLASS));
    EXPECT_GT(row.workingSet, 0u);
    EXPECT_EQ(row.windows, WindowsTextOf(fresh.Id()));
    EXPECT_NE(row.windows.find("Orvane Unseen Helper,"), std::string::npos) << row.windows;
    for (size_t i = 1; i < table.GetRows().size(); ++i) {
        EXPECT_TRUE(InColumnOrder(table.GetRows()[i - 1], table.GetRows()[i], kColumnName, true));
    }

    // The check sees the new process at once.
    RecordingGate after;
    after.warningsOn = false;
    EXPECT_TRUE(table.CheckUnaccepted(after));
    EXPECT_NE(std::find(after.asked.begin(), after.asked.end(), freshPath), after.asked.end());
    EXPECT_EQ(after.asked.size(), table.GetRows().size());

    table.Refresh();
    EXPECT_EQ(RowOf(table, known.Id()).priorityClass, static_cast<uint32_t>(IDLE_PRIORITY_CLASS));
}

// On 64-bit Windows nearly every process a 32-bit Orvane meets is a 64-bit
// one. Where the run names a helper of the other bitness (the 32-bit build's
// tests in a 64-bit prefix), it is listed with its path, warned about by its
// path, and accepted.
class OtherBitnessProcess : public ProcessTableTest {
  protected:
    void SetUp() override {
        const char* other = std::getenv("ORV_OTHER_BITNESS_HELPER");
        const std::string helper = other ? testsupport::WinePathOf(other) : std::string();
        if (helper.empty() || !FileExists(helper)) {
            GTEST_SKIP() << "no helper of the other bitness in this run";
        }
        m_helperPath = m_dir.File("Orvane Table Helper.exe");
        ASSERT_TRUE(CopyFileA(helper.c_str(), m_helperPath.c_str(), FALSE));
    }
};

TEST_F(OtherBitnessProcess, IsListedWithItsPathWarnedAboutAndAccepted) {
    const DWORD id = Start().Id();
    CProcessTable table(m_trustFile);
    table.Refresh();
    EXPECT_EQ(RowOf(table, id).path, m_helperPath);
    EXPECT_GT(RowOf(table, id).workingSet, 0u);
    std::vector<std::string> withoutPath;
    for (const ProcessRow& row : table.GetRows()) {
        if (row.path.empty()) {
            withoutPath.push_back(row.name);
        }
    }
    EXPECT_EQ(withoutPath, std::vector<std::string>{}) << "of " << table.GetRows().size();

    std::vector<size_t> others;
    const size_t helperRow = static_cast<size_t>(table.FindRowByProcessId(id));
    for (size_t i = 0; i < table.GetRows().size(); ++i) {
        if (i != helperRow) {
            others.push_back(i);
        }
    }
    ASSERT_TRUE(table.SetAccepted(others, 1));
    RecordingGate gate;
    EXPECT_TRUE(table.CheckUnaccepted(gate));
    ASSERT_EQ(gate.openedRows.size(), 1u);
    EXPECT_EQ(gate.openedRows[0].processId, id);
    EXPECT_EQ(gate.openedRows[0].path, m_helperPath) << "the warning names its file";

    ASSERT_TRUE(table.SetAccepted({helperRow}, 1));
    EXPECT_EQ(table.IsAccepted(RowOf(table, id)), 1);
    RecordingGate accepted;
    EXPECT_FALSE(table.CheckUnaccepted(accepted));
}
