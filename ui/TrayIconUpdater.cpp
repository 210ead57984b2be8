#include "ui/TrayIconUpdater.h"

#include "app/MemoryStatus.h"
#include "app/SettingsStore.h"
#include "app/SystemHelpers.h"
#include "ui/TrayPicture.h"

#include <string>
#include <utility>

namespace {

constexpr int64_t kDefaultFlashColour = 0xF9F9F9;
constexpr char kFlashColourSection[] = "OPTIONS";
constexpr char kFlashColourKey[] = "FlashColor1";

} // namespace

COLORREF ReadFlashColour() {
    const int64_t colour =
        GetSettings().GetInt64(kFlashColourSection, kFlashColourKey, kDefaultFlashColour);
    return static_cast<COLORREF>(colour & 0xFFFFFF);
}

void StoreFlashColour(COLORREF colour) {
    GetSettings().SetInt64(kFlashColourSection, kFlashColourKey, colour & 0xFFFFFF);
}

TrayFigures ReadTrayFigures(int cpuPercent, CSystemDriveSpace* drive) {
    TrayFigures figures;
    figures.cpuPercent = cpuPercent;
    MemoryFigures memory = ReadMemoryFigures();
    figures.totalRam = memory.totalPhysical;
    figures.availableRam = memory.availablePhysical;
    figures.totalPageFile = memory.totalPageFile;
    figures.availablePageFile = memory.availablePageFile;
    if (drive != nullptr) {
        drive->Read(figures.totalDisk, figures.freeDisk, figures.diskRoot);
    } else {
        GetSystemDriveSpace(figures.totalDisk, figures.freeDisk, figures.diskRoot);
    }
    return figures;
}

bool CTrayIconUpdater::Update(HWND window, bool unaccepted) {
    int32_t cpuPercent = 0;
    m_cpuUsage.GetUsage(&cpuPercent);
    return Show(window, unaccepted, ReadTrayFigures(cpuPercent, &m_drive));
}

bool CTrayIconUpdater::Show(HWND window, bool unaccepted, const TrayFigures& figures) {
    const bool flash = m_flash.Update(unaccepted);
    const TrayLook look = TrayLookOf(flash ? ReadFlashColour() : kTrayBackground, figures);
    std::string tip = BuildTrayTooltip(unaccepted, figures);
    // The figures change the text on almost every update; handing it over
    // each time would cost the shell a message five times a second for a
    // tooltip nobody sees.
    const bool tipChanged =
        !m_tipShown || (tip != m_tip && (unaccepted != m_tipWarns || PointerStillOnIcon()));
    if (m_pictureShown && look == m_look) {
        if (tipChanged) {
            m_tipShown = m_tray.ModifyTip(tip);
            m_tip = std::move(tip);
            m_tipWarns = unaccepted;
        }
        return true;
    }

    win::UniqueIcon picture = m_canvas.CreatePicture(window, look.background, figures.cpuPercent,
                                                     static_cast<int>(RamPercent(figures)));
    if (!picture) {
        // The shell keeps the picture it has; a new one is tried next time.
        if (tipChanged) {
            m_tipShown = m_tray.ModifyTip(tip);
            m_tip = std::move(tip);
            m_tipWarns = unaccepted;
        }
        return false;
    }
    const bool handed = m_tray.Modify(picture.Get(), tip);
    // The shell has its own copy now (or the record holds it for the next
    // try); the previous picture can go.
    m_picture = std::move(picture);
    m_pictureShown = handed;
    m_look = look;
    m_tipShown = handed;
    m_tip = std::move(tip);
    m_tipWarns = unaccepted;
    return true;
}

void CTrayIconUpdater::PointerOnIcon() {
    m_pointerOnIcon = ::GetCursorPos(&m_pointerAt) != FALSE;
}

bool CTrayIconUpdater::PointerStillOnIcon() {
    POINT now{};
    m_pointerOnIcon =
        m_pointerOnIcon && ::GetCursorPos(&now) && now.x == m_pointerAt.x && now.y == m_pointerAt.y;
    return m_pointerOnIcon;
}
