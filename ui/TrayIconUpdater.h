#pragma once
// Five times a second: the tray picture and tooltip from the machine's
// figures. The shell gets a new picture only when its pixels would differ
// from the one it shows, and a new tooltip when its warning comes or goes, or
// when the figures change while the pointer rests on the icon (the only time
// the tooltip is seen); a picture it no longer shows is destroyed, so no
// handle accumulates over the program's life.
#include "app/SystemHelpers.h"
#include "process/CpuUsage.h"
#include "ui/TrayIcon.h"
#include "ui/TrayPicture.h"
#include "ui/TrayText.h"
#include "win/Handle.h"

#include <windows.h>

#include <string>

// The machine's memory, page file and system drive figures now; the drive's
// through drive when given.
TrayFigures ReadTrayFigures(int cpuPercent, CSystemDriveSpace* drive = nullptr);

// The flash colour the user chose ("OPTIONS"/"FlashColor1"), 0x00BBGGRR.
COLORREF ReadFlashColour();
void StoreFlashColour(COLORREF colour);

class CTrayIconUpdater {
  public:
    explicit CTrayIconUpdater(CTrayIcon& tray) : m_tray(tray) {}

    // Reads the figures now and shows them. With unaccepted set the tooltip
    // says so and the picture flashes. False when no picture could be made.
    bool Update(HWND window, bool unaccepted);
    // The same for figures the caller read. The picture is drawn compatible
    // with window's device context.
    bool Show(HWND window, bool unaccepted, const TrayFigures& figures);
    // The shell reports the pointer on the icon: until it moves again the
    // tooltip, which shows only then, follows every change of the figures.
    void PointerOnIcon();

  private:
    bool PointerStillOnIcon();

    CTrayIcon& m_tray;
    TrayFlash m_flash;
    CTrayCanvas m_canvas;
    win::UniqueIcon m_picture;
    // What the shell shows now, once it has taken a picture of ours.
    bool m_pictureShown = false;
    TrayLook m_look;
    bool m_tipShown = false;
    std::string m_tip;
    bool m_tipWarns = false;
    bool m_pointerOnIcon = false;
    POINT m_pointerAt{};
    CCpuUsage m_cpuUsage;
    CSystemDriveSpace m_drive;
};
