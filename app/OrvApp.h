#pragma once
// The application object: start-up in a fixed order, then the main sheet.
#include <windows.h>
#include <commctrl.h>

#include <string>

// The caption of the program's message boxes.
constexpr char kAppTitle[] = "Orvane";

constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kOwnRunValueName[] = "ORV";

constexpr char kGreetingText[] =
    "Hello - thanks for downloading ORV.\r\nI have put myself to the autostart. If, for some "
    "reason, you want to remove me, go to the 'info' page.";

// The shell's small-icon image list, shared with the whole system: never destroyed.
extern HIMAGELIST SystemImageList;

HWND GetAppMainWindow();
void SetAppMainWindow(HWND window);

// A message box with the program's title, owned by the main window if there is one.
int AppMessageBox(const std::string& text, UINT style = MB_OK);

// Opens help\index.htm beside the executable with its associated viewer.
void OpenHelpPage();

class COrvApp {
  public:
    // Runs the whole program; false when the main sheet has ended.
    bool InitInstance();
    void WinHelp() { OpenHelpPage(); }
};
