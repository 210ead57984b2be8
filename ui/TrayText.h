#pragma once
// What the tray icon says and how tall its bars are, from figures passed in.
#include <cstdint>
#include <string>

struct TrayFigures {
    int cpuPercent = 0;
    uint64_t totalRam = 0, availableRam = 0;
    uint64_t totalPageFile = 0, availablePageFile = 0;
    uint64_t totalDisk = 0, freeDisk = 0;
    std::string diskRoot;
};

// part × 100 ÷ whole in 64-bit arithmetic, clamped to 0..100; 0 unless
// whole > 0 and part <= whole.
uint32_t PercentOf(uint64_t part, uint64_t whole);

// The RAM figure drawn as the blue bar (0 when nothing is known).
uint32_t RamPercent(const TrayFigures& figures);

// Height in pixels (0..13) of a bar for a percent figure; above 100 draws as 100.
int BarHeight(int percent);

// Whole megabytes (bytes ÷ 1024 ÷ 1024, truncated) as text.
std::string MegabytesText(uint64_t bytes);

// "Page file: <used> MB (<percent>%)", empty when no page file is in use.
std::string PageFileLine(const TrayFigures& figures);
// "<root> free: <free> MB (<percent> %)", empty when the drive's figures are unknown.
std::string DiskFreeLine(const TrayFigures& figures);

// Everything that decides the tray picture's pixels: the background colour
// (0x00BBGGRR) and the heights of the CPU and RAM bars.
struct TrayLook {
    uint32_t background = 0;
    int cpuBar = 0;
    int ramBar = 0;
    bool operator==(const TrayLook&) const = default;
};
TrayLook TrayLookOf(uint32_t background, const TrayFigures& figures);

// The tooltip lines; the flag puts "Unaccepted entry!" first.
std::string BuildTrayTooltip(bool unaccepted, const TrayFigures& figures);

// The flash rhythm: while something is unaccepted, the flash colour shows on
// one update in seven.
class TrayFlash {
  public:
    // Advances one update; true when this picture uses the flash colour.
    bool Update(bool unaccepted);

  private:
    uint32_t m_updates = 0;
    bool m_flash = false;
};
