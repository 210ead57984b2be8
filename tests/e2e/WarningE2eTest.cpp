// The warning window as a user meets it, with warnings switched on: a program
// that adds itself to the autostart or starts unaccepted makes a small window
// appear, and what the user answers there is written, removed, killed or put
// off for the run. With warnings off only the tray says so.
#include "app/AcceptedList.h"
#include "app/FileIdentityStore.h"
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "autostart/RemoveRestore.h"
#include "process/ProcessTable.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/e2e/SheetSteps.h"
#include "tests/helpers/AcceptEverything.h"
#include "tests/unit/HelperProcess.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace e2e;

namespace {

constexpr int kRemoveButton = 1040;
// F5 rescans at once: its result comes in moments, long before the page's
// own rescan every 30 seconds would bring it.
constexpr auto kAtOnce = 5s;

bool HasUserRunValue(const std::string& name) {
    return ReadUserRunValue(name).first != REG_NONE;
}

// The paths of the processes running now, as a process table reads them, and
// of every program of the system's folders, which Wine may start any time.
std::vector<std::string> SystemProcessPaths() {
    std::vector<std::string> paths;
    CProcessTable table(std::string(), GetSystemFunctions());
    for (const ProcessRow& row : table.BuildSnapshot()) {
        paths.push_back(row.path);
    }
    char folders[3][MAX_PATH] = {};
    ::GetSystemDirectoryA(folders[0], MAX_PATH);
    ::GetWindowsDirectoryA(folders[1], MAX_PATH);
    ::GetSystemWow64DirectoryA(folders[2], MAX_PATH);
    for (const char* folder : folders) {
        WIN32_FIND_DATAA found{};
        win::UniqueFind find(::FindFirstFileA((std::string(folder) + "\\*.exe").c_str(), &found));
        for (bool more = folder[0] != '\0' && find; more;
             more = ::FindNextFileA(find.Get(), &found) != FALSE) {
            paths.push_back(std::string(folder) + "\\" + found.cFileName);
        }
    }
    return paths;
}

class WarningWindows : public testing::Test {
  protected:
    void TearDown() override { m_run.reset(); }

    // Everything registered and running now is accepted, Orvane itself and the
    // system's programs too, so that only what the test adds later is not.
    void AcceptWhatIsThere() {
        ASSERT_GE(testsupport::AcceptPresentEntries(m_folder.File("autostart.dat")), 0);
        CAcceptedList processes(m_folder.File("processes.dat"));
        for (const std::string& path : SystemProcessPaths()) {
            processes.SetState(path, 1);
        }
        processes.SetState(m_folder.Exe(), 1);
        processes.SetState(GetLongPath(m_folder.Exe()), 1);
        ASSERT_TRUE(processes.Store());
    }

    // Starts a later run with the settings and shows the Autostart page.
    void Start(const std::string& options) {
        m_run = StartLaterRun(m_folder, options);
        m_sheet = ShowSheetOfLaterRun(m_run->Id());
        ASSERT_NE(m_sheet, nullptr) << "a tray click shows the sheet";
        HWND page = OpenPage(m_sheet, 0);
        ASSERT_NE(page, nullptr);
        m_list = std::make_unique<RemoteListView>(::GetDlgItem(page, kCurrentList));
        ASSERT_TRUE(m_list->IsReady());
    }

    // A program registers itself; F5 in the list rescans at once, where the
    // page's own timer would take up to 30 seconds.
    void AddValueAndRescan(const std::string& name, const std::string& path) {
        ASSERT_TRUE(m_values.Set(name, path));
        Rescan();
    }

    void Rescan() {
        const RECT first = m_list->ItemRect(0);
        ClickAt(POINT{first.left + 40, (first.top + first.bottom) / 2});
        PressKeys({VK_F5});
    }

    HWND WaitForWarning(const std::string& caption, std::chrono::milliseconds timeout) {
        return e2e::WaitForWarning(m_run->Id(), caption, timeout);
    }

    // The program's side file of processes holds an identity for the file.
    bool SideFileNames(const std::string& file) const {
        CFileIdentityStore identities;
        identities.ReadFrom(m_folder.File("processes-files.dat"), std::string());
        return std::any_of(identities.GetRecords().begin(), identities.GetRecords().end(),
                           [&](const FileIdentityRecord& record) {
                               return IsSamePath(GetLongPath(record.path), GetLongPath(file));
                           });
    }

    DWORD Id() const { return m_run->Id(); }
    HWND AnyWarning() const { return FindTopWindow(m_run->Id(), "Warning: ", "#32770"); }

    void Press(HWND warning, int button) {
        ::PostMessageA(::GetDlgItem(warning, button), BM_CLICK, 0, 0);
    }

    std::string Answer(int button) { return AnswerMessage(m_run->Id(), "Orvane", button); }

    bool Closes(HWND warning) {
        return WaitUntil([&] { return !::IsWindow(warning); }, 5s);
    }

    RunValues m_values;
    ProgramFolder m_folder;
    std::unique_ptr<RunningProgram> m_run;
    HWND m_sheet = nullptr;
    std::unique_ptr<RemoteListView> m_list;
};

TEST_F(WarningWindows, NewEntriesAndProcessesAreAcceptedRemovedPutOffAndKilled) {
    // A program accepted by an older copy, whose lists hold no identities.
    const std::string changing = m_folder.File("Changing.exe");
    ASSERT_TRUE(::CopyFileA(HelperProcess::BuiltPath().c_str(), changing.c_str(), FALSE));
    auto program = std::make_unique<HelperProcess>();
    ASSERT_TRUE(program->Start("", changing));
    ASSERT_NO_FATAL_FAILURE(AcceptWhatIsThere());
    ::DeleteFileA(m_folder.File("processes-files.dat").c_str());
    ASSERT_NO_FATAL_FAILURE(Start("[Options]\r\nShowWarningDialogs=1\r\n"));
    EXPECT_TRUE(WaitUntil([&] { return TooltipShowsFiguresOnly(Id()); }, 5s))
        << "nothing unaccepted yet: " << TrayTooltipOf(Id());
    EXPECT_TRUE(WaitUntil([&] { return SideFileNames(changing); }, 5s))
        << "the file as it is now is taken silently";
    EXPECT_EQ(AnyWarning(), nullptr);

    // Its file is replaced by another of the same name: started again, it is
    // red and warned about as changed, until accepted again.
    program.reset();
    ASSERT_TRUE(WriteFileText(changing, ReadFileText(changing) + "another build"));
    program = std::make_unique<HelperProcess>();
    ASSERT_TRUE(program->Start("", changing));
    HWND warning = WaitForWarning("Warning: Changing.exe", 15s);
    ASSERT_NE(warning, nullptr) << "a changed accepted program opens a warning";
    EXPECT_EQ(WindowText(::GetDlgItem(warning, 1035)),
              "Changing.exe\r\nhas changed since you accepted it.\r\n"
              "What do you want to do about it?");
    HWND processesPage = OpenPage(m_sheet, 1);
    RemoteListView processes(::GetDlgItem(processesPage, kCurrentList));
    EXPECT_TRUE(WaitUntil(
        [&] { return RowPixelsOf(processes, processes.Find("Changing.exe"), kUnacceptedRed) > 0; },
        5s))
        << "its row is red";
    ASSERT_TRUE(SelectRowOf(::GetDlgItem(processesPage, kCurrentList), program->Id()));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return WindowText(::GetDlgItem(processesPage, 1016))
                       .rfind("Not accepted: its file has changed since you accepted it\r\n"
                              "Title: Changing.exe\r\n",
                              0) == 0;
        },
        5s))
        << "its information says why";
    SaveScreenshot("pages\\warning-changed");
    Press(warning, IDOK);
    ASSERT_TRUE(Closes(warning));
    EXPECT_TRUE(WaitUntil([&] { return TooltipShowsFiguresOnly(Id()); }, 3s))
        << "accepted again: " << TrayTooltipOf(Id());
    program.reset();
    OpenPage(m_sheet, 0);

    // Accept it: written to autostart.dat, and the tray calms down.
    const std::string accepted = SystemFile("winver.exe");
    ASSERT_NO_FATAL_FAILURE(AddValueAndRescan("Orvane Warning Accept", accepted));
    warning = WaitForWarning("Warning: winver.exe in your autostart", kAtOnce);
    ASSERT_NE(warning, nullptr) << "a new Run value opens a warning";
    EXPECT_EQ(WindowText(::GetDlgItem(warning, 1035)),
              "winver.exe (Orvane Warning Accept)\r\nhas just appeared in your autostart\r\n"
              "and you haven't accepted it.\r\nWhat do you want to do about it?");
    EXPECT_EQ(WindowText(::GetDlgItem(warning, kRemoveButton)), "Remove");
    EXPECT_TRUE(WaitUntil([&] { return TooltipSaysUnaccepted(Id()); }, 3s)) << TrayTooltipOf(Id());
    SaveScreenshot("pages\\warning-entry", warning);
    Press(warning, IDOK);
    ASSERT_TRUE(Closes(warning)) << "Accept it closes the warning";
    CAcceptedList written(m_folder.File("autostart.dat"));
    written.Reload();
    EXPECT_EQ(written.GetState(accepted), 1);
    EXPECT_TRUE(WaitUntil([&] { return TooltipShowsFiguresOnly(Id()); }, 3s))
        << TrayTooltipOf(Id());

    // Kill/Remove: No keeps everything, Yes removes the value and records it.
    const std::string removed = SystemFile("clock.exe");
    ASSERT_NO_FATAL_FAILURE(AddValueAndRescan("Orvane Warning Remove", removed));
    warning = WaitForWarning("Warning: clock.exe in your autostart", kAtOnce);
    ASSERT_NE(warning, nullptr);
    Press(warning, kRemoveButton);
    EXPECT_EQ(Answer(IDNO), "Are you sure you want to remove this application from autostart?");
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(::IsWindow(warning)) << "No leaves the warning open";
    EXPECT_TRUE(HasUserRunValue("Orvane Warning Remove"));
    Press(warning, kRemoveButton);
    EXPECT_EQ(Answer(IDYES), "Are you sure you want to remove this application from autostart?");
    ASSERT_TRUE(Closes(warning));
    EXPECT_FALSE(HasUserRunValue("Orvane Warning Remove"));
    RemovedEntryList records;
    ASSERT_TRUE(ReadRemovedIndex(records, m_folder.File("removed\\_index_.dat")));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "Orvane Warning Remove");
    EXPECT_EQ(records[0].currentLocation, removed);
    EXPECT_EQ(records[0].root, 0x80000001u);

    // The value is deleted by another program while its warning is open: the
    // removal says so and takes nothing, and the warning closes all the same.
    ASSERT_NO_FATAL_FAILURE(AddValueAndRescan("Orvane Warning Gone", SystemFile("control.exe")));
    warning = WaitForWarning("Warning: control.exe in your autostart", kAtOnce);
    ASSERT_NE(warning, nullptr);
    DeleteUserRegistryValue(kRunKey, "Orvane Warning Gone");
    Press(warning, kRemoveButton);
    EXPECT_EQ(Answer(IDYES), "Are you sure you want to remove this application from autostart?");
    EXPECT_EQ(Answer(IDOK), "This entry has changed since the warning showed it, so nothing was "
                            "removed. Look at it again in the Autostart list.");
    EXPECT_TRUE(Closes(warning));
    records.clear();
    ReadRemovedIndex(records, m_folder.File("removed\\_index_.dat"));
    EXPECT_EQ(records.size(), 1u) << "nothing recorded for it";

    // Remind later: no warning for that path for the rest of the run, past
    // the page's 30-second rescan, though the tray still flashes for it. The
    // processes' warnings below open meanwhile: the put-off entry does not
    // stand in their way.
    const std::string later = SystemFile("write.exe");
    ASSERT_NO_FATAL_FAILURE(AddValueAndRescan("Orvane Warning Later", later));
    warning = WaitForWarning("Warning: write.exe in your autostart", kAtOnce);
    ASSERT_NE(warning, nullptr);
    Press(warning, IDCANCEL);
    ASSERT_TRUE(Closes(warning));
    const auto putOff = std::chrono::steady_clock::now();
    Rescan();
    EXPECT_FALSE(WaitUntil([&] { return AnyWarning() != nullptr; }, 2s))
        << "put off: " << WindowText(AnyWarning());
    EXPECT_TRUE(TooltipSaysUnaccepted(Id())) << TrayTooltipOf(Id());
    written.Reload();
    EXPECT_EQ(written.GetState(later), 0) << "Remind later writes nothing";

    // A program started after Orvane: its warning, and Kill.
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("--window=\"Orvane Warning Helper\""));
    warning = WaitForWarning("Warning: ProcessHelper.exe", 15s);
    ASSERT_NE(warning, nullptr) << "an unaccepted process opens a warning";
    EXPECT_EQ(WindowText(::GetDlgItem(warning, 1035)),
              "ProcessHelper.exe has just appeared\r\nand you haven't accepted it.\r\n"
              "What do you want to do about it?");
    EXPECT_EQ(WindowText(::GetDlgItem(warning, kRemoveButton)), "Kill");
    SaveScreenshot("pages\\warning-process", warning);
    Press(warning, kRemoveButton);
    EXPECT_EQ(Answer(IDYES), "Are you sure you want to kill this process?");
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "Kill ends it";
    EXPECT_TRUE(Closes(warning));

    // Another one ends by itself while its warning is open: accepting it
    // accepts nothing, and the warning closes.
    HelperProcess shortLived;
    ASSERT_TRUE(shortLived.Start());
    warning = WaitForWarning("Warning: ProcessHelper.exe", 15s);
    ASSERT_NE(warning, nullptr);
    shortLived.Kill();
    std::this_thread::sleep_for(6s);
    Press(warning, IDOK);
    EXPECT_TRUE(Closes(warning));
    CAcceptedList trusted(m_folder.File("processes.dat"));
    trusted.Reload();
    EXPECT_EQ(trusted.GetState(shortLived.Path()), 0);
    EXPECT_EQ(trusted.GetState(GetLongPath(HelperProcess::BuiltPath())), 0);

    // The rest of the half minute since Remind later: the page's own rescan
    // has come by, and still no warning opens for the entry.
    const auto sincePutOff = std::chrono::steady_clock::now() - putOff;
    const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(32s - sincePutOff);
    EXPECT_FALSE(WaitUntil([&] { return AnyWarning() != nullptr; }, std::max(rest, 2000ms)))
        << "put off for the run: " << WindowText(AnyWarning());
    EXPECT_TRUE(TooltipSaysUnaccepted(Id())) << TrayTooltipOf(Id());

    ::PostMessageA(::GetDlgItem(m_sheet, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(m_run->WaitForExit(20s));
}

TEST_F(WarningWindows, WithWarningsOffOnlyTheTraySaysSo) {
    ASSERT_NO_FATAL_FAILURE(AcceptWhatIsThere());
    ASSERT_NO_FATAL_FAILURE(Start(""));
    ASSERT_NO_FATAL_FAILURE(AddValueAndRescan("Orvane Warning Off", SystemFile("winver.exe")));
    EXPECT_TRUE(WaitUntil([&] { return m_list->Find("Orvane Warning Off") >= 0; }, kAtOnce));
    EXPECT_TRUE(WaitUntil([&] { return TooltipSaysUnaccepted(Id()); }, 3s)) << TrayTooltipOf(Id());
    EXPECT_FALSE(WaitUntil([&] { return AnyWarning() != nullptr; }, 3s))
        << "no warning window: " << WindowText(AnyWarning());
    ::PostMessageA(::GetDlgItem(m_sheet, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(m_run->WaitForExit(20s));
}

} // namespace
