#include "ui/TrayText.h"

#include "app/PathHelpers.h"

namespace {

constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr int kBarRows = 13;

} // namespace

std::string MegabytesText(uint64_t bytes) {
    return UInt64ToText(bytes / kMegabyte);
}

uint32_t PercentOf(uint64_t part, uint64_t whole) {
    if (whole == 0 || part > whole) {
        return 0;
    }
    // part <= whole, so part × 100 only overflows for totals beyond 2^57 bytes.
    uint64_t percent = part > UINT64_MAX / 100 ? part / (whole / 100) : part * 100 / whole;
    return static_cast<uint32_t>(percent > 100 ? 100 : percent);
}

uint32_t RamPercent(const TrayFigures& figures) {
    if (figures.availableRam > figures.totalRam) {
        return 0;
    }
    return PercentOf(figures.totalRam - figures.availableRam, figures.totalRam);
}

int BarHeight(int percent) {
    if (percent <= 0) {
        return 0;
    }
    if (percent > 100) {
        percent = 100;
    }
    return kBarRows * percent / 100;
}

TrayLook TrayLookOf(uint32_t background, const TrayFigures& figures) {
    TrayLook look;
    look.background = background;
    look.cpuBar = BarHeight(figures.cpuPercent);
    look.ramBar = BarHeight(static_cast<int>(RamPercent(figures)));
    return look;
}

std::string BuildTrayTooltip(bool unaccepted, const TrayFigures& figures) {
    std::string tip;
    if (unaccepted) {
        tip += "Unaccepted entry!\r\n";
    }
    tip += "CPU (green bar): " + IntToText(figures.cpuPercent) + " %";

    if (figures.totalRam > 0 && figures.availableRam < figures.totalRam) {
        uint64_t used = figures.totalRam - figures.availableRam;
        tip += "\r\nRAM (blue bar): " + ULongToText(RamPercent(figures)) + "% (" +
               MegabytesText(used) + " MB)";
    }
    for (const std::string& line : {PageFileLine(figures), DiskFreeLine(figures)}) {
        if (!line.empty()) {
            tip += "\r\n" + line;
        }
    }
    return tip;
}

std::string PageFileLine(const TrayFigures& figures) {
    if (figures.availablePageFile >= figures.totalPageFile) {
        return {};
    }
    uint64_t used = figures.totalPageFile - figures.availablePageFile;
    return "Page file: " + MegabytesText(used) + " MB (" +
           ULongToText(PercentOf(used, figures.totalPageFile)) + "%)";
}

std::string DiskFreeLine(const TrayFigures& figures) {
    if (figures.totalDisk == 0 || figures.freeDisk == 0) {
        return {};
    }
    return figures.diskRoot + " free: " + MegabytesText(figures.freeDisk) + " MB (" +
           ULongToText(PercentOf(figures.freeDisk, figures.totalDisk)) + " %)";
}

bool TrayFlash::Update(bool unaccepted) {
    ++m_updates;
    if (unaccepted) {
        m_flash = (m_updates % 7 == 0) ? !m_flash : false;
    }
    return unaccepted && m_flash;
}
