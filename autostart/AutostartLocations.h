#pragma once
// The fixed table of places from which the system starts programs, in scan
// order, and how an entry's location is shown.
#include "autostart/AutostartEntry.h"

#include <array>
#include <cstdint>
#include <string>

// The hives as an entry's root holds them (the low 32 bits of the HKEY).
constexpr uint32_t kRootLocalMachine = 0x80000002;
constexpr uint32_t kRootCurrentUser = 0x80000001;

// The shell special folders of the two startup folders.
constexpr int kCsidlStartup = 7;
constexpr int kCsidlCommonStartup = 24;

// One row of the table: a startup folder (root 0, csidl set) or a registry
// key (root set, keyPath set).
struct AutostartLocation {
    int csidl;
    uint32_t root;
    const char* keyPath;
};

constexpr size_t kRunKeyCount = 6;
constexpr size_t kAutostartLocationCount = 2 + 2 * kRunKeyCount;

// The current user's or the machine's Run key: new entries and the program's
// own value go here.
constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The key paths of the Run family; their spelling, case included, is stored in
// entries and records and shown to the user.
const std::array<const char*, kRunKeyCount>& GetRunKeyPaths();

// Both startup folders, then the Run keys under HKEY_LOCAL_MACHINE, then the
// same keys under HKEY_CURRENT_USER.
const std::array<AutostartLocation, kAutostartLocationCount>& GetAutostartLocations();

// "HKLM\" or "HKCU\" before a registry entry's location; a folder entry's as it is.
std::string GetLocationDisplayText(const AutostartEntry& entry);
