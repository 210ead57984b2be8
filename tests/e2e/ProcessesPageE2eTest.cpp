// The Processes page as its user works with it: a program appears in the list,
// gets a lower priority through the context menu, and is killed with Delete.
#include "tests/e2e/SheetSteps.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using namespace e2e;

namespace {

constexpr int kPriorityColumn = 7;
constexpr int kSignatureColumn = 8;

// Clicks the header of the list's column, scrolled into view when need be;
// the next click waits out the double-click time.
void ClickColumnHeader(HWND list, int column) {
    int left = 0;
    for (int i = 0; i < column; ++i) {
        left += static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
    }
    RECT client{};
    ::GetClientRect(list, &client);
    if (left + 20 > client.right) {
        ::SendMessageA(list, LVM_SCROLL, left + 40 - client.right, 0);
    }
    const int scrolled = ::GetScrollPos(list, SB_HORZ);
    RECT header{};
    ::GetWindowRect(reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
    POINT origin{0, 0};
    ::ClientToScreen(list, &origin);
    ::Sleep(::GetDoubleClickTime() + 200);
    ClickAt(POINT{origin.x + left - scrolled + 10, (header.top + header.bottom) / 2});
}

} // namespace

TEST(ProcessesPage, RowsShownAfterTheSheetWasHiddenAreCurrent) {
    HelperProcess staying;
    ASSERT_TRUE(staying.Start("--window=\"Orvane Staying Helper\""));
    HelperProcess ending;
    ASSERT_TRUE(ending.Start());
    LaterRun run;
    HWND sheet = run.ShowSheet();
    ASSERT_NE(sheet, nullptr);
    HWND list = ::GetDlgItem(OpenPage(sheet, 1), kCurrentList);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return FindListItem(list, kProcessIdColumn, IdText(staying.Id())) >= 0 &&
                   FindListItem(list, kProcessIdColumn, IdText(ending.Id())) >= 0;
        },
        12s));
    // The highest priority first: the program itself, running above normal.
    ClickColumnHeader(list, kPriorityColumn);
    ClickColumnHeader(list, kPriorityColumn);
    ASSERT_TRUE(WaitUntil(
        [&] { return ListItemText(list, 0, kProcessIdColumn) == IdText(run.Program().Id()); }, 5s))
        << "sorted by priority, descending";

    // Into the tray; meanwhile a process ends, one starts and one is raised
    // above the program, and the unseen refresh and sampling go by.
    ASSERT_TRUE(ToggleFromTray(sheet, false));
    ending.Kill();
    HelperProcess fresh;
    ASSERT_TRUE(fresh.Start("--window=\"Orvane Fresh Helper\""));
    ASSERT_TRUE(::SetPriorityClass(staying.Handle(), HIGH_PRIORITY_CLASS));
    ::Sleep(static_cast<DWORD>(Scaled(7s).count()));

    // The first look at the list shows the world as it is now.
    ASSERT_TRUE(ToggleFromTray(sheet, true));
    const std::string first = ListItemText(list, 0, kProcessIdColumn);
    const bool freshListed = FindListItem(list, kProcessIdColumn, IdText(fresh.Id())) >= 0;
    const bool endedListed = FindListItem(list, kProcessIdColumn, IdText(ending.Id())) >= 0;
    SaveScreenshot("pages\\processes-after-tray");
    EXPECT_EQ(first, IdText(staying.Id())) << "the raised process's new priority sorts it first";
    EXPECT_TRUE(freshListed) << "the process started meanwhile is listed";
    EXPECT_FALSE(endedListed) << "the process that ended is gone";
    EXPECT_TRUE(run.Exit(sheet));
}

TEST(ProcessesPage, AProgramIsListedReprioritisedAndKilled) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("--window=\"Orvane Processes Helper\""));
    testsupport::RunValues values;
    ASSERT_TRUE(
        values.Set("Orvane Test Helper",
                   std::string("\"").append(HelperProcess::BuiltPath()).append("\" /quiet")));
    LaterRun run;
    HWND sheet = run.ShowSheet();
    ASSERT_NE(sheet, nullptr);
    HWND page = OpenPage(sheet, 1);
    ASSERT_NE(page, nullptr);
    HWND list = ::GetDlgItem(page, kCurrentList);
    ASSERT_NE(list, nullptr);

    ASSERT_TRUE(SelectRowOf(list, helper.Id())) << "a running program is listed within a refresh";
    EXPECT_TRUE(WaitUntil(
        [&] {
            return WindowText(::GetDlgItem(page, 1016)).rfind("Title: ProcessHelper.exe\r\n", 0) ==
                   0;
        },
        5s))
        << "the selected process is described";
    EXPECT_TRUE(WaitUntil(
        [&] {
            const int row = FindListItem(list, kProcessIdColumn, IdText(helper.Id()));
            return ListItemText(list, row, kSignatureColumn) == "Not signed";
        },
        5s))
        << "its file's signature is verified while the list is seen";

    // The process and the entry that starts it lead to each other.
    const auto currentPage = [&] {
        return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    };
    const std::string helperRow = IdText(helper.Id());
    EXPECT_TRUE(testsupport::Contains(WindowText(::GetDlgItem(page, 1016)),
                                      "\r\nAutostart entry: Orvane Test Helper (HKCU\\SOFTWARE"));
    ClickAt(ListItemCenter(list, FindListItem(list, kProcessIdColumn, helperRow)), true);
    ChooseMenuItem(8);
    ASSERT_TRUE(WaitUntil([&] { return currentPage() != page; }, 5s)) << "Show its autostart entry";
    HWND entries = ::GetDlgItem(currentPage(), kCurrentList);
    const std::string entryText = WindowText(::GetDlgItem(currentPage(), 1016));
    EXPECT_EQ(entryText.rfind("Title: Orvane Test Helper\r\n", 0), 0u) << entryText;
    EXPECT_TRUE(
        testsupport::Contains(entryText, "\r\nRunning: ProcessHelper.exe (" + helperRow + ")"))
        << entryText;
    // Back, from another row: the jump selects the helper's.
    ASSERT_EQ(OpenPage(sheet, 1), page);
    ASSERT_TRUE(SelectRowOf(list, run.Program().Id()));
    OpenPage(sheet, 0);
    ClickAt(ListItemCenter(entries, ListView_GetNextItem(entries, -1, LVNI_SELECTED)), true);
    ChooseMenuItem(7);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return currentPage() == page && ListView_GetNextItem(list, -1, LVNI_SELECTED) ==
                                                FindListItem(list, kProcessIdColumn, helperRow);
        },
        5s))
        << "Show its process";

    SetPriorityFromMenu(list, helper.Id(), 5);
    EXPECT_TRUE(
        WaitUntil([&] { return ::GetPriorityClass(helper.Handle()) == IDLE_PRIORITY_CLASS; }, 5s))
        << "Set Priority > Idle";
    SaveScreenshot("pages\\processes", sheet);

    ASSERT_TRUE(SelectRowOf(list, helper.Id()));
    PressKeys({VK_DELETE});
    AnswerKillQuestion(run.Program().Id(), IDNO);
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 1000), static_cast<DWORD>(WAIT_TIMEOUT))
        << "No kills nothing";

    ASSERT_TRUE(SelectRowOf(list, helper.Id()));
    PressKeys({VK_DELETE});
    AnswerKillQuestion(run.Program().Id(), IDYES);
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "Yes kills the selected process";
    EXPECT_TRUE(
        WaitUntil([&] { return ListedWithout(list, run.Program().Id(), helper.Id()); }, 12s))
        << "the killed process leaves the list at the next refresh";
    EXPECT_TRUE(run.Exit(sheet));
}
