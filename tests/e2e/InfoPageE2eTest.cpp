// The Info page as its user meets it: the live diagrams, taking the program
// out of the autostart and back, and the options kept in the settings file.
#include "tests/e2e/SheetSteps.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <regex>
#include <thread>

using namespace e2e;

namespace {

constexpr int kInfoTab = 2;
constexpr int kAutostartTab = 0;
constexpr int kCpuDiagram = 1008;
constexpr int kCpuText = 1009;
constexpr int kRamDiagram = 1010;
constexpr int kRamText = 1011;
constexpr int kOtherText = 1013;
constexpr int kStartWithSystem = 1014;
constexpr int kShowWarnings = 1037;

HWND CurrentPage(HWND sheet) {
    return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// How many pixels on the screen inside the control have the colour.
int ScreenPixelsOf(HWND control, COLORREF colour) {
    return e2e::ScreenPixelsOf(WindowRectOf(control), colour);
}

bool HasRunValue(std::string& value) {
    return ReadUserRegistryString(kRunKey, "ORV", value);
}

class InfoPageTest : public testing::Test {
  protected:
    void SetUp() override { DeleteUserRegistryValue(kRunKey, "ORV"); }
    void TearDown() override { DeleteUserRegistryValue(kRunKey, "ORV"); }

    // A first run, its greeting answered, on the Info page: the greeting tells
    // the user that this page takes the program out of the autostart again.
    // Null when it did not get there.
    HWND OpenInfoPageOfFirstRun() {
        m_program = std::make_unique<RunningProgram>(folder.Exe(), folder.Dir());
        HWND greeting = WaitForMessageBox(m_program->Id(), "Orvane", 20s);
        if (greeting == nullptr) {
            return nullptr;
        }
        ::PostMessageA(::GetDlgItem(greeting, IDOK), BM_CLICK, 0, 0);
        sheet = WaitForTopWindow(m_program->Id(), kSheetCaption, 20s);
        if (sheet == nullptr || !WaitUntil([&] { return IsVisible(sheet); }, 5s)) {
            return nullptr;
        }
        MoveClearOfTray(sheet);
        ClickTab(sheet, kInfoTab);
        return CurrentPage(sheet);
    }

    RunningProgram& Program() { return *m_program; }

    ProgramFolder folder;
    HWND sheet = nullptr;

  private:
    std::unique_ptr<RunningProgram> m_program;
};

TEST_F(InfoPageTest, DiagramsRunAndTheOptionsReachTheRegistryAndTheSettingsFile) {
    HWND page = OpenInfoPageOfFirstRun();
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
    // On a first run nothing is accepted yet: the first warning opens at once,
    // over the sheet's tabs, and the user drags it into the screen's corner.
    HWND warning = WaitForTopWindow(Program().Id(), "Warning: ", 5s, "#32770");
    EXPECT_NE(warning, nullptr) << "warnings on: the first unaccepted item gets one";
    if (warning != nullptr) {
        ::SetWindowPos(warning, nullptr, 1000, 740, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // A look at the page as it stands, after its diagrams were drawn anew.
    ::SetCursorPos(5, 740);
    std::this_thread::sleep_for(1600ms);
    WaitUntil(bothDrawn, 3s);
    EXPECT_FALSE(SaveScreenshot("pages\\info", sheet).empty());

    ClickTab(sheet, kAutostartTab);
    ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(Program().WaitForExit(20s)) << "Exit ends the program";
    const std::string settings = ReadFileText(folder.File("settings.ini"));
    EXPECT_NE(settings.find("ShowWarningDialogs=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("FlashColor1=16382457"), std::string::npos) << settings;
}

TEST_F(InfoPageTest, AChosenFlashColourIsKeptWithoutAnotherClick) {
    HWND page = OpenInfoPageOfFirstRun();
    ASSERT_NE(page, nullptr);
    ChooseFlashColour(Program().Id(), page, RGB(255, 0, 0));

    // The session ends with the sheet still on the page and no further click:
    // a page tick has stored the colour by then.
    std::this_thread::sleep_for(1200ms);
    ::SendMessageA(sheet, WM_ENDSESSION, TRUE, 0);
    Program().Kill();
    const std::string settings = ReadFileText(folder.File("settings.ini"));
    EXPECT_NE(settings.find("FlashColor1=255\r\n"), std::string::npos) << settings;
}

} // namespace
