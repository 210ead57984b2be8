#include "autostart/StartupApproved.h"

#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
#include "win/Handle.h"

#include <windows.h>

#include <array>
#include <string>

namespace {

constexpr char kApprovedKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

enum SwitchKey : size_t {
    kUserRun,
    kUserStartupFolder,
    kMachineRun,
    kMachineRun32,
    kMachineStartupFolder,
    kSwitchKeyCount,
};

struct SwitchKeyPlace {
    uint32_t root;
    const char* name;
    bool only64Bit; // the 32-bit programs' view has a key of its own there only
};

constexpr std::array<SwitchKeyPlace, kSwitchKeyCount> kSwitchKeys = {{
    {kRootCurrentUser, "Run", false},
    {kRootCurrentUser, "StartupFolder", false},
    {kRootLocalMachine, "Run", false},
    {kRootLocalMachine, "Run32", true},
    {kRootLocalMachine, "StartupFolder", false},
}};

// Which switch key speaks for the entry, and the value's name there.
bool FindSwitch(const AutostartEntry& entry, const std::string& userStartup,
                const std::string& commonStartup, size_t& keyIndex, std::string& valueName) {
    if (entry.root == 0) {
        const std::string folder = GetFolderOfPath(entry.location);
        if (!userStartup.empty() && IsSamePath(folder, userStartup)) {
            keyIndex = kUserStartupFolder;
        } else if (!commonStartup.empty() && IsSamePath(folder, commonStartup)) {
            keyIndex = kMachineStartupFolder;
        } else {
            return false;
        }
        valueName = GetFileNameWithExt(entry.location);
        return true;
    }
    const bool user = entry.root == kRootCurrentUser;
    if (mbcs::CompareNoCase(entry.location, kRunKeyPath) == 0) {
        keyIndex = user ? kUserRun : kMachineRun;
    } else if (!user &&
               mbcs::CompareNoCase(entry.location, ThirtyTwoBitViewKeyPath(kRunKeyPath)) == 0) {
        keyIndex = kMachineRun32;
    } else {
        return false;
    }
    valueName = entry.name;
    return true;
}

bool ReadSwitchedOff(HKEY key, const std::string& valueName) {
    // The system writes 12 bytes; a longer value is read in part.
    uint8_t data[16] = {};
    DWORD type = 0;
    DWORD size = sizeof(data);
    const LONG result = ::RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data, &size);
    return (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type == REG_BINARY &&
           IsSwitchedOff(data, result == ERROR_SUCCESS ? size : sizeof(data));
}

} // namespace

bool IsSwitchedOff(const uint8_t* data, size_t size) {
    return size > 0 && (data[0] & 1) != 0;
}

void MarkEntriesSwitchedOff(AutostartEntryList& entries) {
    const std::string userStartup = GetSpecialFolderPath(kCsidlStartup);
    const std::string commonStartup = GetSpecialFolderPath(kCsidlCommonStartup);
    // Each key opened once a scan, when an entry first needs it.
    std::array<win::UniqueRegKey, kSwitchKeyCount> keys;
    std::array<bool, kSwitchKeyCount> tried = {};
    for (AutostartEntry& entry : entries) {
        size_t index = 0;
        std::string valueName;
        entry.switchedOff = false;
        if (!FindSwitch(entry, userStartup, commonStartup, index, valueName)) {
            continue;
        }
        if (!tried[index]) {
            tried[index] = true;
            const std::string path = std::string(kApprovedKey) + kSwitchKeys[index].name;
            ::RegOpenKeyExA(HiveOfRoot(kSwitchKeys[index].root), path.c_str(), 0,
                            InRealRegistryView(KEY_QUERY_VALUE), keys[index].Put());
        }
        entry.switchedOff = keys[index] && ReadSwitchedOff(keys[index].Get(), valueName);
    }
}

std::vector<AutostartLocation> GetStartupApprovedLocations() {
    std::vector<AutostartLocation> locations;
    for (const SwitchKeyPlace& place : kSwitchKeys) {
        if (place.only64Bit && !IsSystem64Bit()) {
            continue;
        }
        AutostartLocation location;
        location.root = place.root;
        location.keyPath = std::string(kApprovedKey) + place.name;
        locations.push_back(location);
    }
    return locations;
}
