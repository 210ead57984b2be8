#pragma once
// Steps every end-to-end test of the main sheet takes: start the program as on
// any run after the first, find its sheet in the tray, show it, open a page.
#include "tests/e2e/Driver.h"

#include <gtest/gtest.h>

#include <prsht.h>

#include <memory>
#include <string>

namespace e2e {

constexpr char kSheetCaption[] = "Orvane : ";

inline bool IsVisible(HWND window) {
    return ::IsWindowVisible(window) != FALSE;
}

// Without a window manager the sheet opens over Wine's little tray window; the
// user would drag it aside before reaching for the icon again.
inline void MoveClearOfTray(HWND sheet) {
    ::SetWindowPos(sheet, nullptr, 40, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A click on the tray icon shows the hidden sheet. An icon left behind by a
// program that was killed goes at its first click; the user then clicks again.
inline bool ShowFromTray(HWND sheet) {
    for (int click = 0; click < 3 && !IsVisible(sheet); ++click) {
        ClickFirstTrayIcon();
        WaitUntil([&] { return IsVisible(sheet); }, 3s);
    }
    return IsVisible(sheet);
}

// The program in a folder of its own, started as on any run after the first.
class LaterRun {
  public:
    explicit LaterRun(const std::string& moreSettings = std::string()) {
        EXPECT_TRUE(WriteFileText(m_folder.File("settings.ini"),
                                  "[GENERAL]\r\nFirstUse=1\r\n" + moreSettings));
        m_program = std::make_unique<RunningProgram>(m_folder.Exe(), m_folder.Dir());
    }
    RunningProgram& Program() { return *m_program; }
    const ProgramFolder& Folder() const { return m_folder; }

    // The sheet, hidden in the tray as later runs start, then shown by a tray click.
    HWND ShowSheet() {
        HWND sheet = WaitForTopWindow(m_program->Id(), kSheetCaption, 20s);
        if (sheet == nullptr || !WaitUntil([&] { return !IsVisible(sheet); }, 5s) ||
            !WaitUntil([] { return FindTrayWindow() != nullptr; }, 10s)) {
            return nullptr;
        }
        if (!ShowFromTray(sheet)) {
            return nullptr;
        }
        MoveClearOfTray(sheet);
        return sheet;
    }

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

} // namespace e2e
