#include "ui/LogWindow.h"

#include "res/resource.h"

namespace {

bool g_logWindowShown = false;

void ShowLog(const std::string& log) {
    CLogWindowDlg& window = GetLogWindow();
    if (window.IsWindow()) {
        window.SetItemText(IDC_LOG_TEXT, log);
    }
}

} // namespace

CLogWindowDlg::CLogWindowDlg() : win::Dialog(IDD_LOG_WINDOW) {}

CLogWindowDlg& GetLogWindow() {
    static CLogWindowDlg logWindow;
    return logWindow;
}

bool CreateLogWindow() {
    const bool created = GetLogWindow().Create(nullptr);
    SetLogViewer(ShowLog);
    // What was logged before the window existed.
    ShowLog(GetLogText());
    return created;
}

void ToggleLogWindow() {
    CLogWindowDlg& window = GetLogWindow();
    ::ShowWindow(window.GetHwnd(), g_logWindowShown ? SW_HIDE : SW_SHOWNORMAL);
    g_logWindowShown = !g_logWindowShown;
}
