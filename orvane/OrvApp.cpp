#include "orvane/OrvApp.h"

#include "app/Elevation.h"
#include "app/PathHelpers.h"
#include "app/Privileges.h"
#include "app/SettingsStore.h"
#include "app/SingleInstance.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "ui/AppWindow.h"
#include "ui/LogWindow.h"
#include "ui/SheetDlg.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

// The rich edit classes are loaded when the report or a warning first needs
// them: most runs never show either, and the libraries cost memory all day.
void InitControlClasses() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&controls);
}

} // namespace

bool COrvApp::InitInstance() {
    // Started as administrator by a copy that ends once it has started this one.
    WaitForCopyToEnd(TakeOverFrom(::GetCommandLineA()));
    // Held until the program ends.
    const CSingleInstance instance(GetExeDir());
    if (!instance.IsFirst()) {
        instance.ShowRunningCopy();
        return false;
    }
    CreateLogWindow();
    LogLine("InitInstance");
    std::string exeDir = GetExeDir();
    LogLine("App dir:" + exeDir);
    ::SetCurrentDirectoryA(exeDir.c_str());
    LogLine("Current dir:" + GetCurDir());

    ::OleInitialize(nullptr);
    ::CoInitialize(nullptr);
    InitControlClasses();

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
