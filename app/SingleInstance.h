#pragma once
// One running copy of the program per user session and program folder: two
// copies would show two tray icons and write the same data files. A second
// start asks the running copy to show its window and ends.
#include "win/Handle.h"

#include <windows.h>

#include <string>

class CSingleInstance {
  public:
    // Claims the folder for this process, unless a copy of it runs already.
    explicit CSingleInstance(const std::string& programDir);

    // True when no other copy of the program in this folder was running.
    bool IsFirst() const { return m_first; }
    // Asks the running copy to bring up its main window.
    void ShowRunningCopy() const;

  private:
    win::UniqueHandle m_claim;
    bool m_first = true;
    UINT m_showMessage = 0;
};

// The name of the mutex the running copy in this folder holds.
std::string OneCopyMutexName(const std::string& programDir);

// The message the running copy of the program in this folder answers by
// bringing up its main window (registered anew at each call: keep it).
UINT ShowRunningCopyMessage(const std::string& programDir);
