#include "autostart/AutostartLocations.h"

#include "app/Mbcs.h"

#include <string_view>

namespace {

constexpr std::array<const char*, kRunKeyCount> kRunKeyPaths = {
    kRunKeyPath,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
};

} // namespace

const std::array<const char*, kRunKeyCount>& GetRunKeyPaths() {
    return kRunKeyPaths;
}

std::string ThirtyTwoBitViewKeyPath(const std::string& keyPath) {
    const size_t firstPartEnd = keyPath.find('\\');
    if (firstPartEnd == std::string::npos) {
        return keyPath + "\\WOW6432Node";
    }
    return keyPath.substr(0, firstPartEnd) + "\\WOW6432Node" + keyPath.substr(firstPartEnd);
}

bool IsThirtyTwoBitViewKeyPath(const std::string& keyPath) {
    constexpr std::string_view kViewPart = "\\WOW6432NODE\\";
    const size_t firstPartEnd = keyPath.find('\\');
    if (firstPartEnd == std::string::npos || keyPath.size() < firstPartEnd + kViewPart.size()) {
        return false;
    }
    for (size_t i = 0; i < kViewPart.size(); ++i) {
        const char c = keyPath[firstPartEnd + i];
        if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != kViewPart[i]) {
            return false;
        }
    }
    return true;
}

std::vector<AutostartLocation> BuildAutostartLocations(bool twoRegistryViews) {
    std::vector<AutostartLocation> table = {{kCsidlStartup, 0, {}}, {kCsidlCommonStartup, 0, {}}};
    for (const char* keyPath : kRunKeyPaths) {
        table.push_back({0, kRootLocalMachine, keyPath});
    }
    if (twoRegistryViews) {
        for (const char* keyPath : kRunKeyPaths) {
            table.push_back({0, kRootLocalMachine, ThirtyTwoBitViewKeyPath(keyPath)});
        }
    }
    for (const char* keyPath : kRunKeyPaths) {
        table.push_back({0, kRootCurrentUser, keyPath});
    }
    return table;
}

std::string GetLocationDisplayText(const AutostartEntry& entry) {
    switch (entry.root) {
    case kRootLocalMachine:
        if (entry.kind == AutostartKind::LogonHook) {
            return "HKLM\\" + entry.location + "\\" + entry.itemName;
        }
        return "HKLM\\" + entry.location;
    case kRootCurrentUser:
        return "HKCU\\" + entry.location;
    default:
        return entry.location;
    }
}

std::string_view TrimHookValue(std::string_view text) {
    constexpr std::string_view kAround = " \t,";
    const size_t first = text.find_first_not_of(kAround);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kAround) - first + 1);
}

namespace {

bool SameText(std::string_view a, const std::string& b) {
    return mbcs::CompareNoCase(std::string(a), b) == 0;
}

} // namespace

bool IsDefaultHookValue(const std::string& valueName, const std::string& data,
                        const std::string& systemFolder) {
    const std::string_view value = TrimHookValue(data);
    if (mbcs::CompareNoCase(valueName, "Shell") == 0) {
        const std::string windowsFolder = systemFolder.substr(0, systemFolder.rfind('\\'));
        return SameText(value, "explorer.exe") || SameText(value, windowsFolder + "\\explorer.exe");
    }
    return SameText(value, "userinit.exe") || SameText(value, systemFolder + "\\userinit.exe");
}

std::string DefaultHookValue(const std::string& valueName, const std::string& systemFolder) {
    return mbcs::CompareNoCase(valueName, "Shell") == 0 ? "explorer.exe"
                                                        : systemFolder + "\\userinit.exe,";
}
