#include "autostart/AutostartLocations.h"

namespace {

constexpr std::array<const char*, kRunKeyCount> kRunKeyPaths = {
    kRunKeyPath,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
};

constexpr std::array<AutostartLocation, kAutostartLocationCount> BuildTable() {
    std::array<AutostartLocation, kAutostartLocationCount> table{};
    table[0] = {kCsidlStartup, 0, nullptr};
    table[1] = {kCsidlCommonStartup, 0, nullptr};
    for (size_t i = 0; i < kRunKeyCount; ++i) {
        table[2 + i] = {0, kRootLocalMachine, kRunKeyPaths[i]};
        table[2 + kRunKeyCount + i] = {0, kRootCurrentUser, kRunKeyPaths[i]};
    }
    return table;
}

constexpr std::array<AutostartLocation, kAutostartLocationCount> kLocations = BuildTable();

} // namespace

const std::array<const char*, kRunKeyCount>& GetRunKeyPaths() {
    return kRunKeyPaths;
}

const std::array<AutostartLocation, kAutostartLocationCount>& GetAutostartLocations() {
    return kLocations;
}

std::string GetLocationDisplayText(const AutostartEntry& entry) {
    switch (entry.root) {
    case kRootLocalMachine:
        return "HKLM\\" + entry.location;
    case kRootCurrentUser:
        return "HKCU\\" + entry.location;
    default:
        return entry.location;
    }
}
