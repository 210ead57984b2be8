#include "app/SystemHelpers.h"
#include "process/ProcessColumns.h"
#include "res/resource.h"
#include "tests/e2e/Driver.h"
#include "ui/ReportExport.h"
#include "ui/SystemReportDlg.h"
#include "win/Handle.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <richedit.h>

#include <string>
#include <thread>

namespace {

using testsupport::PumpMessages;

// Enough blocks to pass the rich edit's default limit of 32767 characters.
std::string ManyProcessBlocks() {
    std::string text;
    for (size_t number = 1; number <= 300; ++number) {
        text += FormatReportSectionHeader("Process", number);
        text += "Name: helper" + std::to_string(number) +
                ".exe\r\nPath: C:\\Program Files\\Helper\\helper.exe\r\n"
                "Memory usage: 2048 KB\r\nRecent CPU usage: 0.0 %";
    }
    return text;
}

std::string ReadClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) {
        return "(clipboard not open)";
    }
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string ControlText(HWND control) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Records, as the report's text control is destroyed, what the other text
// control of the dialog holds then (the one taking its place).
LRESULT CALLBACK RecordSuccessorAtDestroy(HWND control, UINT msg, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR seen) {
    if (msg == WM_DESTROY) {
        std::string& text = *reinterpret_cast<std::string*>(seen);
        text = "(no successor)";
        for (HWND child = GetWindow(GetParent(control), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (child != control && GetDlgCtrlID(child) == IDC_REPORT_TEXT) {
                text = ControlText(child);
            }
        }
    }
    return DefSubclassProc(control, msg, wParam, lParam);
}

// The dialog as the Info page opens it, over sources that count how often
// they are asked. Shown modeless so the test can press its buttons.
class SystemReport : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dialog.Create(nullptr));
        SetWindowPos(m_dialog.GetHwnd(), nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(m_dialog.GetHwnd(), SW_SHOW);
        UpdateWindow(m_dialog.GetHwnd());
        PumpMessages();
    }
    void TearDown() override {
        DestroyWindow(m_dialog.GetHwnd());
        PumpMessages();
    }

    HWND Item(int id) const { return m_dialog.GetItem(id); }
    void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        PumpMessages();
    }
    bool Ticked(int id) const { return IsDlgButtonChecked(m_dialog.GetHwnd(), id) == BST_CHECKED; }
    std::string Shown() const { return ControlText(Item(IDC_REPORT_TEXT)); }

    int m_autostartAsked = 0;
    int m_processesAsked = 0;
    const std::string m_processBlocks = ManyProcessBlocks();
    CSystemReportDlg m_dialog{ReportSources{
        [this] {
            ++m_autostartAsked;
            return std::string("\r\n\r\n-----------------------------\r\nAutostart program #1\r\n"
                               "-----------------------------\r\nName: Updater");
        },
        [this] {
            ++m_processesAsked;
            return m_processBlocks;
        },
        [] {
            return std::vector<CsvRecord>{{"Autostart", "Updater, \"new\""}};
        },
        [] {
            return std::vector<CsvRecord>{{"Process", "x.exe"}};
        }}};
};

TEST_F(SystemReport, OpensWithEverySectionAndShowsTheWholeLongReport) {
    EXPECT_EQ(win::GetWindowTextOf(m_dialog.GetHwnd()), "System report");
    EXPECT_TRUE(Ticked(IDC_REPORT_GENERAL));
    EXPECT_TRUE(Ticked(IDC_REPORT_AUTOSTART));
    EXPECT_TRUE(Ticked(IDC_REPORT_PROCESSES));
    EXPECT_FALSE(IsWindowVisible(Item(IDOK))) << "OK is there but hidden";
    EXPECT_EQ(win::GetWindowTextOf(Item(IDCANCEL)), "Close");
    EXPECT_EQ(m_autostartAsked, 1);
    EXPECT_EQ(m_processesAsked, 1);

    const std::string& report = m_dialog.GetReportText();
    ASSERT_GT(report.size(), 32768u);
    EXPECT_TRUE(report.starts_with("Full system report generated with Orvane\r\n"));
    EXPECT_NE(report.find("\r\nSystem: Platform: Windows NT family,System version: "),
              std::string::npos);
    EXPECT_EQ(report.find("System version: Unknown"), std::string::npos) << report.substr(0, 300);
    EXPECT_NE(report.find("AUTOSTART PROGRAMS\r\n"), std::string::npos);
    EXPECT_TRUE(report.ends_with(m_processBlocks));
    // Every character reached the control, line ends as they were. Wine does
    // not cut a set text at the control's limit; Windows does, so the limit
    // must cover the report.
    EXPECT_EQ(Shown(), report);
    EXPECT_GE(static_cast<size_t>(SendMessageA(Item(IDC_REPORT_TEXT), EM_GETLIMITTEXT, 0, 0)),
              report.size());
    e2e::SaveScreenshot("pages\\report");
}

TEST_F(SystemReport, EachBoxRebuildsFromLiveSources) {
    std::string successorText;
    SetWindowSubclass(Item(IDC_REPORT_TEXT), &RecordSuccessorAtDestroy, 1,
                      reinterpret_cast<DWORD_PTR>(&successorText));
    Click(IDC_REPORT_GENERAL);
    EXPECT_EQ(successorText, m_dialog.GetReportText())
        << "the new report is in place before the old one goes";
    EXPECT_FALSE(Ticked(IDC_REPORT_GENERAL));
    EXPECT_EQ(m_dialog.GetReportText().find("GENERAL"), std::string::npos);
    EXPECT_EQ(m_autostartAsked, 2) << "asked again at the rebuild";

    const std::string header = CsvLine(ReportCsvHeader());
    EXPECT_EQ(m_dialog.BuildCsv(),
              header + "Autostart,\"Updater, \"\"new\"\"\"\r\nProcess,x.exe\r\n");
    Click(IDC_REPORT_PROCESSES);
    EXPECT_EQ(m_processesAsked, 2) << "not asked while its section is off";
    EXPECT_TRUE(m_dialog.GetReportText().ends_with("Name: Updater\r\n\r\n"));
    EXPECT_EQ(Shown(), m_dialog.GetReportText());
    EXPECT_EQ(m_dialog.BuildCsv(), header + "Autostart,\"Updater, \"\"new\"\"\"\r\n")
        << "the table holds the ticked sections";

    Click(IDC_REPORT_AUTOSTART);
    EXPECT_EQ(Shown(), "Full system report generated with Orvane\r\nwww.orvane.net\r\n\r\n");

    Click(IDC_REPORT_GENERAL);
    const std::string report = m_dialog.GetReportText();
    EXPECT_NE(report.find("Windows Dir: " + ExpandEnvVars("%SYSTEMROOT%") + "\r\n"),
              std::string::npos);
    EXPECT_TRUE(report.ends_with("MB\r\n\r\n")) << "the general section ends with a blank line";
}

TEST_F(SystemReport, WindowsDirWhereSystemRootIsNotSet) {
    const std::string systemRoot = ExpandEnvVars("%SYSTEMROOT%");
    SetEnvironmentVariableA("SYSTEMROOT", nullptr);
    Click(IDC_REPORT_GENERAL);
    Click(IDC_REPORT_GENERAL);
    const std::string report = m_dialog.GetReportText();
    SetEnvironmentVariableA("SYSTEMROOT", systemRoot.c_str());
    ASSERT_FALSE(GetWindowsDir().empty());
    EXPECT_NE(report.find("\r\nWindows Dir: " + GetWindowsDir() + "\r\n"), std::string::npos)
        << report.substr(0, 400);
}

TEST_F(SystemReport, CopyAllPutsTheShownTextOnTheClipboard) {
    ASSERT_TRUE(CopyTextToClipboard(m_dialog.GetHwnd(), "earlier", CF_TEXT));
    Click(IDC_REPORT_COPY);
    const std::string copied = ReadClipboardText();
    EXPECT_GT(copied.size(), 32768u);
    EXPECT_EQ(copied, Shown());
    EXPECT_EQ(copied, m_dialog.GetReportText());
}

TEST_F(SystemReport, ClipboardHeldByAnotherWindowCopiesNothing) {
    ASSERT_TRUE(CopyTextToClipboard(m_dialog.GetHwnd(), "earlier", CF_TEXT));
    win::UniqueHandle held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    win::UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
        const bool open = OpenClipboard(window) != FALSE;
        SetEvent(held.Get());
        WaitForSingleObject(release.Get(), 10000);
        if (open) {
            CloseClipboard();
        }
        DestroyWindow(window);
    });
    WaitForSingleObject(held.Get(), 10000);
    Click(IDC_REPORT_COPY);
    EXPECT_TRUE(IsWindow(m_dialog.GetHwnd()));
    SetEvent(release.Get());
    holder.join();
    EXPECT_EQ(ReadClipboardText(), "earlier");
}

} // namespace
