#pragma once
// One program registered in one autostart location.
#include "app/FileSignature.h"

#include <cstdint>
#include <string>
#include <vector>

// Where an entry comes from, beyond its location: the kinds after the first
// are switched off rather than removed, and switched on again by restoring.
enum class AutostartKind : int32_t {
    // A startup-folder item or a Run-family value.
    RunOrFolder = 0,
    // A service that starts automatically.
    Service = 1,
    // A logon hook value: Winlogon's Shell or Userinit, AppInit_DLLs, or an
    // Image File Execution Options Debugger.
    LogonHook = 2,
};

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
    AutostartKind kind = AutostartKind::RunOrFolder;
    // A service's own name, or a hook's value name.
    std::string itemName{};
    // A service's state as the information text shows it ("Running").
    std::string state{};
};

using AutostartEntryList = std::vector<AutostartEntry>;
