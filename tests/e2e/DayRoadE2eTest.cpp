// One day of a user with Orvane, in one program folder from the first run to
// the exit from the tray, a screenshot of every step in the output's day
// folder; then its roads again with faults: the program killed in the middle
// of a removal and of a save, and its files made read-only. Nothing may be
// lost, and no half-written file may be read as whole.
#include "app/AcceptedList.h"
#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/ShellShortcut.h"
#include "autostart/AutostartLocations.h"
#include "autostart/RemoveRestore.h"
#include "res/page_info.h"
#include "res/report.h"
#include "res/resource.h"
#include "res/warning.h"
#include "tests/e2e/SheetSteps.h"
#include "tests/unit/HelperProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

using namespace e2e;

namespace {

const std::string kUpdater = "Day Road Updater";
const std::string kHelperLink = "Day Road Helper";
const std::string kNotes = "Day Road Notes";
const std::string kClockLink = "Day Road Clock";

// Run values and startup files a test makes, gone again however it ends.
class MadeEntries {
  public:
    MadeEntries() { ::CoInitialize(nullptr); }
    ~MadeEntries() {
        m_values.DeleteAll();
        for (const std::string& path : m_files) {
            ::DeleteFileA(path.c_str());
        }
        ::CoUninitialize();
    }
    MadeEntries(const MadeEntries&) = delete;
    MadeEntries& operator=(const MadeEntries&) = delete;

    // A value the program may make or bring back.
    void Value(const std::string& name) { m_values.Own(name); }
    bool Value(const std::string& name, const std::string& data) {
        return m_values.Set(name, data);
    }
    // A file of the user's startup folder; its path.
    std::string File(const std::string& fileName) {
        m_files.push_back(StartupFolder() + "\\" + fileName);
        return m_files.back();
    }

  private:
    RunValues m_values;
    std::vector<std::string> m_files;
};

// A picture of the step, once the windows have painted; the time of the day
// it took so far.
void Shot(const std::string& name) {
    static const auto morning = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(200ms);
    SaveScreenshot("day\\" + name);
    std::printf("[ STEP     ] %s at %.1f s\n", name.c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - morning).count());
}

int TrayPixelsOf(COLORREF colour) {
    return ScreenPixelsOf(FirstTrayIconRect(), colour);
}

// The flash colour shows on one tray update in seven: 200 ms every 1.4 s.
bool TrayFlashes(COLORREF colour) {
    return WaitUntil([&] { return TrayPixelsOf(colour) >= 50; }, 1600ms);
}

bool IsAccepted(const std::string& file, const std::string& path) {
    CAcceptedList accepted(file);
    accepted.Reload();
    return accepted.GetState(path) == 1;
}

// Every row of the list drawn as accepted, selected or not.
bool NoRowIsRed(const RemoteListView& list) {
    for (int row = 0; row < list.Count(); ++row) {
        if (RowPixelsOf(list, row, kUnacceptedRed) > 0 ||
            RowPixelsOf(list, row, kUnacceptedPink) > 0) {
            return false;
        }
    }
    return true;
}

// Selects every row (a click on the first, Shift and a click on the last) and
// chooses the first item of the row menu, Accept.
void AcceptAllRows(const RemoteListView& list) {
    ClickItem(list, 0);
    ModifierClickItem(list, list.Count() - 1, VK_SHIFT);
    ClickItem(list, list.Count() - 1, true);
    ChooseMenuItem(1);
}

// Answers the warning window: its caption, once it has closed.
std::string AnswerWarning(HWND warning, int button) {
    const std::string caption = WindowText(warning);
    ::PostMessageA(::GetDlgItem(warning, button), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(warning); }, 5s)) << caption;
    return caption;
}

// The new-entry dialog opened with a key in the list, filled in, shown, and
// taken with OK; its warning, which follows at once, accepted.
void CreateEntry(DWORD programId, const AutostartLists& lists, std::initializer_list<WORD> keys,
                 const std::string& title, const std::string& path, bool registry,
                 const std::string& screenshot) {
    ClickItem(lists.current, 0);
    PressKeys(keys);
    HWND dialog = WaitForNewEntryDialog(programId);
    ASSERT_NE(dialog, nullptr);
    // Browse opens the system's file dialog; the user cancels it and types.
    ::PostMessageA(::GetDlgItem(dialog, IDC_NEW_BROWSE), BM_CLICK, 0, 0);
    HWND browse = WaitForTopWindow(programId, "Select a file", 10s);
    ASSERT_NE(browse, nullptr) << "Browse shows the file dialog";
    ::PostMessageA(browse, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(browse); }, 5s));
    FillNewEntry(dialog, title, path, false, registry);
    Shot(screenshot);
    ClickCenterOf(::GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_TRUE(lists.WaitForEntry(title, 3s)) << "listed without waiting for the timer";
    HWND warning = WaitForWarning(programId, "Warning: ", 5s);
    ASSERT_NE(warning, nullptr) << "a made entry is not accepted yet either";
    EXPECT_EQ(AnswerWarning(warning, IDOK),
              "Warning: " + path.substr(path.rfind('\\') + 1) + " in your autostart");
    EXPECT_TRUE(WaitUntil([&] { return lists.RedPixelsOf(title) == 0; }, 3s)) << title;
}

class DayRoad : public testing::Test {
  protected:
    void SetUp() override { DeleteUserRegistryValue(kRunKey, "ORV"); }
    void TearDown() override {
        m_program.reset();
        DeleteUserRegistryValue(kRunKey, "ORV");
    }

    void Start() {
        m_program = std::make_unique<RunningProgram>(m_folder.Exe(), m_folder.Dir());
        m_started = std::chrono::steady_clock::now();
    }
    DWORD Id() const { return m_program->Id(); }

    ProgramFolder m_folder;
    std::unique_ptr<RunningProgram> m_program;
    std::chrono::steady_clock::time_point m_started;
    MadeEntries m_made;
};

TEST_F(DayRoad, FromTheFirstRunToTheExitFromTheTray) {
    const std::string winver = SystemFile("winver.exe");
    const std::string write = SystemFile("write.exe");
    const std::string notepad = SystemFile("notepad.exe");
    const std::string clock = SystemFile("clock.exe");
    const COLORREF red = RGB(255, 0, 0);
    m_made.Value(kUpdater);
    m_made.Value(kNotes);
    const std::string helperLink = m_made.File(kHelperLink + ".lnk");
    const std::string clockLink = m_made.File(kClockLink + ".lnk");

    // The first run greets the user and puts the program into the autostart.
    Start();
    HWND greeting = WaitForMessageBox(Id(), "Orvane", 20s);
    ASSERT_NE(greeting, nullptr) << "no greeting on the first run";
    EXPECT_EQ(MessageBoxText(greeting), kGreeting);
    std::string orv;
    EXPECT_TRUE(ReadUserRegistryString(kRunKey, "ORV", orv));
    EXPECT_EQ(orv, m_folder.Exe());
    Shot("01-greeting");
    ::PostMessageA(::GetDlgItem(greeting, IDOK), BM_CLICK, 0, 0);
    HWND sheet = WaitForTopWindow(Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s)) << "the first run shows the sheet";
    MoveClearOfTray(sheet);

    // The tray: the program's grey picture, and a tooltip of figures that says
    // nothing is accepted yet. The mouse rests on the icon to show it.
    ASSERT_TRUE(WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s));
    EXPECT_TRUE(WaitUntil([&] { return TrayPixelsOf(RGB(220, 220, 220)) >= 50; }, 3s))
        << "the icon's grey background";
    EXPECT_TRUE(WaitUntil([&] { return TooltipSaysUnaccepted(Id()); }, 5s)) << TrayTooltipOf(Id());
    const RECT icon = FirstTrayIconRect();
    ::SetCursorPos((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
    std::this_thread::sleep_for(1500ms);
    Shot("02-tray");

    // Everything there is on the first day is trusted: both pages' rows,
    // selected all at once, accepted from their menus.
    {
        const AutostartLists lists(OpenPage(sheet, 0));
        ASSERT_TRUE(lists.WaitForEntry("ORV", 5s));
        AcceptAllRows(lists.current);
        EXPECT_TRUE(WaitUntil([&] { return NoRowIsRed(lists.current); }, 3s));
        EXPECT_TRUE(IsAccepted(m_folder.File("autostart.dat"), m_folder.Exe()));
        const RemoteListView processes(::GetDlgItem(OpenPage(sheet, 1), kCurrentList));
        ASSERT_TRUE(WaitUntil([&] { return processes.Count() > 1; }, 5s));
        AcceptAllRows(processes);
        EXPECT_TRUE(WaitUntil([&] { return NoRowIsRed(processes); }, 3s));
    }
    EXPECT_TRUE(WaitUntil([&] { return TooltipShowsFiguresOnly(Id()); }, 3s))
        << TrayTooltipOf(Id());
    Shot("03-all-accepted");

    // Options: warnings on, a red flash; Exit in the sheet keeps them.
    HWND info = OpenPage(sheet, 2);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(IsChecked(::GetDlgItem(info, IDC_INFO_START_WITH_SYSTEM)));
    ClickCenterOf(::GetDlgItem(info, IDC_INFO_SHOW_WARNINGS));
    EXPECT_TRUE(
        WaitUntil([&] { return IsChecked(::GetDlgItem(info, IDC_INFO_SHOW_WARNINGS)); }, 3s));
    ASSERT_NO_FATAL_FAILURE(ChooseFlashColour(Id(), info, red));
    Shot("04-options");
    ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(m_program->WaitForExit(20s));
    const std::string settings = ReadFileText(m_folder.File("settings.ini"));
    EXPECT_NE(settings.find("ShowWarningDialogs=1\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("FlashColor1=255\r\n"), std::string::npos) << settings;

    // Started again: in the tray, no greeting, the options as they were left.
    Start();
    sheet = ShowSheetOfLaterRun(Id());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(FindMessageBox(Id(), "Orvane"), nullptr) << "no greeting";
    info = OpenPage(sheet, 2);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(IsChecked(::GetDlgItem(info, IDC_INFO_SHOW_WARNINGS)));
    EXPECT_TRUE(IsChecked(::GetDlgItem(info, IDC_INFO_START_WITH_SYSTEM)));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ScreenPixelsOf(WindowRectOf(::GetDlgItem(info, IDC_INFO_FLASH_COLOUR)), red) >
                   10;
        },
        3s))
        << "the swatch shows the colour chosen";
    Shot("05-options-kept");

    // A helper program starts; its warning is put off, and on the Processes
    // page it gets the idle priority and is killed.
    HelperProcess helper;
    ASSERT_TRUE(helper.Start("--window=\"Day Road Helper Window\""));
    HWND warning = WaitForWarning(Id(), "Warning: ProcessHelper.exe", 15s);
    ASSERT_NE(warning, nullptr) << "an unaccepted process brings a warning";
    AnswerWarning(warning, IDCANCEL);
    HWND processList = ::GetDlgItem(OpenPage(sheet, 1), kCurrentList);
    const RemoteListView processes(processList);
    ASSERT_TRUE(SelectRowOf(processList, helper.Id()));
    const int helperRow = FindListItem(processList, kProcessIdColumn, IdText(helper.Id()));
    EXPECT_NE(ListItemText(processList, helperRow, 3).find("Day Road Helper Window"),
              std::string::npos);
    EXPECT_GT(RowPixelsOf(processes, helperRow, kUnacceptedPink), 0) << "selected, unaccepted";
    ASSERT_NO_FATAL_FAILURE(SetPriorityFromMenu(processList, helper.Id(), 5));
    EXPECT_TRUE(
        WaitUntil([&] { return ::GetPriorityClass(helper.Handle()) == IDLE_PRIORITY_CLASS; }, 5s));
    Shot("06-helper-idle");
    ASSERT_TRUE(SelectRowOf(processList, helper.Id()));
    PressKeys({VK_DELETE});
    AnswerKillQuestion(Id(), IDYES);
    EXPECT_EQ(::WaitForSingleObject(helper.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(WaitUntil([&] { return ListedWithout(processList, Id(), helper.Id()); }, 12s));
    EXPECT_FALSE(TrayFlashes(red)) << "nothing unaccepted is left";
    Shot("07-helper-killed");

    // The user's own new entries, one of each kind: a Run value and a
    // shortcut in the startup folder.
    const AutostartLists lists(OpenPage(sheet, 0));
    ASSERT_NO_FATAL_FAILURE(
        CreateEntry(Id(), lists, {VK_INSERT}, kNotes, notepad, true, "08-new-registry-entry"));
    EXPECT_EQ(ReadUserRunValue(kNotes), std::make_pair(static_cast<DWORD>(REG_SZ), notepad + '\0'));
    ASSERT_NO_FATAL_FAILURE(CreateEntry(Id(), lists, {VK_CONTROL, 'N'}, kClockLink, clock, false,
                                        "09-new-startup-shortcut"));
    EXPECT_EQ(GetShortcutTarget(clockLink, SLR_NO_UI), clock);
    Shot("10-created");

    // While the sheet is in the tray a program puts itself into the Run key and
    // the startup folder: at the next rescan (every 30 s) a warning, and the
    // tray flashes red.
    ClickFirstTrayIcon();
    ASSERT_TRUE(WaitUntil([&] { return !IsVisible(sheet); }, 5s));
    const auto added = std::chrono::steady_clock::now();
    ASSERT_TRUE(m_made.Value(kUpdater, winver));
    CreateShortcut(helperLink, write, "", "");
    warning = WaitForWarning(Id(), "Warning: ", 35s);
    ASSERT_NE(warning, nullptr) << "the new entries bring a warning";
    EXPECT_LT(std::chrono::steady_clock::now() - added, Scaled(31s)) << "within a rescan";
    EXPECT_TRUE(TrayFlashes(red)) << "the tray flashes the chosen colour";
    EXPECT_TRUE(TooltipSaysUnaccepted(Id())) << TrayTooltipOf(Id());
    Shot("11-new-entries-warning");
    ASSERT_TRUE(ShowFromTray(sheet));
    MoveClearOfTray(sheet);
    ASSERT_TRUE(lists.WaitForEntry(kUpdater, 3s));
    ASSERT_TRUE(lists.WaitForEntry(kHelperLink, 3s));
    EXPECT_GE(lists.RedPixelsOf(kUpdater), 20) << "unaccepted rows are red";
    EXPECT_GE(lists.RedPixelsOf(kHelperLink), 20);
    Shot("12-new-entries-red");

    // Each new entry has its warning, one after the other: the updater's is
    // accepted, the shortcut's put off for the run.
    std::vector<std::string> answered;
    for (int count = 0; count < 2; ++count) {
        ASSERT_NE(warning, nullptr) << "no warning after " << testing::PrintToString(answered);
        const bool updater = WindowText(warning).find("winver.exe") != std::string::npos;
        answered.push_back(AnswerWarning(warning, updater ? IDOK : IDCANCEL));
        warning = count == 0 ? WaitForWarning(Id(), "Warning: ", 5s) : nullptr;
    }
    std::sort(answered.begin(), answered.end());
    EXPECT_EQ(answered, (std::vector<std::string>{"Warning: winver.exe in your autostart",
                                                  "Warning: write.exe in your autostart"}));
    EXPECT_TRUE(IsAccepted(m_folder.File("autostart.dat"), winver));
    EXPECT_TRUE(WaitUntil([&] { return lists.RedPixelsOf(kUpdater) == 0; }, 3s));
    EXPECT_GE(lists.RedPixelsOf(kHelperLink), 20);
    EXPECT_FALSE(WaitUntil([&] { return FindTopWindow(Id(), "Warning: ") != nullptr; }, 1s))
        << "put off: no second warning";

    // The helper's shortcut is removed into the removed folder...
    ClickItem(lists.current, lists.current.Find(kHelperLink));
    PressKeys({VK_DELETE});
    ConfirmRemoval(Id());
    const std::string movedLink = m_folder.File("removed\\" + kHelperLink + ".lnk");
    EXPECT_TRUE(WaitUntil([&] { return lists.removed.Find(kHelperLink) >= 0; }, 3s));
    EXPECT_FALSE(Exists(helperLink));
    EXPECT_TRUE(Exists(movedLink));
    EXPECT_EQ(lists.current.Find(kHelperLink), -1);
    Shot("13-removed");

    // ...restored from there, and accepted after all: the tray calms down.
    lists.Restore(kHelperLink);
    EXPECT_TRUE(WaitUntil([&] { return lists.IsRestored(kHelperLink); }, 3s));
    EXPECT_TRUE(Exists(helperLink));
    EXPECT_FALSE(Exists(movedLink));
    ASSERT_TRUE(lists.WaitForEntry(kHelperLink, 3s));
    ClickItem(lists.current, lists.current.Find(kHelperLink));
    ClickItem(lists.current, lists.current.Find(kHelperLink), true);
    ChooseMenuItem(1);
    EXPECT_TRUE(WaitUntil([&] { return lists.RedPixelsOf(kHelperLink) == 0; }, 3s));
    EXPECT_TRUE(IsAccepted(m_folder.File("autostart.dat"), write));
    EXPECT_FALSE(TrayFlashes(red)) << "nothing unaccepted is left";
    Shot("14-restored");

    // The report of what runs, copied for a friend who asked.
    info = OpenPage(sheet, 2);
    ASSERT_NE(info, nullptr);
    ::PostMessageA(::GetDlgItem(info, IDC_INFO_FULL_REPORT), BM_CLICK, 0, 0);
    HWND report = WaitForTopWindow(Id(), "System report", 10s);
    ASSERT_NE(report, nullptr);
    ::SetWindowPos(report, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    const std::string shown = WindowText(::GetDlgItem(report, IDC_REPORT_TEXT));
    EXPECT_EQ(shown.rfind("Full system report generated with Orvane\r\n", 0), 0u);
    for (const std::string& title : {kUpdater, kHelperLink, kNotes, kClockLink}) {
        EXPECT_NE(shown.find("Title: " + title + "\r\n"), std::string::npos) << title;
    }
    ClearClipboard();
    ClickCenterOf(::GetDlgItem(report, IDC_REPORT_COPY));
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == shown; }, 5s)) << "Copy all";
    Shot("15-report");
    ::PostMessageA(::GetDlgItem(report, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(report); }, 5s));

    // Evening: Exit from the tray's menu, its last item. What the day
    // accepted is kept.
    HWND menu = OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    Shot("16-tray-menu");
    const RECT items = WindowRectOf(menu);
    ClickAt(POINT{(items.left + items.right) / 2, items.bottom - 8});
    ASSERT_TRUE(m_program->WaitForExit(20s)) << "Exit in the tray menu ends the program";
    EXPECT_TRUE(WaitUntil([] { return FindTrayWindow() == nullptr; }, 10s));
    for (const std::string& path : {winver, write, notepad, clock, m_folder.Exe()}) {
        EXPECT_TRUE(IsAccepted(m_folder.File("autostart.dat"), path)) << path;
    }
    Shot("17-evening");
}

// --- Killed in the middle ----------------------------------------------------
//
// Where a kill lands by timing alone is luck, so the roads below kill the
// program at points they can see from outside. The program writes each data
// file whole under a temporary name and then renames it into place, and a
// removal writes its record before it touches the entry. So the moment the
// temporary appears is a kill in the middle of a write, and the moment the
// file has been replaced is a kill between a removal's record and the entry's
// removal (or just after it, as the machine's speed has it). Each kill must
// keep everything: what it cut short is either not done or done whole, and the
// program started again reads only whole files.

enum class KillAt { TemporaryAppears, FileReplaced };

// The file's size and time, or nothing when it does not exist.
std::string FileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(&data.ftLastWriteTime),
                       sizeof data.ftLastWriteTime) +
           std::to_string(data.nFileSizeLow);
}

// Does the click and kills the program from a thread of its own at the point
// of the data file's writing (a few seconds at the most). False when that
// point did not come: the program is killed all the same. landed says where.
bool KillDuring(RunningProgram& program, const std::string& dataFile, KillAt point,
                const std::function<void()>& click, std::string& landed) {
    const std::string temporary = TemporaryPathFor(dataFile);
    // A temporary an earlier kill left behind is never read; it goes, so that
    // the watch sees the next write's own.
    ::DeleteFileA(temporary.c_str());
    const std::string before = FileStamp(dataFile);
    const auto clicked = std::chrono::steady_clock::now();
    auto killedAt = clicked;
    bool reachedInTime = false;
    std::thread killer([&] {
        const auto reached = [&] {
            return point == KillAt::TemporaryAppears ? Exists(temporary)
                                                     : FileStamp(dataFile) != before;
        };
        while (!(reachedInTime = reached()) &&
               std::chrono::steady_clock::now() - clicked < Scaled(5s)) {
        }
        killedAt = std::chrono::steady_clock::now();
        program.Kill();
    });
    click();
    killer.join();
    const auto after = std::chrono::duration_cast<std::chrono::milliseconds>(killedAt - clicked);
    landed = std::string(point == KillAt::TemporaryAppears ? "as its temporary appeared"
                                                           : "as it was replaced") +
             " (" + std::to_string(after.count()) + " ms after the click" +
             (Exists(temporary) ? ", a temporary left behind)" : ")");
    return reachedInTime;
}

// An autostart entry of the test's own: a Run value or a file of the startup
// folder, with what the user would miss if it were lost.
struct OwnEntry {
    std::string name;
    std::string location;
    std::string data;

    bool IsFile() const { return location != kRunKey; }
    // The file or the value as it was made.
    bool InPlace() const {
        return IsFile() ? ReadFileText(location) == data
                        : ReadUserRunValue(name) ==
                              std::make_pair(static_cast<DWORD>(REG_SZ), data + '\0');
    }
    // Its record in the index, or null.
    const RemovedEntry* FindRecord(const RemovedEntryList& records) const {
        for (const RemovedEntry& record : records) {
            if (IsFile() ? record.root == 0 &&
                               mbcs::CompareNoCase(record.originalLocation, location) == 0
                         : record.root == kRootCurrentUser && record.name == name &&
                               record.originalLocation == kRunKey) {
                return &record;
            }
        }
        return nullptr;
    }
    // A record that brings it back as it was: the value's data, or the moved
    // file holding its bytes.
    bool Restorable(const RemovedEntryList& records) const {
        const RemovedEntry* record = FindRecord(records);
        return record != nullptr && (IsFile() ? ReadFileText(record->currentLocation) == data
                                              : record->currentLocation == data);
    }
};

// The accepted list's bytes: "old" when they are those before, "new" when one
// record follows the old ones, accepting a path that ends so; else why not.
std::string OldOrNew(const std::string& before, const std::string& now, const std::string& ending) {
    if (now == before) {
        return "old";
    }
    std::vector<AcceptedItem> old;
    std::vector<AcceptedItem> items;
    ParseAcceptedList(before, old);
    if (!ParseAcceptedList(now, items) || FormatAcceptedList(items) != now) {
        return "not whole";
    }
    const std::string& path = items.empty() ? now : items.back().path;
    const bool appended =
        items.size() == old.size() + 1 && std::equal(old.begin(), old.end(), items.begin()) &&
        items.back().state == 1 && path.size() >= ending.size() &&
        mbcs::CompareNoCase(path.substr(path.size() - ending.size()), ending) == 0;
    return appended ? "new" : "neither old nor new";
}

TEST_F(DayRoad, KilledInTheMiddleOrWithReadOnlyFilesNothingIsLost) {
    ASSERT_TRUE(WriteLaterRunSettings(m_folder.Dir()));
    std::vector<OwnEntry> entries;
    for (const char* id : {"1", "2"}) {
        const std::string name = std::string("Day Road Kill Value ") + id;
        entries.push_back({name, kRunKey, "C:\\Day Road\\kill " + std::string(id) + ".exe /quiet"});
        ASSERT_TRUE(m_made.Value(name, entries.back().data));
    }
    entries.push_back({"Day Road Kill File", m_made.File("Day Road Kill File.txt"), "its bytes"});
    ASSERT_TRUE(WriteFileText(entries.back().location, entries.back().data));
    const std::string trusted = "C:\\Day Road\\trusted.exe";
    ASSERT_TRUE(m_made.Value("Day Road Trusted", trusted));
    HelperProcess helper;
    ASSERT_TRUE(helper.Start());
    const std::string index = m_folder.File("removed\\_index_.dat");
    const std::string autostartDat = m_folder.File("autostart.dat");
    const std::string processesDat = m_folder.File("processes.dat");
    // Accepted lists of an earlier day: the entries above, an old program.
    CAcceptedList accepted(autostartDat);
    CAcceptedList trustedProcesses(processesDat);
    for (const OwnEntry& entry : entries) {
        accepted.SetState(entry.IsFile() ? entry.location : entry.data, 1);
    }
    accepted.SetState("C:\\Day Road\\earlier.exe", 1);
    trustedProcesses.SetState("C:\\Day Road\\earlier.exe", 1);
    ASSERT_TRUE(accepted.Store() && trustedProcesses.Store());

    // Removals of each entry, and acceptances of the trusted entry and of the
    // helper process, each killed as the file it writes is written.
    struct Step {
        const OwnEntry* removed;
        const std::string& file;
        KillAt kill;
    };
    const std::vector<Step> steps = {{&entries[0], index, KillAt::TemporaryAppears},
                                     {nullptr, autostartDat, KillAt::TemporaryAppears},
                                     {&entries[2], index, KillAt::FileReplaced},
                                     {nullptr, processesDat, KillAt::TemporaryAppears},
                                     {&entries[1], index, KillAt::FileReplaced}};
    HWND sheet = nullptr;
    for (size_t step = 0; step <= steps.size(); ++step) {
        // Started again, the program shows what the files hold.
        Start();
        sheet = ShowSheetOfLaterRun(Id());
        ASSERT_NE(sheet, nullptr);
        const AutostartLists lists(OpenPage(sheet, 0));
        RemovedEntryList records;
        ReadRemovedIndex(records, index);
        EXPECT_TRUE(WaitUntil([&] { return lists.removed.Count() == int(records.size()); }, 3s))
            << "the removed list shows the index";
        for (const OwnEntry& entry : entries) {
            EXPECT_EQ(lists.current.Find(entry.name) >= 0, entry.InPlace()) << entry.name;
        }
        ASSERT_TRUE(lists.WaitForEntry("Day Road Trusted", 3s));
        const bool accepted = IsAccepted(autostartDat, trusted);
        EXPECT_TRUE(
            WaitUntil([&] { return (lists.RedPixelsOf("Day Road Trusted") == 0) == accepted; }, 3s))
            << "drawn as autostart.dat holds it: " << (accepted ? "accepted" : "not accepted");
        if (step == steps.size()) {
            break;
        }

        const Step& next = steps[step];
        std::string landed;
        if (next.removed != nullptr) {
            ClickItem(lists.current, lists.current.Find(next.removed->name));
            PressKeys({VK_DELETE});
            HWND question = WaitForMessageBox(Id(), "", 5s);
            ASSERT_NE(question, nullptr);
            ASSERT_TRUE(KillDuring(
                *m_program, index, next.kill,
                [&] { ::PostMessageA(::GetDlgItem(question, IDYES), BM_CLICK, 0, 0); }, landed))
                << "removing " << next.removed->name << ": the kill did not land " << landed;
            const std::string bytes = ReadFileText(index);
            records.clear();
            EXPECT_TRUE(bytes.empty() || ParseRemovedIndex(bytes, records)) << "a whole index";
            const bool inPlace = next.removed->InPlace();
            const bool recorded = next.removed->FindRecord(records) != nullptr;
            std::printf("[ KILLED   ] removing %s, %s %s: %s\n", next.removed->name.c_str(),
                        GetFileNameWithExt(index).c_str(), landed.c_str(),
                        inPlace ? (recorded ? "recorded, not yet removed" : "before the removal")
                                : (recorded ? "removed and recorded" : "LOST"));
            for (const OwnEntry& entry : entries) {
                EXPECT_TRUE(entry.InPlace() || entry.Restorable(records))
                    << entry.name << " is lost";
            }
            continue;
        }
        // Accept from the row's menu, its first item.
        const std::string before = ReadFileText(next.file);
        const bool process = &next.file == &processesDat;
        if (process) {
            HWND list = ::GetDlgItem(OpenPage(sheet, 1), kCurrentList);
            ASSERT_TRUE(SelectRowOf(list, helper.Id()));
            ClickAt(ListItemCenter(list, FindListItem(list, kProcessIdColumn, IdText(helper.Id()))),
                    true);
        } else {
            ClickItem(lists.current, lists.current.Find("Day Road Trusted"));
            ClickItem(lists.current, lists.current.Find("Day Road Trusted"), true);
        }
        ASSERT_TRUE(WaitUntil([] { return testsupport::FindOpenMenu() != nullptr; }, 5s));
        TapKey(VK_DOWN);
        ASSERT_TRUE(KillDuring(
            *m_program, next.file, next.kill, [] { PressKeys({VK_RETURN}); }, landed))
            << "accepting into " << next.file << ": the kill did not land " << landed;
        const std::string outcome =
            OldOrNew(before, ReadFileText(next.file), process ? "ProcessHelper.exe" : trusted);
        std::printf("[ KILLED   ] accepting, %s %s: the %s file\n",
                    GetFileNameWithExt(next.file).c_str(), landed.c_str(), outcome.c_str());
        EXPECT_TRUE(outcome == "old" || outcome == "new") << next.file << ": " << outcome;
    }

    // Whatever was removed comes back from the removed list, as it was; the
    // record of a removal cut short before the entry moved just goes.
    const AutostartLists lists(OpenPage(sheet, 0));
    for (const OwnEntry& entry : entries) {
        if (lists.removed.Find(entry.name) >= 0) {
            lists.Restore(entry.name);
            EXPECT_TRUE(WaitUntil([&] { return lists.IsRestored(entry.name); }, 3s)) << entry.name;
        }
        EXPECT_TRUE(entry.InPlace()) << entry.name;
    }
    EXPECT_EQ(FindMessageBox(Id(), "Orvane"), nullptr) << "no failure to restore";

    // Then the folder's files turn read-only under the running program.
    ReadOnlyFilesAreToldAndLeftAsTheyWere(*m_program, sheet, lists, m_folder, entries[0].name,
                                          entries[0].data, "Day Road Trusted",
                                          "day\\faults-read-only");
}

} // namespace
