// The system report as a user asked "what runs on your machine?" makes it:
// Info page, Full report, the sections chosen, everything copied and pasted.
#include "tests/e2e/SheetSteps.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

using namespace e2e;

namespace {

constexpr int kFullReport = 1021;
constexpr int kReportText = 1020;
constexpr int kProcessesBox = 1015;
constexpr int kCopyAll = 1023;
bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(SystemReport, FullReportNamesWhatRunsAndCopiesExactlyWhatItShows) {
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    win::UniqueRegKey key;
    const std::string command = "C:\\Orvane Report Test\\tool.exe /quiet";
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key.Get(), "Orvane Report Test", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(command.c_str()),
                               static_cast<DWORD>(command.size() + 1)),
              ERROR_SUCCESS);

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
    EXPECT_EQ(shown.rfind("Full system report generated with Orvane\r\n", 0), 0u)
        << shown.substr(0, 200);
    EXPECT_TRUE(Contains(shown, "\r\nGENERAL\r\n"));
    EXPECT_TRUE(Contains(shown, "Title: Orvane Report Test\r\n")) << "the Run value's block";
    EXPECT_TRUE(Contains(shown, "ProcessHelper.exe")) << "the running helper's block";
    if (const char* output = std::getenv("ORV_TEST_OUTPUT")) {
        ::CreateDirectoryA((testsupport::WinePathOf(output) + "\\pages").c_str(), nullptr);
    }
    SaveScreenshot("pages\\report");

    // Without processes: rebuilt at once, the helper gone from it.
    ClickCenterOf(::GetDlgItem(report, kProcessesBox));
    EXPECT_TRUE(WaitUntil(
        [&] {
            shown = WindowText(::GetDlgItem(report, kReportText));
            return !Contains(shown, "ProcessHelper.exe");
        },
        5s));
    EXPECT_TRUE(Contains(shown, "Title: Orvane Report Test\r\n"));

    // Copy all: the clipboard holds the very text shown, line ends included.
    ClearClipboard();
    ClickCenterOf(::GetDlgItem(report, kCopyAll));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == shown; }, 5s))
        << "clipboard: " << ClipboardText().size() << " characters, shown: " << shown.size();

    ::PostMessageA(::GetDlgItem(report, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(report); }, 5s)) << "Close closes it";
    EXPECT_TRUE(run.Exit(sheet));
    ::RegDeleteValueA(key.Get(), "Orvane Report Test");
}

} // namespace
