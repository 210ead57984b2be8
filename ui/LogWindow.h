#pragma once
// The Log Window: a hidden dialog showing the diagnostic log;
// Ctrl+Shift+Alt+F12 in the main sheet shows and hides it.
#include "app/Log.h"
#include "win/Dialog.h"

class CLogWindowDlg : public win::Dialog {
  public:
    CLogWindowDlg();
};

CLogWindowDlg& GetLogWindow();
// Creates the (hidden) Log Window and lets it follow the log.
bool CreateLogWindow();
void ToggleLogWindow();
