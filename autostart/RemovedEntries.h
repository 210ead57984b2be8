#pragma once
// The records of removed autostart entries and the form they take in the
// removed folder's "_index_.dat", apart from any file access.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// How a registry record's key path is to be read, carried in the number that
// closes the record (older copies of the program always wrote 0 there and
// never read it). 0: as a 32-bit program sees it; on a 64-bit system that is
// the 32-bit programs' view (what every record written before both views were
// read means), elsewhere the one view there is. 1: as the 64-bit system's own
// view names it, which is how HKEY_LOCAL_MACHINE records are written on a
// 64-bit system now (the 32-bit programs' keys by their WOW6432Node path).
constexpr uint32_t kKeyPathAsThirtyTwoBitProgramSees = 0;
constexpr uint32_t kKeyPathInSystemView = 1;

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
    uint32_t keyView = kKeyPathAsThirtyTwoBitProgramSees;

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
// matches by its original path; a registry record by hive, key path, the way
// the path is read and value name, so that a value of one hive or view never
// stands for its namesake in the other. Texts are compared without case under
// the locale's collation.
int FindRemovedEntry(const RemovedEntryList& entries, bool registry, const std::string& location,
                     const std::string& name, uint32_t root,
                     uint32_t keyView = kKeyPathAsThirtyTwoBitProgramSees);
