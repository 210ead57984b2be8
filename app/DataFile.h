#pragma once
// Reading the program's binary data files whole. Writing goes through
// app/SafeFile.h (WriteFileWhole).
#include <cstddef>
#include <string>

// No data file of ours comes near this; past it a file is read as if it ended
// there, so a huge or endless file cannot exhaust the memory.
constexpr size_t kMaxDataFileBytes = 64u << 20;

// False when the file cannot be opened for reading; otherwise its bytes (at
// most kMaxDataFileBytes), as many as could be read.
bool ReadDataFile(const std::string& path, std::string& bytes);

// False, with records left as they were, when the file cannot be opened;
// otherwise records become what parse makes of its bytes: a damaged file
// still yields the records before the damage.
template <typename Records>
bool ReadRecordFile(const std::string& file, Records& records,
                    bool (*parse)(const std::string& bytes, Records& records)) {
    std::string bytes;
    if (!ReadDataFile(file, bytes)) {
        return false;
    }
    parse(bytes, records);
    return true;
}
