#pragma once
// The application object: start-up in a fixed order, then the main sheet.
#include "ui/AppWindow.h"

constexpr char kGreetingText[] =
    "Hello - thanks for downloading ORV.\r\nI have put myself to the autostart. If, for some "
    "reason, you want to remove me, go to the 'info' page.";

class COrvApp {
  public:
    // Runs the whole program; false when the main sheet has ended.
    bool InitInstance();
    void WinHelp() { OpenHelpPage(); }
};
