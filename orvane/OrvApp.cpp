#include "orvane/OrvApp.h"

#include "app/PathHelpers.h"
#include "app/Privileges.h"
#include "app/SettingsStore.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "ui/AppWindow.h"
#include "ui/LogWindow.h"
#include "ui/SheetDlg.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

void InitCommonControlsAndRichEdit() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&controls);
    // The report window's rich edit classes; kept loaded for the program's life.
    ::LoadLibraryA("riched20.dll");
    ::LoadLibraryA("riched32.dll");
}

} // namespace

bool COrvApp::InitInstance() {
    CreateLogWindow();
    LogLine("InitInstance");
    std::string exeDir = GetExeDir();
    LogLine("App dir:" + exeDir);
    ::SetCurrentDirectoryA(exeDir.c_str());
    LogLine("Current dir:" + GetCurDir());

    ::OleInitialize(nullptr);
    ::CoInitialize(nullptr);
    InitCommonControlsAndRichEdit();

    LogValue("EnableNeccessaryPrivileges:", EnableNeccessaryPrivileges() ? 1 : 0);

    SHFILEINFOA fileInfo{};
    SystemImageList = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "c:\\", 0, &fileInfo, sizeof(fileInfo), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));

    bool firstUse = false;
    CSettingsStore& settings = GetSettings();
    if (settings.GetInt("GENERAL", "FirstUse", 0) == 0) {
        settings.SetInt("GENERAL", "FirstUse", 1);
        WriteRegString(HKEY_CURRENT_USER, kRunKeyPath, GetExePath(), kOwnRunValueName);
        AppMessageBox(kGreetingText, 0);
        firstUse = true;
    }
    LogValue("FirstUsage?:", firstUse ? 1 : 0);

    ::SetPriorityClass(::GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS);

    {
        CSheetDlg sheet("ORV", nullptr, 0);
        sheet.SetFirstUse(firstUse);
        sheet.DoModal();
        SetAppMainWindow(nullptr);
    }
    if (!SaveSettingsNow()) {
        ShowFileNotSaved(JoinPath(GetExeDir(), "settings.ini"),
                         "The options of this run are not saved.");
    }
    return false;
}
