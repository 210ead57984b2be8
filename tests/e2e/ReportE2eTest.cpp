// The system report as a user asked "what runs on your machine?" makes it:
// Info page, Full report, the sections chosen, everything copied and pasted.
#include "tests/e2e/SheetSteps.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace e2e;

namespace {

constexpr int kFullReport = 1021;
constexpr int kReportText = 1020;
constexpr int kProcessesBox = 1015;
constexpr int kCopyAll = 1023;
constexpr char kHeading[] = "Full system report generated with Orvane\r\n";
constexpr char kValueBlock[] = "Title: Orvane Report Test\r\n";

using testsupport::Contains;

TEST(SystemReport, FullReportNamesWhatRunsAndCopiesExactlyWhatItShows) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    RunValues values;
    ASSERT_TRUE(values.Set("Orvane Report Test", "C:\\Orvane Report Test\\tool.exe /quiet"));

    LaterRun run;
    HWND sheet = run.ShowSheet();
    ASSERT_NE(sheet, nullptr);
    HWND info = OpenPage(sheet, 2);
    ASSERT_NE(info, nullptr);
    ::PostMessageA(::GetDlgItem(info, kFullReport), BM_CLICK, 0, 0);
    HWND report = WaitForTopWindow(run.Program().Id(), "System report", 10s);
    ASSERT_NE(report, nullptr) << "Full report opens the report";
    ::SetWindowPos(report, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);

    std::string shown = WindowText(::GetDlgItem(report, kReportText));
    EXPECT_EQ(shown.rfind(kHeading, 0), 0u) << shown.substr(0, 200);
    EXPECT_TRUE(Contains(shown, "\r\nGENERAL\r\n"));
    EXPECT_TRUE(Contains(shown, kValueBlock)) << "the Run value's block";
    EXPECT_TRUE(Contains(shown, "ProcessHelper.exe")) << "the running helper's block";
    SaveScreenshot("pages\\report");

    // Without processes: rebuilt at once, the helper gone from it and the rest
    // still there (the report's control is rebuilt, and empty meanwhile).
    ClickCenterOf(::GetDlgItem(report, kProcessesBox));
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = WindowText(::GetDlgItem(report, kReportText));
            return shown.rfind(kHeading, 0) == 0 && Contains(shown, kValueBlock) &&
                   !Contains(shown, "ProcessHelper.exe");
        },
        5s))
        << "the report without processes: " << shown.substr(0, 200);

    // Copy all: the clipboard holds the very text shown, line ends included.
    ClearClipboard();
    ClickCenterOf(::GetDlgItem(report, kCopyAll));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == shown; }, 5s))
        << "clipboard: " << ClipboardText().size() << " characters, shown: " << shown.size();

    ::PostMessageA(::GetDlgItem(report, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(report); }, 5s)) << "Close closes it";
    EXPECT_TRUE(run.Exit(sheet));
}

} // namespace
