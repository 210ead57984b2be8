// The program as its user meets it: the first run with its greeting, later runs
// in the tray, the log, the settings file.
#include "tests/e2e/SheetSteps.h"
#include "tests/helpers/AcceptEverything.h"
#include "tests/unit/ShellOpenRecorder.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <optional>
#include <regex>
#include <thread>

using namespace e2e;

namespace {

// The sheet of a later run, once it has gone to the tray.
HWND WaitForSheetInTray(const RunningProgram& program) {
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    if (sheet != nullptr && !WaitUntil([&] { return !IsVisible(sheet); }, 5s)) {
        ADD_FAILURE() << "later runs start hidden";
        return nullptr;
    }
    return sheet;
}

// One click on the tray icon shows the sheet.
void ShowByTrayClick(HWND sheet) {
    ClickFirstTrayIcon();
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s)) << "a tray click shows the sheet";
    MoveClearOfTray(sheet);
}

void PressExit(HWND sheet) {
    HWND exitButton = ::GetDlgItem(sheet, IDCANCEL);
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(WindowText(exitButton), "Exit");
    ::PostMessageA(exitButton, BM_CLICK, 0, 0);
}

class StartupTest : public testing::Test {
  protected:
    void SetUp() override { DeleteUserRegistryValue(kRunKey, "ORV"); }
    void TearDown() override { DeleteUserRegistryValue(kRunKey, "ORV"); }

    // Starts the program as on any run after the first.
    RunningProgram& StartLaterRun(const std::string& moreSettings = std::string()) {
        m_program = e2e::StartLaterRun(folder, moreSettings);
        return *m_program;
    }

    ProgramFolder folder;
    std::unique_ptr<RunningProgram> m_program;
};

TEST_F(StartupTest, FirstRunGreetsRegistersItselfLogsAndSavesTheFlag) {
    // Started from another folder: the program must still work beside its exe.
    char windowsDir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    RunningProgram program(folder.Exe(), windowsDir);

    HWND greeting = WaitForMessageBox(program.Id(), "Orvane", 20s);
    ASSERT_NE(greeting, nullptr) << "no greeting on the first run";
    EXPECT_EQ(MessageBoxText(greeting), kGreeting);
    EXPECT_EQ(FindTopWindow(program.Id(), kSheetCaption), nullptr)
        << "the greeting comes before the main window";

    std::string runValue;
    ASSERT_TRUE(ReadUserRegistryString(kRunKey, "ORV", runValue));
    EXPECT_EQ(runValue, folder.Exe());

    ::PostMessageA(::GetDlgItem(greeting, IDOK), BM_CLICK, 0, 0);
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s)) << "first run shows the sheet";

    std::string log = LogText(program.Id());
    std::smatch match;
    EXPECT_TRUE(
        std::regex_search(log, match,
                          std::regex("^InitInstance\r\nApp dir:(.*)\r\nCurrent dir:(.*)\r\n"
                                     "EnableNeccessaryPrivileges:[01]\r\nFirstUsage\\?:1\r\n")))
        << log;
    if (match.size() == 3) {
        EXPECT_EQ(match[1].str(), folder.Dir());
        EXPECT_EQ(match[2].str(), folder.Dir());
    }

    PressExit(sheet);
    ASSERT_TRUE(program.WaitForExit(20s)) << "Exit ends the program";
    std::string settings = ReadFileText(folder.File("settings.ini"));
    EXPECT_NE(settings.find("[GENERAL]"), std::string::npos) << settings;
    EXPECT_NE(settings.find("FirstUse=1"), std::string::npos) << settings;
}

TEST_F(StartupTest, LaterRunStartsInTheTrayAndTheIconShowsAndHidesTheSheet) {
    RunningProgram& program = StartLaterRun();
    HWND sheet = WaitForSheetInTray(program);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(FindMessageBox(program.Id(), "Orvane"), nullptr) << "no greeting";
    std::string runValue;
    EXPECT_FALSE(ReadUserRegistryString(kRunKey, "ORV", runValue)) << "no registry write";
    EXPECT_NE(LogText(program.Id()).find("FirstUsage?:0\r\n"), std::string::npos);

    ASSERT_TRUE(WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s)) << "no tray";
    ShowByTrayClick(sheet);
    ClickFirstTrayIcon();
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(sheet); }, 5s)) << "a click hides it again";

    // Started again from the same folder, the program brings up the running
    // copy's sheet and ends.
    RunningProgram second(folder.Exe(), folder.Dir());
    EXPECT_TRUE(second.WaitForExit(20s)) << "a second copy ends";
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s)) << "the running copy shows";
    MoveClearOfTray(sheet);

    // The close box and minimising hide the sheet; the program goes on.
    ::PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(sheet); }, 5s));
    ShowByTrayClick(sheet);
    ::PostMessageA(sheet, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(sheet); }, 5s));
    EXPECT_FALSE(program.HasExited());

    ShowByTrayClick(sheet);
    PressExit(sheet);
    EXPECT_TRUE(program.WaitForExit(20s));
}

TEST_F(StartupTest, KeyboardTogglesTheLogAndNeverClosesTheSheet) {
    RunningProgram& program = StartLaterRun();
    HWND sheet = WaitForSheetInTray(program);
    ASSERT_NE(sheet, nullptr);
    ShowByTrayClick(sheet);
    BringToFront(sheet);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == sheet; }, 5s))
        << "a click activates the sheet";

    PressKeys({VK_RETURN});
    PressKeys({VK_ESCAPE});
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(IsVisible(sheet)) << "Enter and Escape do nothing";
    EXPECT_FALSE(program.HasExited());

    HWND log = FindTopWindow(program.Id(), "Log Window");
    ASSERT_NE(log, nullptr);
    EXPECT_FALSE(IsVisible(log));
    PressKeys({VK_CONTROL, VK_SHIFT, VK_MENU, VK_F12});
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(log); }, 5s)) << "the chord shows the log";

    // OK in the Log Window only hides it; the toggle still thinks it is shown.
    ::PostMessageA(::GetDlgItem(log, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(log); }, 5s));
    EXPECT_FALSE(program.HasExited());
    BringToFront(sheet);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == sheet; }, 5s));
    PressKeys({VK_CONTROL, VK_SHIFT, VK_MENU, VK_F12});
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(IsVisible(log)) << "the first chord after OK hides (no visible change)";
    PressKeys({VK_CONTROL, VK_SHIFT, VK_MENU, VK_F12});
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(log); }, 5s));

    PressExit(sheet);
    EXPECT_TRUE(program.WaitForExit(20s));
}

TEST_F(StartupTest, SettingsFileIsRewrittenWholeAtExit) {
    std::string longValue(3000, 'x');
    ASSERT_TRUE(WriteFileText(folder.File("settings.ini"),
                              "; kept by hand\r\n[GENERAL]\r\nFirstUse=1\r\n"
                              "[OPTIONS]\r\nShowWarningDialogs=1\r\nFlashColor1=255\r\n"
                              "[Custom]\r\nLong=" +
                                  longValue + "\r\nNote=line&#13;&#10;two\r\n"));
    RunningProgram program(folder.Exe(), folder.Dir());
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);
    PressExit(sheet);
    ASSERT_TRUE(program.WaitForExit(20s));

    std::string settings = ReadFileText(folder.File("settings.ini"));
    EXPECT_EQ(settings.find("kept by hand"), std::string::npos) << "comments are not kept";
    EXPECT_NE(settings.find("[OPTIONS]"), std::string::npos) << "the spelling first read";
    EXPECT_NE(settings.find("ShowWarningDialogs=1"), std::string::npos);
    EXPECT_NE(settings.find("FlashColor1=255"), std::string::npos);
    EXPECT_NE(settings.find("Long=" + std::string(2046, 'x') + "\r\n"), std::string::npos)
        << "a long value is cut at 2046 characters";
    EXPECT_NE(settings.find("Note=line&#13;&#10;two"), std::string::npos);
}

TEST_F(StartupTest, EndingTheSessionSavesTheSettings) {
    RunningProgram program(folder.Exe(), folder.Dir());
    HWND greeting = WaitForMessageBox(program.Id(), "Orvane", 20s);
    ASSERT_NE(greeting, nullptr);
    ::PostMessageA(::GetDlgItem(greeting, IDOK), BM_CLICK, 0, 0);
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);

    // At logoff the program is ended without a normal exit.
    ::SendMessageA(sheet, WM_ENDSESSION, TRUE, 0);
    program.Kill();
    EXPECT_NE(ReadFileText(folder.File("settings.ini")).find("FirstUse=1"), std::string::npos)
        << "the greeting would otherwise come back at every logon";
}

} // namespace

namespace {

// The items in order: Open, About, -, ORV's Website, Forum, -, Exit. The
// arrow keys pass over the separators.
void ChooseTrayMenuItem(int downPresses) {
    ASSERT_NE(OpenTrayMenu(), nullptr) << "a right click opens the tray menu";
    for (int press = 0; press < downPresses; ++press) {
        PressKeys({VK_DOWN});
    }
    PressKeys({VK_RETURN});
}

TEST_F(StartupTest, TrayMenuOpensTheWebsiteAndTheForumInTheBrowser) {
    ShellOpenRecorder browser;
    ASSERT_TRUE(browser.Installed());
    RunningProgram& program = StartLaterRun();
    ASSERT_NE(WaitForSheetInTray(program), nullptr);
    ASSERT_TRUE(WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s));

    ChooseTrayMenuItem(3);
    EXPECT_EQ(browser.WaitForAddress(), "http://www.orvane.net/products/orvane/?id=orv");
    ChooseTrayMenuItem(4);
    EXPECT_EQ(browser.WaitForAddress(), "http://www.orvane.net/forum/viewforum.php?f=9");
    program.Kill();
}

TEST_F(StartupTest, TrayMenuAboutShowsTheInfoPageAndExitEndsTheProgram) {
    RunningProgram& program = StartLaterRun();
    HWND sheet = WaitForSheetInTray(program);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s));

    ChooseTrayMenuItem(2); // About
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s)) << "About shows the sheet";
    HWND tabs = ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 2; }, 5s))
        << "on the Info page";
    MoveClearOfTray(sheet);

    HWND menu = OpenTrayMenu();
    ASSERT_NE(menu, nullptr);
    // "Exit" is the last of five items and two separators.
    RECT rect{};
    ::GetWindowRect(menu, &rect);
    ClickAt(POINT{(rect.left + rect.right) / 2, rect.bottom - 8});
    EXPECT_TRUE(program.WaitForExit(20s)) << "Exit in the tray menu ends the program";
    EXPECT_TRUE(WaitUntil([] { return FindTrayWindow() == nullptr; }, 5s))
        << "the icon goes with the program";
}

} // namespace

namespace {

// A window's rectangle in the client coordinates of another window.
RECT RectIn(HWND window, HWND parent) {
    RECT rect = WindowRectOf(window);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

long Width(const RECT& rect) {
    return rect.right - rect.left;
}
long Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

TEST_F(StartupTest, SheetNeverShrinksBelowItsCreatedSizeAndMaximisingRelaysItsControls) {
    RunningProgram& program = StartLaterRun();
    HWND sheet = WaitForSheetInTray(program);
    ASSERT_NE(sheet, nullptr);
    ShowByTrayClick(sheet);
    const RECT created = WindowRectOf(sheet);

    // Dragging the lower right corner inwards, then asking for a tiny size.
    DragMouse(POINT{created.right - 2, created.bottom - 2},
              POINT{created.right - 150, created.bottom - 120});
    RECT dragged = WindowRectOf(sheet);
    EXPECT_GE(Width(dragged), Width(created));
    EXPECT_GE(Height(dragged), Height(created));
    ::SetWindowPos(sheet, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT asked = WindowRectOf(sheet);
    EXPECT_EQ(Width(asked), Width(created)) << "the created size is the least";
    EXPECT_EQ(Height(asked), Height(created));

    HWND tabs = ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    HWND exitButton = ::GetDlgItem(sheet, IDCANCEL);
    const RECT exitBefore = RectIn(exitButton, sheet);
    const RECT tabBefore = RectIn(tabs, sheet);

    ::PostMessageA(sheet, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(sheet) != FALSE; }, 5s));
    // The next timer tick scales every child by the window's growth.
    const RECT maximised = WindowRectOf(sheet);
    const double sx = double(Width(maximised)) / Width(created);
    const double sy = double(Height(maximised)) / Height(created);
    ASSERT_GT(sx, 1.0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT tab = RectIn(tabs, sheet);
            return std::abs(tab.right - long(tabBefore.right * sx)) <= 1 &&
                   std::abs(tab.bottom - long(tabBefore.bottom * sy)) <= 1;
        },
        3s))
        << "the tab control grows with the window";
    RECT exitAfter = RectIn(exitButton, sheet);
    EXPECT_GT(exitAfter.left, exitBefore.left) << "buttons move with the window";
    EXPECT_GT(exitAfter.top, exitBefore.top);
    EXPECT_EQ(Width(exitAfter), Width(exitBefore)) << "and keep their size";
    EXPECT_EQ(Height(exitAfter), Height(exitBefore));
    SaveScreenshot("maximised-sheet");

    PressExit(sheet);
    EXPECT_TRUE(program.WaitForExit(20s));
}

TEST_F(StartupTest, TooltipSaysUnacceptedEntryOnceANewEntryIsListed) {
    // Everything running and registered now is accepted: nothing to warn about.
    ASSERT_GT(testsupport::AcceptEverything(folder.Dir(), folder.Exe()), 0u);
    RunningProgram& program = StartLaterRun();
    HWND sheet = WaitForSheetInTray(program);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TooltipShowsFiguresOnly(program.Id()); }, 10s))
        << "the tooltip begins with the figures: " << TrayTooltipOf(program.Id());
    SaveTrayScreenshot("tray");

    // A program registers itself; the Autostart page lists it at its next
    // rescan (every 30 s), and from then on the tray's next update says so.
    RunValues values;
    ASSERT_TRUE(values.Set("orv-e2e-newcomer", "C:\\orv-e2e\\newcomer.exe /tray"));
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_INDEXTOHWND, 0, 0));
    HWND list = ::GetDlgItem(page, 1001);
    ASSERT_NE(list, nullptr);
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> listedAt;
    std::optional<Clock::time_point> warnedAt;
    WaitUntil(
        [&] {
            const auto now = Clock::now();
            if (!listedAt && FindListItem(list, 0, "orv-e2e-newcomer") >= 0) {
                listedAt = now;
            }
            if (!warnedAt && TooltipSaysUnaccepted(program.Id())) {
                warnedAt = now;
            }
            return listedAt && warnedAt;
        },
        45s);
    ASSERT_TRUE(listedAt) << "the new Run value is listed within a rescan";
    ASSERT_TRUE(warnedAt) << "and the tooltip warns of it: " << TrayTooltipOf(program.Id());
    EXPECT_GE(*warnedAt, *listedAt) << "the tooltip warned before the entry was listed";
    EXPECT_LE(*warnedAt - *listedAt, Scaled(1500ms))
        << "the warning follows the listing by the next tray update (200 ms), not a rescan later";

    ShowByTrayClick(sheet);
    PressExit(sheet);
    EXPECT_TRUE(program.WaitForExit(20s));
}

TEST_F(StartupTest, TrayIconFlashesTheChosenColourWhileSomethingIsUnaccepted) {
    // In a fresh prefix no process is accepted yet.
    RunningProgram& program = StartLaterRun("[OPTIONS]\r\nFlashColor1=255\r\n");
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);
    HWND tray = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            tray = FindTrayWindow();
            return tray != nullptr;
        },
        10s));

    const COLORREF flash = RGB(255, 0, 0);
    const COLORREF plain = RGB(220, 220, 220);
    int flashes = 0;
    int plainPictures = 0;
    // One update in seven flashes: about 200 ms in every 1.4 s.
    WaitUntil(
        [&] {
            if (ScreenPixelsOf(FirstTrayIconRect(), flash) >= 50) {
                ++flashes;
            } else if (ScreenPixelsOf(FirstTrayIconRect(), plain) >= 50) {
                ++plainPictures;
            }
            return flashes >= 2 && plainPictures >= 2;
        },
        10s);
    EXPECT_GE(flashes, 2) << "the flash colour shows";
    EXPECT_GE(plainPictures, 2) << "and goes again";
    if (flashes < 2 || plainPictures < 2) {
        SaveScreenshot("tray-flash");
    }

    ShowByTrayClick(sheet);
    PressExit(sheet);
    EXPECT_TRUE(program.WaitForExit(20s));
}

} // namespace
