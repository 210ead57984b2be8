// The Processes page as its user works with it: a program appears in the list,
// gets a lower priority through the context menu, and is killed with Delete.
#include "tests/e2e/SheetSteps.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace e2e;

namespace {

constexpr int kProcessList = 1001;
constexpr int kIdColumn = 2;

std::string IdText(DWORD processId) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(processId));
    return text;
}

// Clicks the helper's row once it is listed (the list is rebuilt every five
// seconds, so the row is looked up again just before the click).
bool SelectRowOf(HWND list, DWORD processId) {
    int row = -1;
    if (!WaitUntil(
            [&] {
                row = FindListItem(list, kIdColumn, IdText(processId));
                return row >= 0;
            },
            12s)) {
        return false;
    }
    ClickAt(ListItemCenter(list, row));
    return true;
}

void AnswerKillQuestion(DWORD programId, const char* button) {
    HWND box = WaitForMessageBox(programId, "", 5s);
    ASSERT_NE(box, nullptr) << "Delete asks before it kills";
    EXPECT_EQ(MessageBoxText(box), "Are you sure you want to kill selected processes?");
    HWND answer = ::GetDlgItem(box, std::string(button) == "Yes" ? IDYES : IDNO);
    ASSERT_NE(answer, nullptr);
    ::PostMessageA(answer, BM_CLICK, 0, 0);
}

} // namespace

TEST(ProcessesPage, AProgramIsListedReprioritisedAndKilled) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("--window=\"Orvane Processes Helper\""));
    LaterRun run;
    HWND sheet = run.ShowSheet();
    ASSERT_NE(sheet, nullptr);
    HWND page = OpenPage(sheet, 1);
    ASSERT_NE(page, nullptr);
    HWND list = ::GetDlgItem(page, kProcessList);
    ASSERT_NE(list, nullptr);

    ASSERT_TRUE(SelectRowOf(list, helper.Id())) << "a running program is listed within a refresh";
    EXPECT_TRUE(WaitUntil(
        [&] {
            return WindowText(::GetDlgItem(page, 1016)).rfind("Title: ProcessHelper.exe\r\n", 0) ==
                   0;
        },
        5s))
        << "the selected process is described";

    // Context menu: Accept, Unaccept, Open folder, Shell properties, More info,
    // Set Priority > Realtime ... Idle.
    POINT row = ListItemCenter(list, FindListItem(list, kIdColumn, IdText(helper.Id())));
    ClickAt(row, true);
    ASSERT_TRUE(WaitUntil([] { return testsupport::FindOpenMenu() != nullptr; }, 5s));
    for (int i = 0; i < 6; ++i) {
        PressKeys({VK_DOWN});
    }
    PressKeys({VK_RIGHT});
    for (int i = 0; i < 5; ++i) {
        PressKeys({VK_DOWN});
    }
    PressKeys({VK_RETURN});
    EXPECT_TRUE(
        WaitUntil([&] { return ::GetPriorityClass(helper.Handle()) == IDLE_PRIORITY_CLASS; }, 5s))
        << "Set Priority > Idle";
    SaveScreenshot("pages\\processes");

    ASSERT_TRUE(SelectRowOf(list, helper.Id()));
    PressKeys({VK_DELETE});
    AnswerKillQuestion(run.Program().Id(), "No");
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 1000), static_cast<DWORD>(WAIT_TIMEOUT))
        << "No kills nothing";

    ASSERT_TRUE(SelectRowOf(list, helper.Id()));
    PressKeys({VK_DELETE});
    AnswerKillQuestion(run.Program().Id(), "Yes");
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "Yes kills the selected process";
    EXPECT_TRUE(
        WaitUntil([&] { return FindListItem(list, kIdColumn, IdText(helper.Id())) < 0; }, 12s))
        << "the killed process leaves the list at the next refresh";
    EXPECT_TRUE(run.Exit(sheet));
}
