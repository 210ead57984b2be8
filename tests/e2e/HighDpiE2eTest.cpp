// Orvane on a screen scaled to 150 % (144 dots per inch; at-dpi.sh makes one):
// the pages, the warning window and the tray picture are drawn at the
// screen's scale, not stretched by the system. Saves the README's pictures.
#include "res/page_info.h"
#include "tests/e2e/SheetSteps.h"
#include "win/EntryPoint.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>

using namespace e2e;

namespace {

constexpr int kScaledDpi = 144;
constexpr COLORREF kGridColour = RGB(0, 50, 0);

// Wine hands a window's pixels to the screen part by part, a moment after
// they were painted: the picture waits until the window's face has held
// still over five looks, a quarter of a second.
void SaveWhenStill(const std::string& name, HWND window) {
    const RECT area = ClientAreaOnScreen(window);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int last = -1, still = 0;
    WaitUntil(
        [&] {
            const int now = ScreenPixelsOf(area, face);
            still = now == last ? still + 1 : 0;
            last = now;
            return still >= 5;
        },
        10s);
    SaveScreenshot(name, window);
}

} // namespace

TEST(HighDpi, PagesWarningAndTrayAreDrawnAtTheScreensScale) {
    // Unscaled by the system, the test reads the same pixels the user sees.
    BOOL(WINAPI * setAware)() = nullptr;
    ASSERT_TRUE(
        win::BindEntryPoint(::GetModuleHandleA("user32.dll"), "SetProcessDPIAware", setAware));
    setAware();
    ASSERT_EQ(::GetDeviceCaps(win::WindowDc(nullptr).Get(), LOGPIXELSX), kScaledDpi)
        << "run through tests/e2e/at-dpi.sh " << kScaledDpi;
    const int smallIcon = ::GetSystemMetrics(SM_CXSMICON);
    EXPECT_EQ(smallIcon, 24);

    // A program no one has accepted yet: listed in red.
    RunValues values;
    ASSERT_TRUE(values.Set("Orvane at 150 %", SystemFile("notepad.exe")));
    LaterRun run;
    HWND sheet = WaitForTopWindow(run.Program().Id(), kSheetCaption, 20s);
    ASSERT_TRUE(sheet != nullptr && WaitUntil([&] { return !IsVisible(sheet); }, 5s));
    // Brought up by a second start, which then ends: no tray click that a
    // slow first response would have the test repeat.
    ASSERT_TRUE(RunningProgram(run.Folder().Exe(), run.Folder().Dir()).WaitForExit(20s));
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(sheet); }, 5s));
    MoveClearOfTray(sheet);
    for (const auto& [index, name] : {std::pair{0, "autostart"}, std::pair{1, "processes"}}) {
        HWND page = OpenPage(sheet, index);
        ASSERT_NE(page, nullptr);
        // Once the rows of what nobody accepted yet are drawn, in red.
        HWND list = ::GetDlgItem(page, kCurrentList);
        WaitUntil([&] { return ScreenPixelsOf(ClientAreaOnScreen(list), kUnacceptedRed) >= 20; },
                  15s);
        const RECT icon = RemoteListView(list).ItemRect(0, LVIR_ICON);
        EXPECT_EQ(icon.right - icon.left, smallIcon) << "the rows' icons at the small icon size";
        SaveWhenStill("pages\\" + std::string(name) + "-144dpi", sheet);
    }

    HWND page = OpenPage(sheet, 2);
    ASSERT_NE(page, nullptr);
    HWND diagram = ::GetDlgItem(page, IDC_INFO_RAM_DIAGRAM);
    ASSERT_TRUE(WaitUntil(
        [&] { return ScreenPixelsOf(ClientAreaOnScreen(diagram), RGB(0, 255, 0)) >= 2; }, 10s))
        << "the RAM curve is drawn";
    const RECT area = ClientAreaOnScreen(diagram);
    // Between the top grid lines, far above the curve: the grid's columns,
    // 8 pixels apart and 1 wide at 96 dpi, are 12 apart and 2 wide.
    const RECT row{area.left, area.top + 6, area.left + 48, area.top + 7};
    EXPECT_EQ(ScreenPixelsOf(row, kGridColour), 8) << "four grid columns of two pixels";

    // Warnings switched on: the entry is warned of at once; the user moves
    // the window beside the sheet.
    ClickCenterOf(::GetDlgItem(page, IDC_INFO_SHOW_WARNINGS));
    HWND warning = WaitForWarning(run.Program().Id(), "Warning: ", 10s);
    ASSERT_NE(warning, nullptr);
    ::SetWindowPos(warning, nullptr, 1400, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SaveWhenStill("pages\\info-144dpi", sheet);
    SaveWhenStill("pages\\warning-144dpi", warning);
    SaveTrayScreenshot("tray-144dpi");
}
