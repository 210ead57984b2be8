#pragma once
// The records of removed autostart entries and the form they take in the
// removed folder's "_index_.dat", apart from any file access.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One removed autostart entry.
struct RemovedEntry {
    // The full path the file had in its startup folder, or the key path.
    std::string originalLocation;
    // The file's name without extension, or the value's name.
    std::string name;
    // The file's path inside the removed folder, or the value's data.
    std::string currentLocation;
    // The hive of a registry value (0x80000002, 0x80000001); 0 for a file.
    uint32_t root = 0;

    bool operator==(const RemovedEntry&) const = default;
};

using RemovedEntryList = std::vector<RemovedEntry>;

// The fewest bytes a record takes in the file (three empty texts).
constexpr size_t kRemovedRecordMinBytes = 20;

// The records of an index file's bytes, in file order, up to the first one
// that is cut short or malformed. True when every record the count promised
// was read.
bool ParseRemovedIndex(const std::string& bytes, RemovedEntryList& entries);

// The file's bytes for the records: the count, then each record.
std::string FormatRemovedIndex(const RemovedEntryList& entries);

// Index of the first record of the same removed entry, or -1. A file record
// matches by its original path; a registry record by hive, key path and value
// name, so that a value of one hive never stands for its namesake in the
// other. Texts are compared without case under the locale's collation.
int FindRemovedEntry(const RemovedEntryList& entries, bool registry, const std::string& location,
                     const std::string& name, uint32_t root);
