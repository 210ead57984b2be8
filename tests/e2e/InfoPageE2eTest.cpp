// The Info page as its user meets it: the live diagrams, taking the program
// out of the autostart and back, and the options kept in the settings file.
#include "tests/e2e/Driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <regex>
#include <thread>

using namespace e2e;

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSheetCaption[] = "Orvane : ";
constexpr int kInfoTab = 2;
constexpr int kAutostartTab = 0;
constexpr int kCpuDiagram = 1008;
constexpr int kCpuText = 1009;
constexpr int kRamDiagram = 1010;
constexpr int kRamText = 1011;
constexpr int kOtherText = 1013;
constexpr int kStartWithSystem = 1014;
constexpr int kShowWarnings = 1037;

// Clicks along the row of tabs until the one asked for is chosen: the tabs are
// as wide as their captions, and their rectangles live in the other process.
void ClickTab(HWND sheet, int index) {
    HWND tabs = ::FindWindowExA(sheet, nullptr, "SysTabControl32", nullptr);
    ASSERT_NE(tabs, nullptr);
    RECT row{};
    ::GetWindowRect(tabs, &row);
    auto chosen = [&] { return ::SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == index; };
    for (long x = row.left + 8; x < row.left + 400 && !chosen(); x += 16) {
        ClickAt(POINT{x, row.top + 10});
        WaitUntil(chosen, 300ms);
    }
    ASSERT_TRUE(chosen()) << "tab " << index << " chosen";
}

HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// How many pixels on the screen inside the control have the colour.
int ScreenPixelsOf(HWND control, COLORREF colour) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    HDC screen = ::GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            count += ::GetPixel(screen, x, y) == colour ? 1 : 0;
        }
    }
    ::ReleaseDC(nullptr, screen);
    return count;
}

bool IsChecked(HWND box) {
    return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool HasRunValue(std::string& value) {
    return ReadUserRegistryString(kRunKey, "ORV", value);
}

class InfoPageTest : public testing::Test {
  protected:
    void SetUp() override { DeleteUserRegistryValue(kRunKey, "ORV"); }
    void TearDown() override { DeleteUserRegistryValue(kRunKey, "ORV"); }

    ProgramFolder folder;
};

TEST_F(InfoPageTest, DiagramsRunAndTheOptionsReachTheRegistryAndTheSettingsFile) {
    // The first run puts the program into the autostart and tells the user
    // that the Info page takes it out again.
    RunningProgram program(folder.Exe(), folder.Dir());
    HWND greeting = WaitForMessageBox(program.Id(), "Orvane", 20s);
    ASSERT_NE(greeting, nullptr);
    ::PostMessageA(::GetDlgItem(greeting, IDOK), BM_CLICK, 0, 0);
    HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(sheet) != FALSE; }, 5s));
    // Clear of Wine's little tray window, as the user would drag it.
    ::SetWindowPos(sheet, nullptr, 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ClickTab(sheet, kInfoTab);
    HWND page = CurrentPage(sheet);
    ASSERT_NE(page, nullptr);
    HWND cpuDiagram = ::GetDlgItem(page, kCpuDiagram);
    HWND ramDiagram = ::GetDlgItem(page, kRamDiagram);
    const COLORREF curve = RGB(0, 255, 0);
    // One pixel column per value, one value every 1.5 s: a short curve at first.
    auto bothDrawn = [&] {
        return ScreenPixelsOf(cpuDiagram, curve) >= 2 && ScreenPixelsOf(ramDiagram, curve) >= 2;
    };
    EXPECT_TRUE(WaitUntil(bothDrawn, 10s))
        << "both diagrams show a curve soon after the page opens";
    EXPECT_GT(ScreenPixelsOf(ramDiagram, RGB(0, 0, 0)), 10000) << "on black";

    EXPECT_TRUE(std::regex_match(WindowText(::GetDlgItem(page, kCpuText)),
                                 std::regex("CPU usage: \\d+ % ,average: \\d+ %")))
        << WindowText(::GetDlgItem(page, kCpuText));
    EXPECT_TRUE(std::regex_match(WindowText(::GetDlgItem(page, kRamText)),
                                 std::regex("RAM usage: [1-9]\\d* MB")))
        << WindowText(::GetDlgItem(page, kRamText));
    EXPECT_TRUE(std::regex_search(WindowText(::GetDlgItem(page, kOtherText)),
                                  std::regex("[A-Z]:\\\\ free: \\d+ MB \\(\\d+ %\\)\r\n$")))
        << WindowText(::GetDlgItem(page, kOtherText));

    // Out of the autostart and back in, by the check box.
    HWND startBox = ::GetDlgItem(page, kStartWithSystem);
    std::string runValue;
    ASSERT_TRUE(IsChecked(startBox)) << "the first run registered the program";
    ClickCenterOf(startBox);
    EXPECT_TRUE(WaitUntil([&] { return !HasRunValue(runValue); }, 5s)) << "the value goes";
    EXPECT_FALSE(IsChecked(startBox));
    ClickCenterOf(startBox);
    EXPECT_TRUE(WaitUntil([&] { return HasRunValue(runValue); }, 5s)) << "and comes back";
    EXPECT_EQ(runValue, folder.Exe());

    HWND warningsBox = ::GetDlgItem(page, kShowWarnings);
    EXPECT_FALSE(IsChecked(warningsBox)) << "warnings are off until asked for";
    ClickCenterOf(warningsBox);
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(warningsBox); }, 5s));

    // A look at the page as it stands, after its diagrams were drawn anew.
    ::SetCursorPos(5, 740);
    std::this_thread::sleep_for(1600ms);
    WaitUntil(bothDrawn, 3s);
    EXPECT_FALSE(SaveScreenshot("pages\\info").empty());

    ClickTab(sheet, kAutostartTab);
    ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitForExit(20s)) << "Exit ends the program";
    const std::string settings = ReadFileText(folder.File("settings.ini"));
    EXPECT_NE(settings.find("ShowWarningDialogs=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("FlashColor1=16382457"), std::string::npos) << settings;
}

} // namespace
