#pragma once
// The diagnostic log: a hidden window holding the last ~50000 characters of
// what start-up and the entry actions did. Ctrl+Shift+Alt+F12 shows it.
#include "win/Dialog.h"

#include <cstdint>
#include <string>

class CLogWindowDlg : public win::Dialog {
  public:
    CLogWindowDlg();
    std::string m_strLog;
};

// The log keeps at most this many characters; each append past it drops the
// oldest kLogTrimCharacters.
constexpr size_t kLogLimitCharacters = 50000;
constexpr size_t kLogTrimCharacters = 1000;

// Appends line and "\r\n" to log, trimming once when it grew past the limit.
void AppendToLog(std::string& log, const std::string& line);

CLogWindowDlg& GetLogWindow();
// Creates the (hidden) Log Window; the log is kept whether or not it exists.
bool CreateLogWindow();
void LogLine(const std::string& text);
// label directly followed by the number in unsigned decimal, e.g. "FirstUsage?:1".
void LogValue(const std::string& label, uint32_t value);
void ToggleLogWindow();
