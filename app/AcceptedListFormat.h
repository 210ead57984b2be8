#pragma once
// The records of an accepted list ("autostart.dat", "processes.dat") and their
// file form, apart from any file access.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A date-time as the file holds it. The date (a 64-bit floating-point value)
// is kept as its bytes: it is only carried, and a copy through the FPU could
// change a NaN's bytes.
struct AcceptedDateTime {
    int32_t status = 0;
    uint64_t dateBits = 0;

    bool operator==(const AcceptedDateTime&) const = default;
};

// One record: a path and whether the user accepted it (1) or not (0).
struct AcceptedItem {
    std::string path;
    int32_t state = 0;
    AcceptedDateTime first;
    AcceptedDateTime second;
    int32_t spare = 0;

    bool operator==(const AcceptedItem&) const = default;
};

// The fewest bytes a record takes in the file (an empty path).
constexpr size_t kAcceptedRecordMinBytes = 46;

// The records of a file's bytes, in file order, up to the first one that is
// cut short or malformed. True when every record the count promised was read.
bool ParseAcceptedList(const std::string& bytes, std::vector<AcceptedItem>& items);

// The file's bytes for the records: the count, then each record.
std::string FormatAcceptedList(const std::vector<AcceptedItem>& items);
