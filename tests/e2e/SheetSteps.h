#pragma once
// Steps every end-to-end test of the main sheet takes: start the program as on
// any run after the first, find its sheet in the tray, show it, open a page,
// and what a user does there: click rows, answer questions, use the menus.
#include "tests/e2e/Driver.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/helpers/TestSupport.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {

constexpr char kSheetCaption[] = "Orvane : ";
using testsupport::kRunKey;
using testsupport::ReadUserRunValue;
using testsupport::RunValues;
using testsupport::SetUserRunString;
using testsupport::SetUserRunValue;
constexpr char kGreeting[] = "Hello - thanks for downloading ORV.\r\nI have put myself to the "
                             "autostart. If, for some reason, you want to remove me, go to the "
                             "'info' page.";
constexpr char kConfirmRemoval[] = "Are you sure you want to remove selected items?";
// Rows of unaccepted entries and processes: red, light pink when selected.
constexpr COLORREF kUnacceptedRed = RGB(200, 0, 0);
constexpr COLORREF kUnacceptedPink = RGB(255, 220, 220);
// The page's list of current entries or processes; the removed entries.
constexpr int kCurrentList = 1001;
constexpr int kRemovedList = 1002;

inline bool IsVisible(HWND window) {
    return ::IsWindowVisible(window) != FALSE;
}

inline bool IsChecked(HWND box) {
    return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Without a window manager the sheet opens over Wine's little tray window; the
// user would drag it aside before reaching for the icon again.
inline void MoveClearOfTray(HWND sheet) {
    ::SetWindowPos(sheet, nullptr, 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A click on the tray icon shows or hides the sheet. An icon left behind by a
// program that was killed goes when the mouse passes over it, or at the
// latest at its first click; the user then clicks again.
inline bool ToggleFromTray(HWND sheet, bool shown) {
    for (int click = 0; click < 3; ++click) {
        ClickFirstTrayIcon();
        if (WaitUntil([&] { return IsVisible(sheet) == shown; }, 3s)) {
            return true;
        }
    }
    return false;
}

inline bool ShowFromTray(HWND sheet) {
    const RECT icon = FirstTrayIconRect();
    ::SetCursorPos((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
    std::this_thread::sleep_for(300ms);
    return IsVisible(sheet) || ToggleFromTray(sheet, true);
}

// The sheet of a later run, hidden in the tray as later runs start, then shown
// by a tray click and moved clear of the tray; null when that did not happen.
inline HWND ShowSheetOfLaterRun(DWORD programId) {
    HWND sheet = WaitForTopWindow(programId, kSheetCaption, 20s);
    if (sheet == nullptr || !WaitUntil([&] { return !IsVisible(sheet); }, 5s) ||
        !WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s) || !ShowFromTray(sheet)) {
        return nullptr;
    }
    MoveClearOfTray(sheet);
    return sheet;
}

// The settings of a program folder once the greeting has been seen: every
// run from then on starts in the tray.
inline bool WriteLaterRunSettings(const std::string& dir, const std::string& more = "") {
    return WriteFileText(dir + "\\settings.ini", "[GENERAL]\r\nFirstUse=1\r\n" + more);
}

// Starts the program in the folder as on any run after the first.
inline std::unique_ptr<RunningProgram> StartLaterRun(const ProgramFolder& folder,
                                                     const std::string& moreSettings = "") {
    EXPECT_TRUE(WriteLaterRunSettings(folder.Dir(), moreSettings));
    return std::make_unique<RunningProgram>(folder.Exe(), folder.Dir());
}

// The program in a folder of its own, started as on any run after the first
// (unless the test has more to put into the folder first).
class LaterRun {
  public:
    explicit LaterRun(const std::string& moreSettings = std::string(), bool startNow = true) {
        EXPECT_TRUE(WriteLaterRunSettings(m_folder.Dir(), moreSettings));
        if (startNow) {
            StartAgain();
        }
    }
    RunningProgram& Program() { return *m_program; }
    const ProgramFolder& Folder() const { return m_folder; }

    // Starts the program in the folder, after the last run ended.
    void StartAgain() {
        m_program.reset();
        m_program = std::make_unique<RunningProgram>(m_folder.Exe(), m_folder.Dir());
    }

    HWND ShowSheet() { return ShowSheetOfLaterRun(m_program->Id()); }

    // Exit in the sheet; the program ends and its tray icon goes with it.
    bool Exit(HWND sheet) {
        ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        return m_program->WaitForExit(20s) &&
               WaitUntil([] { return FindTrayWindow() == nullptr; }, 10s);
    }

  private:
    ProgramFolder m_folder;
    std::unique_ptr<RunningProgram> m_program;
};

// Activates the page (0 Autostart, 1 Processes, 2 Info) and returns its window.
inline HWND OpenPage(HWND sheet, int index) {
    ::SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    HWND page = nullptr;
    WaitUntil(
        [&] {
            page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            return page != nullptr && IsVisible(page);
        },
        5s);
    return page;
}

// The text of the program's Log Window.
inline std::string LogText(DWORD programId) {
    HWND log = FindTopWindow(programId, "Log Window");
    return log != nullptr ? WindowText(::GetDlgItem(log, 1024)) : std::string();
}

// The program's message box with the caption: its text, after the button is
// pressed and the box has gone; "<no message>" when none came.
inline std::string AnswerMessage(DWORD programId, const std::string& caption, int button) {
    HWND box = WaitForMessageBox(programId, caption, 5s);
    if (box == nullptr) {
        return "<no message>";
    }
    const std::string text = MessageBoxText(box);
    ::PostMessageA(::GetDlgItem(box, button), BM_CLICK, 0, 0);
    WaitUntil([&] { return !::IsWindow(box); }, 5s);
    return text;
}

// The program's own message (its title as caption), closed with OK.
inline std::string TakeMessage(DWORD programId) {
    return AnswerMessage(programId, "Orvane", IDOK);
}

// Answers Yes to the removal question of the Autostart page.
inline void ConfirmRemoval(DWORD programId) {
    EXPECT_EQ(AnswerMessage(programId, "", IDYES), kConfirmRemoval) << "Delete asks first";
}

// Chooses the open menu's item (counting from 1, separators skipped) with the keys.
inline void ChooseMenuItem(int item) {
    ASSERT_TRUE(WaitUntil([] { return testsupport::FindOpenMenu() != nullptr; }, 5s))
        << "a right click opens the menu";
    TapKey(VK_DOWN, item);
    PressKeys({VK_RETURN});
}

// A right click on the tray icon opens its menu: Open, About, -, ORV's
// Website, Forum, -, Exit.
inline HWND OpenTrayMenu() {
    ClickFirstTrayIcon(true);
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            menu = testsupport::FindOpenMenu();
            return menu != nullptr;
        },
        5s);
    return menu;
}

// Two clicks of one button on one place within the double-click time make a
// double click, which selects nothing: every click on a row waits that time
// out since the last of the same button.
inline POINT PointOnItem(const RemoteListView& list, int item, bool rightButton = false) {
    static DWORD lastClick[2] = {0, 0};
    DWORD& last = lastClick[rightButton ? 1 : 0];
    const DWORD sinceLast = ::GetTickCount() - last;
    if (sinceLast < ::GetDoubleClickTime() + 100) {
        ::Sleep(::GetDoubleClickTime() + 100 - sinceLast);
    }
    last = ::GetTickCount();
    list.EnsureVisible(item);
    const RECT row = list.ItemRect(item);
    return POINT{row.left + 40, (row.top + row.bottom) / 2};
}

inline void ClickItem(const RemoteListView& list, int item, bool rightButton = false) {
    ClickAt(PointOnItem(list, item, rightButton), rightButton);
}

inline void SendInputs(std::initializer_list<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.begin()),
                sizeof(INPUT));
    std::this_thread::sleep_for(100ms);
}

// A click with the key held: Control adds the item to the selection or takes
// it out, Shift selects every row from the last clicked one. The mouse is in
// place first: moving it would report the key as released.
inline void ModifierClickItem(const RemoteListView& list, int item, WORD key = VK_CONTROL) {
    const POINT point = PointOnItem(list, item);
    ::SetCursorPos(point.x, point.y);
    std::this_thread::sleep_for(100ms);
    INPUT modifier{};
    modifier.type = INPUT_KEYBOARD;
    modifier.ki.wVk = key;
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInputs({modifier});
    SendInputs({button});
    button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    modifier.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInputs({button, modifier});
}

// How many pixels of the item's row on the screen have the colour; -1 when
// the list has no such item.
inline int RowPixelsOf(const RemoteListView& list, int item, COLORREF colour) {
    return item < 0 ? -1 : ScreenPixelsOf(list.ItemRect(item), colour);
}

// A control anywhere below the window, by its id.
inline BOOL CALLBACK MatchControlId(HWND child, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(data);
    if (::GetDlgCtrlID(child) == wanted->first) {
        wanted->second = child;
        return FALSE;
    }
    return TRUE;
}

inline HWND FindDescendant(HWND window, int id) {
    std::pair<int, HWND> search{id, nullptr};
    ::EnumChildWindows(window, &MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Clicks along the row of tabs until the one asked for is chosen: the tabs are
// as wide as their captions, and their rectangles live in the other process.
inline void ClickTab(HWND sheet, int index) {
    HWND tabs = ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    const RECT row = WindowRectOf(tabs);
    auto chosen = [&] { return ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == index; };
    for (long x = row.left + 8; x < row.left + 400 && !chosen(); x += 16) {
        ClickAt(POINT{x, row.top + 10});
        WaitUntil(chosen, 300ms);
    }
    ASSERT_TRUE(chosen()) << "tab " << index << " chosen";
}

// --- The Info page ---------------------------------------------------------

constexpr int kFlashColourSwatch = 1034;

// A click on the Info page's flash colour swatch opens the colour dialog,
// where the colour is typed in and taken with OK; the swatch then shows it.
inline void ChooseFlashColour(DWORD programId, HWND infoPage, COLORREF colour) {
    ClickCenterOf(::GetDlgItem(infoPage, kFlashColourSwatch));
    HWND dialog = WaitForTopWindow(programId, "Color", 10s, "#32770");
    ASSERT_NE(dialog, nullptr) << "a click on the swatch opens the colour dialog";
    // The dialog's red, green and blue fields.
    for (auto [field, value] :
         {std::pair{706, GetRValue(colour)}, {707, GetGValue(colour)}, {708, GetBValue(colour)}}) {
        ::SetDlgItemInt(dialog, field, value, FALSE);
    }
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ScreenPixelsOf(WindowRectOf(::GetDlgItem(infoPage, kFlashColourSwatch)),
                                  colour) > 10;
        },
        5s))
        << "the swatch shows the new colour";
}

// --- The Autostart page -----------------------------------------------------

inline std::string SystemFile(const char* name) {
    char dir[MAX_PATH] = {};
    ::GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

inline std::string StartupFolder(int folder = CSIDL_STARTUP) {
    char dir[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, 0, dir);
    return dir;
}

inline bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The lists of the Autostart page: its current entries and the removed ones.
struct AutostartLists {
    explicit AutostartLists(HWND page)
        : current(::GetDlgItem(page, kCurrentList)), removed(::GetDlgItem(page, kRemovedList)) {}

    bool WaitForEntry(const std::string& name, std::chrono::milliseconds timeout) const {
        return WaitUntil([&] { return current.Find(name) >= 0; }, timeout);
    }
    int RedPixelsOf(const std::string& name, COLORREF colour = kUnacceptedRed) const {
        return RowPixelsOf(current, current.Find(name), colour);
    }
    // Back in the current list and gone from the removed one.
    bool IsRestored(const std::string& name) const {
        return removed.Find(name) < 0 && current.Find(name) >= 0;
    }
    // Restores the removed entry through the removed list's menu.
    void Restore(const std::string& name) const {
        ClickItem(removed, removed.Find(name));
        ClickItem(removed, removed.Find(name), true);
        ChooseMenuItem(1);
    }

    RemoteListView current;
    RemoteListView removed;
};

// The ids of the new-entry dialog's title, path and check boxes.
constexpr int kNewTitle = 1028;
constexpr int kNewPath = 1029;
constexpr int kNewAllUsers = 1030;
constexpr int kNewRegistry = 1031;

inline HWND WaitForNewEntryDialog(DWORD programId) {
    return WaitForTopWindow(programId, "Create new autostart item", 5s);
}

// Fills in the new-entry dialog, ticking the boxes by clicks where they must
// change; the caller presses OK.
inline void FillNewEntry(HWND dialog, const std::string& title, const std::string& path,
                         bool allUsers, bool registry) {
    ::SendMessageA(::GetDlgItem(dialog, kNewTitle), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(title.c_str()));
    ::SendMessageA(::GetDlgItem(dialog, kNewPath), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(path.c_str()));
    for (auto [box, wanted] : {std::pair{kNewAllUsers, allUsers}, {kNewRegistry, registry}}) {
        if ((::IsDlgButtonChecked(dialog, box) == BST_CHECKED) != wanted) {
            ClickCenterOf(::GetDlgItem(dialog, box));
        }
        EXPECT_EQ(::IsDlgButtonChecked(dialog, box) == BST_CHECKED, wanted) << box;
    }
}

// With the accepted list, the removed index and the settings made read-only
// while the program runs on the Autostart page: accepting fresh, removing kept
// (a Run value holding keptData) and changing an option before Exit each say
// so, the removal that could not be recorded does not happen, and every file
// stays as it was. A screenshot, when named, shows the first message. Ends
// with the program.
inline void ReadOnlyFilesAreToldAndLeftAsTheyWere(
    RunningProgram& program, HWND sheet, const AutostartLists& lists, const ProgramFolder& folder,
    const std::string& kept, const std::string& keptData, const std::string& fresh,
    const std::string& screenshot = "") {
    const std::vector<std::string> files = {folder.File("autostart.dat"),
                                            folder.File("settings.ini"),
                                            folder.File("removed\\_index_.dat")};
    std::vector<std::string> before;
    for (const std::string& file : files) {
        ASSERT_TRUE(Exists(file)) << file;
        before.push_back(ReadFileText(file));
        ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    }

    // Accepting says the list could not be saved.
    ASSERT_TRUE(lists.WaitForEntry(kept, 3s));
    ClickItem(lists.current, lists.current.Find(fresh));
    ClickItem(lists.current, lists.current.Find(fresh), true);
    ChooseMenuItem(1);
    if (!screenshot.empty() && WaitForMessageBox(program.Id(), "Orvane", 5s) != nullptr) {
        SaveScreenshot(screenshot);
    }
    EXPECT_EQ(
        TakeMessage(program.Id()).rfind("Could not write " + files[0] + " (is it read-only?)", 0),
        0u);
    // A removal that cannot be recorded does not happen.
    ClickItem(lists.current, lists.current.Find(kept));
    PressKeys({VK_DELETE});
    ConfirmRemoval(program.Id());
    EXPECT_EQ(TakeMessage(program.Id()), "Operation failed");
    EXPECT_EQ(ReadUserRunValue(kept), std::make_pair(static_cast<DWORD>(REG_SZ), keptData + '\0'));
    EXPECT_EQ(lists.removed.Find(kept), -1);

    // An option changed on the Info page cannot be saved at Exit: said so.
    HWND info = OpenPage(sheet, 2);
    ASSERT_NE(info, nullptr);
    ClickCenterOf(::GetDlgItem(info, 1037));
    ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(
        TakeMessage(program.Id()).rfind("Could not write " + files[1] + " (is it read-only?)", 0),
        0u);
    EXPECT_TRUE(program.WaitForExit(20s));
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(ReadFileText(files[i]), before[i]) << files[i];
        ::SetFileAttributesA(files[i].c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// --- Warnings and the tray --------------------------------------------------

// A warning window of the program, moved aside as the user would drag it off
// the tray it covers; null when none opened in time.
inline HWND WaitForWarning(DWORD programId, const std::string& captionPrefix,
                           std::chrono::milliseconds timeout) {
    HWND warning = nullptr;
    WaitUntil(
        [&] {
            warning = FindTopWindow(programId, captionPrefix, "#32770");
            return warning != nullptr && IsVisible(warning);
        },
        timeout);
    if (warning != nullptr) {
        ::SetWindowPos(warning, nullptr, 560, 480, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        std::this_thread::sleep_for(300ms);
    }
    return warning;
}

// The program's tray tooltip warns of something unaccepted, or it holds the
// figures alone (not merely no warning: a missing tooltip has none either).
inline bool TooltipSaysUnaccepted(DWORD programId) {
    return TrayTooltipOf(programId).rfind("Unaccepted entry!\r\nCPU (green bar): ", 0) == 0;
}
inline bool TooltipShowsFiguresOnly(DWORD programId) {
    return TrayTooltipOf(programId).rfind("CPU (green bar): ", 0) == 0;
}

// The notification area with the pointer resting on the first icon, and its
// tooltip when it shows.
inline void SaveTrayScreenshot(const std::string& name) {
    HWND tray = FindTrayWindow();
    if (tray == nullptr) {
        return;
    }
    RECT area = ClientAreaOnScreen(tray);
    // Placing the pointer moves no mouse: a small move onto the icon, as a
    // mouse makes it, lets the notification area see the pointer arrive.
    ::SetCursorPos(area.left + ::GetSystemMetrics(SM_CXSMICON) / 2, (area.top + area.bottom) / 2);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = 2;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    ::SendInput(1, &move, sizeof move);
    HWND tip = nullptr;
    if (WaitUntil(
            [&] {
                tip = ShownTrayTooltip();
                return tip != nullptr;
            },
            5s)) {
        RECT tipArea{};
        ::GetWindowRect(tip, &tipArea);
        ::UnionRect(&area, &area, &tipArea);
    }
    SaveScreenshot(name, area);
}

// --- The Processes page -----------------------------------------------------

constexpr int kProcessIdColumn = 2;

inline std::string IdText(DWORD processId) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(processId));
    return text;
}

// Clicks the process's row once it is listed (the list is rebuilt every five
// seconds, so the row is looked up again just before the click).
inline bool SelectRowOf(HWND list, DWORD processId) {
    int row = -1;
    if (!WaitUntil(
            [&] {
                row = FindListItem(list, kProcessIdColumn, IdText(processId));
                return row >= 0;
            },
            12s)) {
        return false;
    }
    ClickAt(ListItemCenter(list, row));
    return true;
}

// The list, rebuilt, shows the program's own row but no longer the process
// that ended (a list being filled holds neither).
inline bool ListedWithout(HWND list, DWORD programId, DWORD endedId) {
    return FindListItem(list, kProcessIdColumn, IdText(programId)) >= 0 &&
           FindListItem(list, kProcessIdColumn, IdText(endedId)) < 0;
}

// Answers the question Delete asks on the Processes page with the button.
inline void AnswerKillQuestion(DWORD programId, int button) {
    EXPECT_EQ(AnswerMessage(programId, "", button),
              "Are you sure you want to kill selected processes?")
        << "Delete asks before it kills";
}

// The process's row menu: Accept, Unaccept, Open folder, Shell properties,
// More info, Set Priority > Realtime, High, Above normal, Normal, Below
// normal, Idle (priority 0 to 5).
inline void SetPriorityFromMenu(HWND list, DWORD processId, int priority) {
    ClickAt(ListItemCenter(list, FindListItem(list, kProcessIdColumn, IdText(processId))), true);
    ASSERT_TRUE(WaitUntil([] { return testsupport::FindOpenMenu() != nullptr; }, 5s));
    TapKey(VK_DOWN, 6);
    TapKey(VK_RIGHT);
    TapKey(VK_DOWN, priority);
    PressKeys({VK_RETURN});
}

} // namespace e2e
