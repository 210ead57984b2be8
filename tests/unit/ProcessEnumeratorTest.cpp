#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"
#include "process/ProcessEnumerator.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace {

constexpr int kPsapi = CProcessEnumerator::ENUM_PSAPI;
constexpr int kToolHelp = CProcessEnumerator::ENUM_TOOLHELP;
constexpr int kVdm = CProcessEnumerator::ENUM_VDM;

std::vector<ProcessEntry> Walk(CProcessEnumerator& enumerator) {
    std::vector<ProcessEntry> entries;
    ProcessEntry entry;
    if (!enumerator.GetFirstProcess(entry)) {
        return entries;
    }
    do {
        entries.push_back(entry);
    } while (entries.size() < 100000 && enumerator.GetNextProcess(entry));
    return entries;
}

std::vector<ProcessEntry> EntriesOf(const std::vector<ProcessEntry>& entries, DWORD processId) {
    std::vector<ProcessEntry> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                 [processId](const ProcessEntry& e) { return e.processId == processId; });
    return found;
}

// A copy of the helper program under another name, in a folder of its own.
std::string CopyHelper(const TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    CopyFileA(HelperProcess::BuiltPath().c_str(), path.c_str(), FALSE);
    return path;
}

} // namespace

TEST(ProcessEnumerator, ToolHelpWinsOverPsapi) {
    CProcessEnumerator enumerator;
    const int available = enumerator.GetAvailableApis();
    ASSERT_EQ(available & (kPsapi | kToolHelp), kPsapi | kToolHelp);
    const int vdm = available & kVdm;
    EXPECT_EQ(enumerator.GetMode(), kToolHelp | vdm);

    EXPECT_EQ(enumerator.SelectApi(kPsapi), kPsapi);
    EXPECT_EQ(enumerator.SelectApi(kVdm), kPsapi) << "16-bit tasks alone are refused";
    EXPECT_EQ(enumerator.SelectApi(8), kPsapi) << "no such facility";
    EXPECT_EQ(enumerator.SelectApi(kToolHelp | kVdm), vdm ? kToolHelp | kVdm : kPsapi);
    EXPECT_EQ(enumerator.SelectApi(kToolHelp), kToolHelp);
}

class WalkOfTheSystem : public ::testing::TestWithParam<int> {};

TEST_P(WalkOfTheSystem, ListsAStartedProcessOnceWithItsIdAndPath) {
    TempDir dir;
    const std::string path = CopyHelper(dir, "Orvane Walk Helper.exe");
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("", path));

    CProcessEnumerator enumerator;
    ASSERT_EQ(enumerator.SelectApi(GetParam()), GetParam());
    const std::vector<ProcessEntry> entries = Walk(enumerator);

    const std::vector<ProcessEntry> mine = EntriesOf(entries, helper.Id());
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0].task, 0);
    if (GetParam() == kPsapi) {
        EXPECT_TRUE(IsSamePath(mine[0].name, path)) << mine[0].name;
    } else {
        // Tool-help names the executable file without its folder.
        EXPECT_TRUE(IsSamePath(mine[0].name, GetFileNameWithExt(path))) << mine[0].name;
    }

    helper.Kill();
    CProcessEnumerator after;
    after.SelectApi(GetParam());
    EXPECT_TRUE(EntriesOf(Walk(after), helper.Id()).empty());
}

// Needs no second program: the part the 32-bit suite runs under emulation, where
// each program start takes a minute or more.
TEST_P(WalkOfTheSystem, ListsThisProgramOnceAndEveryProcessOnce) {
    CProcessEnumerator enumerator;
    ASSERT_EQ(enumerator.SelectApi(GetParam()), GetParam());
    const std::vector<ProcessEntry> entries = Walk(enumerator);

    const std::vector<ProcessEntry> self = EntriesOf(entries, GetCurrentProcessId());
    ASSERT_EQ(self.size(), 1u);
    EXPECT_EQ(FindNoCase(self[0].name, "orv_unit_tests.exe") >= 0, true) << self[0].name;
    if (GetParam() == kPsapi) {
        EXPECT_TRUE(IsSamePath(self[0].name, GetExePath())) << self[0].name;
    }

    std::set<DWORD> ids;
    for (const ProcessEntry& entry : entries) {
        EXPECT_TRUE(ids.insert(entry.processId).second) << "listed twice: " << entry.processId;
        EXPECT_LT(std::char_traits<char>::length(entry.name), ProcessEntry::kNameSize);
    }
}

TEST(ProcessEnumerator, ListAtOnceNamesEveryProcessAsTheToolHelpWalkDoes) {
    const TempDir dir;
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("", CopyHelper(dir, "Orvane \xE9t\xE9 helper.exe")));
    std::vector<ProcessEntry> atOnce;
    ASSERT_TRUE(ListProcessesAtOnce(GetSystemFunctions(), atOnce));
    CProcessEnumerator enumerator;
    ASSERT_EQ(enumerator.SelectApi(kToolHelp), kToolHelp);
    std::map<DWORD, std::string> walked;
    for (const ProcessEntry& entry : Walk(enumerator)) {
        walked[entry.processId] = entry.name;
    }
    ASSERT_EQ(EntriesOf(atOnce, helper.Id()).size(), 1u);
    EXPECT_STREQ(EntriesOf(atOnce, helper.Id())[0].name, "Orvane \xE9t\xE9 helper.exe");
    for (const ProcessEntry& entry : atOnce) {
        if (walked.count(entry.processId) != 0) { // not one that ended in between
            EXPECT_EQ(walked[entry.processId], entry.name);
        }
    }
    EXPECT_EQ(EntriesOf(atOnce, GetCurrentProcessId()).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ProcessEnumerator, WalkOfTheSystem, ::testing::Values(kPsapi, kToolHelp),
                         [](const auto& info) {
                             return std::string(info.param == kPsapi ? "Psapi" : "ToolHelp");
                         });

namespace {
INT WINAPI NoTasks(DWORD, TaskEnumProcEx, LPARAM) {
    return 0;
}
} // namespace

TEST(ProcessEnumerator, NoFacilityGivesAnEmptyList) {
    CProcessEnumerator nothing{SystemFunctions{}};
    EXPECT_EQ(nothing.GetAvailableApis(), 0);
    EXPECT_EQ(nothing.GetMode(), 0);
    EXPECT_EQ(nothing.SelectApi(kPsapi), 0);
    ProcessEntry entry;
    EXPECT_FALSE(nothing.GetFirstProcess(entry));
    EXPECT_FALSE(nothing.GetNextProcess(entry));

    // VDMDBG alone cannot list anything either.
    SystemFunctions vdmOnly;
    vdmOnly.VDMEnumTaskWOWEx = NoTasks;
    CProcessEnumerator onlyVdm(vdmOnly);
    EXPECT_EQ(onlyVdm.GetAvailableApis(), 0);
    EXPECT_EQ(onlyVdm.GetMode(), 0);
    EXPECT_FALSE(onlyVdm.GetFirstProcess(entry));
}

// PSAPI answers for a machine that runs more processes than the first buffer
// holds: the given identifiers, as many as fit, like EnumProcesses does.
namespace {
std::vector<DWORD> g_ids;
std::vector<DWORD> g_bytesAsked;

BOOL WINAPI ManyProcesses(DWORD* ids, DWORD bytes, DWORD* returned) {
    g_bytesAsked.push_back(bytes);
    const size_t fit = std::min<size_t>(g_ids.size(), bytes / sizeof(DWORD));
    std::copy_n(g_ids.begin(), fit, ids);
    *returned = static_cast<DWORD>(fit * sizeof(DWORD));
    return TRUE;
}

BOOL WINAPI FailsSilently(DWORD*, DWORD, DWORD*) {
    g_bytesAsked.push_back(0);
    return FALSE;
}
} // namespace

TEST(ProcessEnumerator, IdentifierBufferGrowsUntilEveryProcessFits) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    g_ids = {GetCurrentProcessId(), 0, helper.Id()};
    for (DWORD i = 0; g_ids.size() < 600; ++i) {
        g_ids.push_back(0x7FFF0000u + 4 * i); // not running
    }
    g_bytesAsked.clear();

    SystemFunctions facilities = GetSystemFunctions();
    facilities.EnumProcesses = ManyProcesses;
    CProcessEnumerator enumerator(facilities);
    ASSERT_EQ(enumerator.SelectApi(kPsapi), kPsapi);
    const std::vector<ProcessEntry> entries = Walk(enumerator);

    EXPECT_EQ(g_bytesAsked, (std::vector<DWORD>{1024, 2048, 3072}));
    EXPECT_EQ(enumerator.GetIdCapacity(), 768u);
    ASSERT_EQ(entries.size(), 600u);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].processId, g_ids[i]);
    }
    EXPECT_TRUE(IsSamePath(entries[0].name, GetExePath())) << entries[0].name;
    EXPECT_STREQ(entries[1].name, "N/A (security restriction)"); // the idle process
    EXPECT_TRUE(IsSamePath(entries[2].name, helper.Path())) << entries[2].name;
    EXPECT_STREQ(entries[599].name, "N/A (security restriction)");
}

TEST(ProcessEnumerator, FailingEnumProcessesEndsTheWalk) {
    SystemFunctions facilities = GetSystemFunctions();
    facilities.EnumProcesses = FailsSilently;
    facilities.CreateToolhelp32Snapshot = nullptr;
    g_bytesAsked.clear();
    CProcessEnumerator enumerator(facilities);
    ASSERT_EQ(enumerator.GetMode() & ~kVdm, kPsapi);
    ProcessEntry entry;
    EXPECT_FALSE(enumerator.GetFirstProcess(entry));
    EXPECT_FALSE(enumerator.GetNextProcess(entry));
    EXPECT_EQ(g_bytesAsked.size(), 1u);
}

// A process whose modules cannot be listed or named.
namespace {
DWORD g_unreadable = 0;
decltype(SystemFunctions::EnumProcessModules) g_realEnumModules = nullptr;

BOOL WINAPI ModulesOfAllButOne(HANDLE process, HMODULE* modules, DWORD bytes, DWORD* needed) {
    if (GetProcessId(process) == g_unreadable) {
        SetLastError(ERROR_PARTIAL_COPY);
        return FALSE;
    }
    return g_realEnumModules(process, modules, bytes, needed);
}

DWORD WINAPI NoModuleName(HANDLE, HMODULE, char*, DWORD) {
    return 0;
}
} // namespace

TEST(ProcessEnumerator, UnreadableExecutableIsNamedAsAnError) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    SystemFunctions facilities = GetSystemFunctions();
    facilities.EnumProcesses = ManyProcesses;
    g_ids = {GetCurrentProcessId(), helper.Id()};

    // The entry is reused from process to process: the helper must not be
    // reported under this program's name.
    g_realEnumModules = facilities.EnumProcessModules;
    g_unreadable = helper.Id();
    facilities.EnumProcessModules = ModulesOfAllButOne;
    CProcessEnumerator noModules(facilities);
    noModules.SelectApi(kPsapi);
    std::vector<ProcessEntry> entries = Walk(noModules);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(IsSamePath(entries[0].name, GetExePath())) << entries[0].name;
    EXPECT_STREQ(entries[1].name, "N/A (error)");
    EXPECT_EQ(entries[1].processId, helper.Id());

    facilities.EnumProcessModules = g_realEnumModules;
    facilities.GetModuleFileNameExA = NoModuleName;
    CProcessEnumerator noName(facilities);
    noName.SelectApi(kPsapi);
    entries = Walk(noName);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_STREQ(entries[0].name, "N/A (error)");
    EXPECT_STREQ(entries[1].name, "N/A (error)");
}

// VDMDBG does not exist here: a stand-in lists made-up 16-bit tasks for the
// processes the test names, which are real processes called NTVDM.EXE.
namespace {
struct Task16 {
    WORD task;
    std::string file;
};
std::map<DWORD, std::vector<Task16>> g_tasks;
std::vector<std::pair<DWORD, LPARAM>> g_vdmCalls;

INT WINAPI ListMadeUpTasks(DWORD processId, TaskEnumProcEx callback, LPARAM userValue) {
    g_vdmCalls.emplace_back(processId, userValue);
    INT listed = 0;
    for (Task16& task : g_tasks[processId]) {
        char module[] = "MODULE";
        ++listed;
        if (callback(1, 0x0F00, task.task, module, task.file.data(), userValue)) {
            break;
        }
    }
    return listed;
}

bool IsDoubleByteLead(unsigned char byte) {
    return byte == 0x81;
}

class VirtualMachines : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_first.Start("", CopyHelper(m_dirA, "ntvdm.exe")));
        ASSERT_TRUE(m_second.Start("", CopyHelper(m_dirB, "NtVdm.Exe")));
        ASSERT_TRUE(m_plain.Start("", CopyHelper(m_dirC, "vdm.exe")));
        g_tasks.clear();
        g_vdmCalls.clear();
        g_tasks[m_first.Id()] = {{0x1234, "C:\\WINDOWS\\SYSTEM\\KRNL386.EXE"},
                                 {0x2345, "C:\\OLD\\" + std::string(300, 'L') + ".EXE"}};
        // 254 single bytes, then a double-byte character across the limit.
        g_tasks[m_second.Id()] = {{0x0101, std::string(254, 'w') + "\x81\x40" + "tail"}};
        g_tasks[m_plain.Id()] = {{0x0BAD, "never asked for"}};

        m_facilities = GetSystemFunctions();
        m_facilities.VDMEnumTaskWOWEx = ListMadeUpTasks;
    }
    void TearDown() override { mbcs::SetLeadBytePredicateForTesting(nullptr); }

    // Where the entry of this process (not one of its tasks) is.
    static size_t IndexOf(const std::vector<ProcessEntry>& entries, DWORD processId) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].processId == processId && entries[i].task == 0) {
                return i;
            }
        }
        return entries.size();
    }

    TempDir m_dirA, m_dirB, m_dirC;
    HelperProcess m_first, m_second, m_plain;
    SystemFunctions m_facilities;
};

} // namespace

TEST_F(VirtualMachines, TasksFollowTheirMachineWithoutToolHelp) {
    mbcs::SetLeadBytePredicateForTesting(IsDoubleByteLead);
    m_facilities.CreateToolhelp32Snapshot = nullptr;
    CProcessEnumerator enumerator(m_facilities);
    ASSERT_EQ(enumerator.GetAvailableApis(), kPsapi | kVdm);
    ASSERT_EQ(enumerator.GetMode(), kPsapi | kVdm);
    const std::vector<ProcessEntry> entries = Walk(enumerator);

    const size_t first = IndexOf(entries, m_first.Id());
    ASSERT_LT(first + 3, entries.size());
    EXPECT_TRUE(IsSamePath(entries[first].name, m_first.Path()));
    EXPECT_EQ(entries[first + 1].processId, m_first.Id());
    EXPECT_EQ(entries[first + 1].task, 0x1234);
    EXPECT_STREQ(entries[first + 1].name, "C:\\WINDOWS\\SYSTEM\\KRNL386.EXE");
    EXPECT_EQ(entries[first + 2].processId, m_first.Id());
    EXPECT_EQ(entries[first + 2].task, 0x2345);
    EXPECT_EQ(std::string(entries[first + 2].name), "C:\\OLD\\" + std::string(248, 'L'));
    EXPECT_EQ(entries[first + 3].task, 0);
    EXPECT_NE(entries[first + 3].processId, m_first.Id());

    const size_t second = IndexOf(entries, m_second.Id());
    ASSERT_LT(second + 2, entries.size());
    EXPECT_EQ(entries[second + 1].processId, m_second.Id());
    EXPECT_EQ(entries[second + 1].task, 0x0101);
    EXPECT_EQ(std::string(entries[second + 1].name), std::string(254, 'w'));
    EXPECT_EQ(entries[second + 2].task, 0);

    const size_t tasks = std::count_if(entries.begin(), entries.end(),
                                       [](const ProcessEntry& e) { return e.task != 0; });
    EXPECT_EQ(tasks, 3u);
    ASSERT_LT(IndexOf(entries, m_plain.Id()), entries.size());
    // Asked once for each machine, with its process id as the user value, and
    // never for a process that is no NTVDM.
    for (const HelperProcess* helper : {&m_first, &m_second, &m_plain}) {
        const DWORD id = helper->Id();
        const auto calls = std::count(g_vdmCalls.begin(), g_vdmCalls.end(),
                                      std::make_pair(id, static_cast<LPARAM>(id)));
        EXPECT_EQ(calls, helper == &m_plain ? 0 : 1) << helper->Path();
    }
    for (const auto& [id, userValue] : g_vdmCalls) {
        EXPECT_EQ(static_cast<LPARAM>(id), userValue);
    }
    EXPECT_EQ(CProcessEnumerator::PendingTaskCount(), 0u);
}

TEST_F(VirtualMachines, TasksLeftWaitingAreDroppedWithTheEnumerator) {
    m_facilities.CreateToolhelp32Snapshot = nullptr;
    {
        CProcessEnumerator enumerator(m_facilities);
        ProcessEntry entry;
        ASSERT_TRUE(enumerator.GetFirstProcess(entry));
        while (entry.processId != m_first.Id() && enumerator.GetNextProcess(entry)) {
        }
        ASSERT_EQ(entry.processId, m_first.Id());
        EXPECT_EQ(CProcessEnumerator::PendingTaskCount(), 2u);
    }
    EXPECT_EQ(CProcessEnumerator::PendingTaskCount(), 0u);

    // The next walk starts clean.
    CProcessEnumerator next(m_facilities);
    const std::vector<ProcessEntry> entries = Walk(next);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const ProcessEntry& e) { return e.task != 0; }),
              3);
}

TEST_F(VirtualMachines, ToolHelpAsTheProcessTableAsksListsNoTasks) {
    CProcessEnumerator enumerator(m_facilities);
    EXPECT_EQ(enumerator.GetAvailableApis(), kPsapi | kToolHelp | kVdm);
    EXPECT_EQ(enumerator.GetMode(), kToolHelp | kVdm);
    EXPECT_EQ(enumerator.SelectApi(kVdm), kToolHelp | kVdm) << "16-bit tasks alone are refused";
    ASSERT_EQ(enumerator.SelectApi(kToolHelp), kToolHelp);
    const std::vector<ProcessEntry> entries = Walk(enumerator);
    EXPECT_LT(IndexOf(entries, m_first.Id()), entries.size());
    EXPECT_TRUE(std::none_of(entries.begin(), entries.end(),
                             [](const ProcessEntry& e) { return e.task != 0; }));
    EXPECT_TRUE(g_vdmCalls.empty());
}
