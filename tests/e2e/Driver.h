#pragma once
// Drives the real orvane.exe from outside, as a user would: starts it, finds
// its windows, reads their text, presses keys and clicks, and keeps a
// screenshot of the screen when a check fails.
#include "tests/helpers/TestSupport.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace e2e {

using namespace std::chrono_literals;

// Where the test program found orvane.exe (argv[1]).
std::string& ProgramUnderTest();

// A fresh folder whose path has spaces, holding a copy of the program and its help.
class ProgramFolder {
  public:
    ProgramFolder();
    ~ProgramFolder();
    const std::string& Dir() const { return m_dir; }
    std::string Exe() const { return m_dir + "\\orvane.exe"; }
    std::string File(const std::string& name) const { return m_dir + "\\" + name; }

  private:
    std::string m_dir;
};

class RunningProgram {
  public:
    // Starts exe with workingDir as its current directory.
    RunningProgram(const std::string& exe, const std::string& workingDir);
    ~RunningProgram();
    DWORD Id() const { return m_info.dwProcessId; }
    // Waits the scaled timeout.
    bool WaitForExit(std::chrono::milliseconds timeout);
    bool HasExited();
    void Kill();

  private:
    PROCESS_INFORMATION m_info{};
};

// A time-out stretched by ORV_TEST_TIME_SCALE (a whole factor, 1 when unset): under
// emulation the program starts and answers many times slower than natively. Every
// wait of the driver goes through it.
std::chrono::milliseconds Scaled(std::chrono::milliseconds timeout);

// Polls until predicate is true or the (scaled) timeout passes.
bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

// A top-level window of the process whose caption starts with captionPrefix
// (and, when given, whose class is className), or nullptr.
HWND FindTopWindow(DWORD processId, const std::string& captionPrefix,
                   const char* className = nullptr);
HWND WaitForTopWindow(DWORD processId, const std::string& captionPrefix,
                      std::chrono::milliseconds timeout, const char* className = nullptr);
// A message box of the process with exactly this caption.
HWND FindMessageBox(DWORD processId, const std::string& caption);
HWND WaitForMessageBox(DWORD processId, const std::string& caption,
                       std::chrono::milliseconds timeout);

// Text of any window, also of another process (WM_GETTEXT is marshalled).
std::string WindowText(HWND window);
// The concatenated text of a message box's static controls.
std::string MessageBoxText(HWND box);

// Real input: a left click at a screen point, a key chord (modifiers held).
void ClickAt(POINT screenPoint, bool rightButton = false);
void ClickCenterOf(HWND window);
// Presses the left button at from, moves to to in small steps and releases it.
void DragMouse(POINT from, POINT to);
void PressKeys(std::initializer_list<WORD> chord);
// A key pressed and let go quickly, times over, as one walks through a menu.
void TapKey(WORD key, int times = 1);
void BringToFront(HWND window);

// The notification area: Wine shows it as a small top-level window.
HWND FindTrayWindow();
// Clicks the first icon of the notification area (left or right button).
void ClickFirstTrayIcon(bool rightButton = false);

using testsupport::ReadFileText;
using testsupport::WriteFileText;

// Registry value of HKCU (or of root) as text; false when missing.
bool ReadUserRegistryString(const std::string& keyPath, const std::string& valueName,
                            std::string& value);
bool ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName,
                        std::string& value);
void DeleteUserRegistryValue(const std::string& keyPath, const std::string& valueName);

// List views of the program: a cell's text, the first item whose cell in the
// column has the text (or -1), and a point on an item in screen coordinates.
std::string ListItemText(HWND list, int item, int subItem);
int FindListItem(HWND list, int subItem, const std::string& text);
POINT ListItemCenter(HWND list, int item);

// Saves the whole screen, or a window's client area, or an area of the screen,
// as a BMP into the test output folder (name may start with one subfolder,
// pages\info); returns its path, or nothing when it was not saved.
std::string SaveScreenshot(const std::string& name, HWND window = nullptr);
std::string SaveScreenshot(const std::string& name, const RECT& area);
// A window's client area in screen coordinates.
RECT ClientAreaOnScreen(HWND window);

// How many pixels of the screen's rectangle have the colour.
int ScreenPixelsOf(const RECT& rect, COLORREF colour);
RECT WindowRectOf(HWND window);
// The cell of the notification area's first icon, on the screen.
RECT FirstTrayIconRect();

// The clipboard's text (CF_TEXT); emptied by the other.
std::string ClipboardText();
void ClearClipboard();

} // namespace e2e
