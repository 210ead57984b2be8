// Killing processes and changing their priority, on real helper processes,
// including rows whose process id has been taken by another program since.
#include "process/ProcessActions.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The row of the helper, or, given another program's name, the row of that
// program read from the id the helper has now.
ProcessRow RowOf(const HelperProcess& helper, const std::string& name = "ProcessHelper.exe") {
    ProcessRow row;
    row.name = name;
    row.path = name == "ProcessHelper.exe" ? helper.Path() : "C:\\Tools\\" + name;
    row.processId = helper.Id();
    return row;
}

bool HasEnded(const HelperProcess& helper) {
    return ::WaitForSingleObject(helper.Handle(), 5000) == WAIT_OBJECT_0;
}

} // namespace

TEST(ProcessActions, KillEndsTheRowsProcessesButNotAProgramThatTookAnId) {
    HelperProcess first, second, stranger;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(stranger.Start());
    EXPECT_TRUE(IsSameProcessNow(RowOf(first)));

    // The row of a program that ended, whose id now names the helper.
    const ProcessRow stale = RowOf(stranger, "editor.exe");
    EXPECT_FALSE(IsSameProcessNow(stale));

    EXPECT_EQ(KillProcesses({RowOf(first), stale, RowOf(second)}), 2u);
    EXPECT_TRUE(HasEnded(first));
    EXPECT_TRUE(HasEnded(second));
    EXPECT_EQ(::WaitForSingleObject(stranger.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "a reused id is left alone";

    EXPECT_EQ(KillProcesses({RowOf(first)}), 0u) << "an ended process is skipped silently";
    EXPECT_FALSE(IsSameProcessNow(RowOf(first)));
}

TEST(ProcessActions, AnIdTakenByAnotherStartOfTheSameProgramIsLeftAlone) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    ProcessRow row = RowOf(helper);
    row.creationTime = ReadCreationTime(helper.Handle());
    ASSERT_NE(row.creationTime, 0u);

    // Read from a process that started earlier and ended; same id, name and path.
    ProcessRow earlier = row;
    earlier.creationTime -= 10'000'000;
    // The same name, but another program's file.
    ProcessRow otherFile = row;
    otherFile.path = "C:\\Other Vendor\\ProcessHelper.exe";
    EXPECT_EQ(SetProcessesPriority({earlier, otherFile}, IDLE_PRIORITY_CLASS), 0u);
    EXPECT_EQ(KillProcesses({earlier, otherFile}), 0u);
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_EQ(KillProcesses({row}), 1u) << "the row's own process";
    EXPECT_TRUE(HasEnded(helper));
}

// As another user's process is to a standard user: it may be looked at, not
// changed. Both actions count it as refused, and it runs on as it was.
TEST(ProcessActions, AProcessTheSystemWillNotLetUsChangeIsCountedAsRefused) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    const DWORD priority = ::GetPriorityClass(helper.Handle());
    // SYNCHRONIZE and PROCESS_QUERY_LIMITED_INFORMATION only.
    ASSERT_TRUE(testsupport::AccessList("D:P(A;;0x101000;;;WD)").SetOn(helper.Handle()));
    size_t refused = 0;
    EXPECT_EQ(SetProcessesPriority({RowOf(helper)}, IDLE_PRIORITY_CLASS, &refused), 0u);
    EXPECT_EQ(refused, 1u);
    refused = 0;
    EXPECT_EQ(KillProcesses({RowOf(helper)}, &refused), 0u);
    EXPECT_EQ(refused, 1u);
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(::GetPriorityClass(helper.Handle()), priority);
}

TEST(ProcessActions, PriorityChangesOnlyTheRowsOwnProcess) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    ASSERT_EQ(SetProcessesPriority({RowOf(helper)}, IDLE_PRIORITY_CLASS), 1u);
    EXPECT_EQ(::GetPriorityClass(helper.Handle()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));

    EXPECT_EQ(SetProcessesPriority({RowOf(helper, "other.exe")}, HIGH_PRIORITY_CLASS), 0u);
    EXPECT_EQ(::GetPriorityClass(helper.Handle()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));

    ASSERT_EQ(SetProcessesPriority({RowOf(helper)}, NORMAL_PRIORITY_CLASS), 1u);
    EXPECT_EQ(::GetPriorityClass(helper.Handle()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}
