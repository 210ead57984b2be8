#pragma once
// One program registered in one autostart location.
#include "app/FileSignature.h"

#include <cstdint>
#include <string>
#include <vector>

struct AutostartEntry {
    // The registry value's name, or the startup-folder item's name without
    // directory and extension.
    std::string name;
    // The value's data as text (the whole command line), or the item's path
    // (a shortcut's target); in long form where that exists.
    std::string path;
    // The key path without the hive, or the full path of the folder item.
    std::string location;
    // The hive (HKEY_LOCAL_MACHINE 0x80000002, HKEY_CURRENT_USER 0x80000001);
    // 0 for a startup-folder item.
    uint32_t root = 0;
    // Switched off in the system's own startup settings: it stays, but does not start.
    bool switchedOff = false;
    // The signature of the file it starts, as far as verified.
    FileSignature signature{};
};

using AutostartEntryList = std::vector<AutostartEntry>;
