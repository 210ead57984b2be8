#include "ui/AppWindow.h"

#include "app/Elevation.h"
#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"

#include <shellapi.h>

HIMAGELIST SystemImageList = nullptr;

int SystemImageListIconWidth() {
    int width = 0, height = 0;
    if (SystemImageList != nullptr && ::ImageList_GetIconSize(SystemImageList, &width, &height)) {
        return width;
    }
    return ::GetSystemMetrics(SM_CXSMICON);
}

namespace {
HWND g_mainWindow = nullptr;
} // namespace

HWND GetAppMainWindow() {
    return g_mainWindow;
}

void SetAppMainWindow(HWND window) {
    g_mainWindow = window;
}

int AppMessageBox(const std::string& text, UINT style) {
    return ::MessageBoxA(g_mainWindow, text.c_str(), kAppTitle, style);
}

void ShowChangeFailure(const std::string& text, HWND owner) {
    const bool refused = text == kChangeNeedsAdministrator || text == kProcessNeedsAdministrator;
    if (!refused || IsElevated()) {
        ::MessageBoxA(owner, text.c_str(), kAppTitle, refused ? MB_OK | MB_ICONWARNING : MB_OK);
        return;
    }
    const std::string question = text + "\r\n\r\n" + kStartAsAdministratorQuestion;
    if (::MessageBoxA(owner, question.c_str(), kAppTitle, MB_YESNO | MB_ICONWARNING) == IDYES &&
        StartElevatedCopy(owner)) {
        ::PostQuitMessage(0);
    }
}

void ShowFileNotSaved(const std::string& path, const std::string& consequence) {
    AppMessageBox("Could not write " + path + " (is it read-only?).\r\n" + consequence,
                  MB_OK | MB_ICONWARNING);
}

void LoadRichEditClasses() {
    static const bool loaded = [] {
        ::LoadLibraryA("riched20.dll");
        ::LoadLibraryA("riched32.dll");
        return true;
    }();
    (void)loaded;
}

void OpenHelpPage() {
    std::string page = JoinPath(GetExeDir(), "help\\index.htm");
    ::ShellExecuteA(g_mainWindow, "", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
