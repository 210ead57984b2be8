#pragma once
// What a file is, as far as accepting it goes: its size and last-write time,
// which are cheap to read, and a SHA-256 of its contents, which is not.
#include <cstdint>
#include <string>

struct FileStamp {
    uint64_t size = 0;
    // The last-write time as a FILETIME's 100 ns units.
    uint64_t writeTime = 0;

    bool operator==(const FileStamp&) const = default;
};

struct FileIdentity {
    FileStamp stamp;
    // Lowercase hex, 64 characters.
    std::string sha256;

    bool operator==(const FileIdentity&) const = default;
};

// False when no file is there (a folder is no file). Reads only the folder's
// record: works on a file that others hold open or locked.
bool ReadFileStamp(const std::string& file, FileStamp& stamp);

// The SHA-256 of the file's contents by the system's own hashing (CNG); empty
// when the file cannot be opened or read whole, or the system has no CNG.
std::string HashFileSha256(const std::string& file);
// The same of bytes in memory.
std::string HashBytesSha256(const std::string& bytes);
