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

TrayFigures ReadTrayFigures(int cpuPercent) {
    TrayFigures figures;
    figures.cpuPercent = cpuPercent;
    MemoryFigures memory = ReadMemoryFigures();
    figures.totalRam = memory.totalPhysical;
    figures.availableRam = memory.availablePhysical;
    figures.totalPageFile = memory.totalPageFile;
    figures.availablePageFile = memory.availablePageFile;
    GetSystemDriveSpace(figures.totalDisk, figures.freeDisk, figures.diskRoot);
    return figures;
}

bool CTrayIconUpdater::Update(HWND window, bool unaccepted) {
    bool flash = m_flash.Update(unaccepted);
    int32_t cpuPercent = 0;
    m_cpuUsage.GetUsage(&cpuPercent);
    TrayFigures figures = ReadTrayFigures(cpuPercent);
    std::string tip = BuildTrayTooltip(unaccepted, figures);

    COLORREF background = kTrayBackground;
    if (flash) {
        background = ReadFlashColour();
    }
    win::WindowDc dc(window);
    win::UniqueIcon picture = CreateTrayPicture(dc.Get(), background, figures.cpuPercent,
                                                static_cast<int>(RamPercent(figures)));
    const bool created = picture.IsValid();
    m_tray.Modify(picture.Get(), tip);
    // The shell has its own copy now; the previous picture can go.
    m_picture = std::move(picture);
    return created;
}
