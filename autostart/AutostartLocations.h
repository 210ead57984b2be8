#pragma once
// The fixed table of places from which the system starts programs, in scan
// order, and how an entry's location is shown.
#include "autostart/AutostartEntry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The hives as an entry's root holds them (the low 32 bits of the HKEY).
constexpr uint32_t kRootLocalMachine = 0x80000002;
constexpr uint32_t kRootCurrentUser = 0x80000001;

// The shell special folders of the two startup folders.
constexpr int kCsidlStartup = 7;
constexpr int kCsidlCommonStartup = 24;

// One row of the table: a startup folder (root 0, csidl set) or a registry
// key (root set, keyPath set).
struct AutostartLocation {
    int csidl = 0;
    uint32_t root = 0;
    std::string keyPath;
    // A watch covers the key's subkeys too (the services' key, the hooks' keys).
    bool subtree = false;
};

constexpr size_t kRunKeyCount = 6;

// The current user's or the machine's Run key: new entries and the program's
// own value go here.
constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The key paths of the Run family; their spelling, case included, is stored in
// entries and records and shown to the user.
const std::array<const char*, kRunKeyCount>& GetRunKeyPaths();

// Where a 64-bit system keeps the key for its 32-bit programs: the same path
// with "WOW6432Node" after its first part, as the system's own view names it.
std::string ThirtyTwoBitViewKeyPath(const std::string& keyPath);
// True for a path of that form (WOW6432Node in any case).
bool IsThirtyTwoBitViewKeyPath(const std::string& keyPath);

// Both startup folders, then the Run keys under HKEY_LOCAL_MACHINE (on a
// 64-bit system, twoRegistryViews, followed by the same keys of the 32-bit
// programs' view), then the same keys under HKEY_CURRENT_USER, which has one
// view only.
std::vector<AutostartLocation> BuildAutostartLocations(bool twoRegistryViews);

// "HKLM\" or "HKCU\" before a registry entry's location; a folder entry's as it is.
// A logon hook's location ends in its value's name.
std::string GetLocationDisplayText(const AutostartEntry& entry);

// True when a Winlogon Shell or Userinit value holds what the system sets
// itself (explorer.exe; userinit.exe in the system folder, ending in a comma),
// compared without case, blanks and commas around, with or without the folder.
bool IsDefaultHookValue(const std::string& valueName, const std::string& data,
                        const std::string& systemFolder);
// What a switched-off Shell or Userinit is reset to.
std::string DefaultHookValue(const std::string& valueName, const std::string& systemFolder);
// A hook value without the blanks and commas around it.
std::string_view TrimHookValue(std::string_view text);
