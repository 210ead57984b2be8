#include "app/LogWindow.h"

#include "app/PathHelpers.h"
#include "res/resource.h"

namespace {
bool g_logWindowShown = false;
}

CLogWindowDlg::CLogWindowDlg() : win::Dialog(IDD_LOG_WINDOW) {}

void AppendToLog(std::string& log, const std::string& line) {
    log += line;
    log += "\r\n";
    if (log.size() > kLogLimitCharacters) {
        log.erase(0, kLogTrimCharacters);
    }
}

CLogWindowDlg& GetLogWindow() {
    static CLogWindowDlg logWindow;
    return logWindow;
}

bool CreateLogWindow() {
    return GetLogWindow().Create(nullptr);
}

void LogLine(const std::string& text) {
    CLogWindowDlg& window = GetLogWindow();
    AppendToLog(window.m_strLog, text);
    if (window.IsWindow()) {
        window.SetItemText(IDC_LOG_TEXT, window.m_strLog);
    }
}

void LogValue(const std::string& label, uint32_t value) {
    LogLine(label + ULongToText(value));
}

void ToggleLogWindow() {
    CLogWindowDlg& window = GetLogWindow();
    ::ShowWindow(window.GetHwnd(), g_logWindowShown ? SW_HIDE : SW_SHOWNORMAL);
    g_logWindowShown = !g_logWindowShown;
}
