// The system report as a user asked "what runs on your machine?" makes it:
// Info page, Full report, the sections chosen, everything copied and pasted;
// and as a script makes it, "orvane.exe /csv" and "/report" beside the tray.
#include "app/ShellShortcut.h"
#include "app/TextEncoding.h"
#include "autostart/AutostartScan.h"
#include "tests/e2e/SheetSteps.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <tuple>
#include <string>
#include <vector>

using namespace e2e;

namespace {

constexpr int kFullReport = 1021;
constexpr int kReportText = 1020;
constexpr int kProcessesBox = 1015;
constexpr int kCopyAll = 1023;
constexpr char kHeading[] = "Full system report generated with Orvane\r\n";
constexpr char kValueBlock[] = "Title: Orvane Report Test\r\n";

using testsupport::Contains;

// Python's csv module reads the table back as another tool would and writes,
// in the code page, "<section>|<name>|<header>=<cell>" lines for our rows.
// Wine starts a Unix program without waiting for it: the result is renamed
// into place once whole.
constexpr char kCsvReader[] = R"(import csv, os, sys
here = os.path.dirname(os.path.abspath(__file__))
try:
    with open(os.path.join(here, "with space", "export.csv"), newline="", encoding="utf-8-sig") as f:
        lines = [r["Section"] + "|" + r["Name"] + "|" + k + "=" + v
                 for r in csv.DictReader(f, strict=True) for k, v in r.items()]
except Exception as e:
    lines = ["error=" + repr(e)]
with open(os.path.join(here, "rows.tmp"), "w", encoding=sys.argv[1], errors="replace") as f:
    f.write("\n".join(lines) + "\n")
os.replace(os.path.join(here, "rows.tmp"), os.path.join(here, "rows.txt"))
)";

// Runs the program with its standard error in a file; its exit code and what
// it wrote there.
std::pair<DWORD, std::string> RunProgram(const std::string& exe, const std::string& arguments,
                                         const std::string& errorFile) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    win::UniqueFile error(::CreateFileA(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                        CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = error.Get();
    std::string line = "\"" + exe + "\" " + arguments;
    PROCESS_INFORMATION info{};
    DWORD code = ~0u;
    if (::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &info)) {
        const win::UniqueHandle process(info.hProcess), thread(info.hThread);
        ::WaitForSingleObject(info.hProcess, static_cast<DWORD>(Scaled(180s).count()));
        ::GetExitCodeProcess(info.hProcess, &code);
    }
    error.Reset();
    return {code, ReadFileText(errorFile)};
}

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

TEST(SystemReport, ExportRunsBesideTheTrayCopyWriteWhatThePagesShow) {
    // Names with a comma, a quote and a letter of the code page.
    char letter[4] = {};
    BOOL lost = FALSE;
    ::WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, letter, 2, nullptr, &lost);
    const std::string name = "Orvane, \"Export\" " + std::string(lost ? "" : letter);
    RunValues values;
    ASSERT_TRUE(values.Set(name, "C:\\Orvane Export\\tool.exe /quiet"));
    LaterRun run;
    const std::string processName = "Helper, " + std::string(lost ? "" : letter) + ".exe";
    ASSERT_TRUE(::CopyFileA(HelperProcess::BuiltPath().c_str(),
                            run.Folder().File(processName).c_str(), FALSE));
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("", run.Folder().File(processName)));
    // A shortcut, whose target only the shell reads.
    ::CoInitialize(nullptr);
    const std::string link = GetSpecialFolderPath(kCsidlStartup) + "\\Orvane Export Link.lnk";
    CreateShortcut(link, run.Folder().File(processName), "", "");
    HWND sheet = WaitForTopWindow(run.Program().Id(), kSheetCaption, 20s);
    ASSERT_TRUE(sheet != nullptr && WaitUntil([&] { return !IsVisible(sheet); }, 5s));

    const std::string unixDir = "/tmp/orv-export-" + std::to_string(::GetCurrentProcessId());
    const std::string dir = testsupport::WinePathOf(unixDir), errors = dir + "\\errors.txt";
    testsupport::RemoveTree(dir); // left by a run that failed
    ::CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryA((dir + "\\with space").c_str(), nullptr));
    const std::string table = dir + "\\with space\\export.csv";
    const std::string report = dir + "\\with space\\report.txt";
    const std::string exe = run.Folder().Exe();
    EXPECT_EQ(RunProgram(exe, "/csv \"" + table + "\"", errors), std::pair(0ul, std::string()));
    EXPECT_EQ(RunProgram(exe, "/REPORT \"" + report + "\"", errors), std::pair(0ul, std::string()));
    EXPECT_FALSE(run.Program().HasExited()) << "the copy in the tray did not end for them";
    EXPECT_FALSE(IsVisible(sheet)) << "nor did it show its window";
    const std::string text = ReadFileText(report);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with its mark";
    for (const std::string& part : {"Title: " + name + "\r\n", processName}) {
        EXPECT_TRUE(Contains(text, AnsiToUtf8WithMark(part).substr(3))) << part;
    }
    const std::string missing = dir + "\\missing\\x.csv";
    const auto failed = RunProgram(exe, "/csv \"" + missing + "\"", errors);
    EXPECT_NE(failed.first, 0u);
    EXPECT_EQ(failed.second.rfind("Could not write " + missing + ": ", 0), 0u) << failed.second;
    EXPECT_FALSE(Contains(failed.second, "(error 0)")) << "a reason from the system";
    const auto bare = RunProgram(exe, "/csv", errors);
    EXPECT_NE(bare.first, 0u);
    EXPECT_TRUE(Contains(bare.second, "/csv needs the file to write")) << bare.second;

    ASSERT_TRUE(WriteFileText(dir + "\\check.py", kCsvReader));
    RunProgram("Z:\\usr\\bin\\python3", unixDir + "/check.py cp" + std::to_string(::GetACP()),
               errors);
    ASSERT_TRUE(WaitUntil([&] { return Exists(dir + "\\rows.txt"); }, 30s)) << "Python ran";
    // "<section>|<name>|<column>" to the cell.
    std::map<std::string, std::string> cells;
    std::istringstream lines(ReadFileText(dir + "\\rows.txt"));
    for (std::string line; std::getline(lines, line);) {
        cells[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    testsupport::RemoveTree(dir);
    auto cell = [&](const std::string& row, const std::string& column) {
        return cells[row + "|" + column];
    };
    const std::string entry = "Autostart|" + name, process = "Process|" + processName;
    EXPECT_EQ(cell(entry, "State") + cell(process, "State"), "Not acceptedNot accepted")
        << cells["error"];

    // The pages show the same cells (a signature once the page verified its own).
    ASSERT_TRUE(ShowFromTray(sheet));
    MoveClearOfTray(sheet);
    for (const auto& [page, row, columns] :
         {std::tuple{0, entry, std::vector<std::string>{"Name", "Path", "Location", "Signature"}},
          std::tuple{0, std::string("Autostart|Orvane Export Link"),
                     std::vector<std::string>{"Name", "Path"}},
          std::tuple{
              1, process,
              std::vector<std::string>{"Name", "Path", "ID", "", "", "", "", "", "Signature"}}}) {
        const RemoteListView list(::GetDlgItem(OpenPage(sheet, page), kCurrentList));
        std::string shown, wanted;
        EXPECT_TRUE(WaitUntil(
            [&] {
                const int item = list.Find(row.substr(row.find('|') + 1));
                shown = wanted = "";
                for (size_t i = 0; i < columns.size(); ++i) {
                    shown += columns[i].empty() ? "" : list.Text(item, static_cast<int>(i)) + "|";
                    wanted += columns[i].empty() ? "" : cell(row, columns[i]) + "|";
                }
                return item >= 0 && shown == wanted;
            },
            30s))
            << shown << " against " << wanted;
    }
    ::DeleteFileA(link.c_str());
    EXPECT_TRUE(run.Exit(sheet));
}

} // namespace
