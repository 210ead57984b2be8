#pragma once
// Reads every autostart location into entries. A scan keeps nothing between
// runs and never reports an error: what cannot be read contributes less.
#include "autostart/AutostartEntry.h"
#include "autostart/AutostartLocations.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The hive as an entry's root holds it, and back.
uint32_t RootOfHive(HKEY hive);
HKEY HiveOfRoot(uint32_t root);

// At most this many values are read from one key.
constexpr DWORD kMaxValuesPerRunKey = 1000;

// The places the scan reads on this system (BuildAutostartLocations), with
// both registry views on a 64-bit system.
const std::vector<AutostartLocation>& GetAutostartLocations();

// Appends the entries of every location, in the order of the location table,
// then the services that start automatically and the logon hooks.
void EnumerateAutostartEntries(AutostartEntryList& entries);

// The entry as its place holds it now (the same root, location and name),
// read as the scan reads it; false when it is gone.
bool ReadEntryNow(const AutostartEntry& entry, AutostartEntry& now);

// Opens a key as the scan reads it: a WOW6432Node path in the system's own
// view, and only when it leads to the 32-bit programs' own key (a key both
// views share is read once, by its own path). False when it cannot be opened.
bool OpenKeyInItsView(HKEY hive, const std::string& keyPath, REGSAM access, win::UniqueRegKey& key);

// One entry per value directly inside the key (the first kMaxValuesPerRunKey):
// the value's data read as text whatever its type, in long form when it names
// an existing file.
void EnumerateRunKey(HKEY hive, const std::string& keyPath, AutostartEntryList& entries);

// One entry per item directly inside the folder, subfolders and hidden files
// included; a shortcut's entry carries its target.
void EnumerateStartupFolder(const std::string& folder, AutostartEntryList& entries);

// One item of a directory search; the times are local. In a namespace of its
// own because the shell's headers declare an interface of the same name.
namespace autostart {
struct FolderItem {
    std::string path;
    uint64_t size = 0; // 0 for a directory
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    // Read-only 1, hidden 2, system 4, directory 0x10, archive 0x20.
    DWORD attributes = 0;
};
} // namespace autostart
using FolderItemList = std::vector<autostart::FolderItem>;

// Appends the folder's items, entering subdirectories while depth is below
// maxDepth (-1: no limit; 0: never). Answers the number of items of this level,
// or -1 when the folder cannot be searched.
int ListFolder(const std::string& folder, FolderItemList& items, int maxDepth, int depth);

// The path of a shell special folder; empty when the system has no such folder.
std::string GetSpecialFolderPath(int csidl);
