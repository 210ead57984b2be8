#include "app/DataFile.h"

#include "win/Handle.h"

#include <algorithm>

bool ReadDataFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    // Grown by what was actually read, never by a size the file claims.
    char chunk[64 * 1024];
    while (bytes.size() < kMaxDataFileBytes) {
        const DWORD wanted =
            static_cast<DWORD>(std::min(sizeof chunk, kMaxDataFileBytes - bytes.size()));
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk, wanted, &read, nullptr) || read == 0) {
            break;
        }
        bytes.append(chunk, read);
    }
    return true;
}
