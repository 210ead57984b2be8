#pragma once
// What every window of the program shares: the main window, message boxes in
// the program's name, the shell's small-icon list and the help page.
#include "app/AppIdentity.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The shell's small-icon image list, shared with the whole system: never destroyed.
extern HIMAGELIST SystemImageList;
// The width of its icons: the shell makes them at the system's small icon size.
int SystemImageListIconWidth();

HWND GetAppMainWindow();
void SetAppMainWindow(HWND window);

// A message box with the program's title, owned by the main window if there is one.
int AppMessageBox(const std::string& text, UINT style = MB_OK);

// Shows why a change failed. When Windows refused it for want of rights and
// this copy runs with the user's own, offers to start Orvane as administrator;
// once that copy has started, this one ends and the new one takes over.
void ShowChangeFailure(const std::string& text, HWND owner = GetAppMainWindow());

// Tells the user that one of their files could not be written and what that
// means for them (a line of its own after the file's name).
void ShowFileNotSaved(const std::string& path, const std::string& consequence);
inline constexpr char kChangeHeldForThisRun[] = "Your change holds until Orvane exits.";

// Loads the rich edit libraries the report and the warning window use, on
// first need; they stay loaded for the rest of the program's life.
void LoadRichEditClasses();

// Opens help\index.htm beside the executable with its associated viewer.
void OpenHelpPage();
