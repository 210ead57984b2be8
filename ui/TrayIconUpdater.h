#pragma once
// Five times a second: a new tray picture and tooltip from the machine's
// figures, handed to the shell; the picture the shell held before is
// destroyed, so no handle accumulates over the program's life.
#include "process/CpuUsage.h"
#include "ui/TrayIcon.h"
#include "ui/TrayText.h"
#include "win/Handle.h"

#include <windows.h>

// The machine's memory, page file and system drive figures now.
TrayFigures ReadTrayFigures(int cpuPercent);

// The flash colour the user chose ("OPTIONS"/"FlashColor1"), 0x00BBGGRR.
COLORREF ReadFlashColour();
void StoreFlashColour(COLORREF colour);

class CTrayIconUpdater {
  public:
    explicit CTrayIconUpdater(CTrayIcon& tray) : m_tray(tray) {}

    // Draws against window's device context. With unaccepted set the tooltip
    // says so and the picture flashes. False when no picture could be made.
    bool Update(HWND window, bool unaccepted);

  private:
    CTrayIcon& m_tray;
    TrayFlash m_flash;
    win::UniqueIcon m_picture;
    CCpuUsage m_cpuUsage;
};
