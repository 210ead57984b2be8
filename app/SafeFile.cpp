#include "app/SafeFile.h"

#include "win/Handle.h"

#include <algorithm>

namespace {

bool g_failReplaceForTesting = false;

// Gets the temporary's bytes onto the disk before the rename makes them the
// real file, so a power cut cannot leave a renamed but empty file.
void FlushToDisk(const std::string& path) {
    win::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        FlushFileBuffers(file.Get());
    }
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

} // namespace

std::string TemporaryPathFor(const std::string& target) {
    return target + ".tmp";
}

bool ReplaceWithTemporary(const std::string& temporary, const std::string& target) {
    if (g_failReplaceForTesting) {
        return false;
    }
    // A file the user made read-only stays as it is. Windows refuses to
    // replace it anyway; Wine would not, nor would the 9x fallback below.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    FlushToDisk(temporary);
    if (MoveFileExA(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return false;
    }
    // Windows 9x has no MoveFileEx: the target has to go first. Only a missing
    // temporary stops us, so the old file is never deleted for nothing.
    if (GetFileAttributesA(temporary.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    DeleteFileA(target.c_str());
    return MoveFileA(temporary.c_str(), target.c_str()) != FALSE;
}

bool WriteFileWhole(const std::string& target, const std::string& bytes) {
    const std::string temporary = TemporaryPathFor(target);
    bool complete = false;
    {
        win::UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        complete = WriteAll(file.Get(), bytes);
    }
    if (!complete || !ReplaceWithTemporary(temporary, target)) {
        // The caller tells the user why: the clean-up must not change the reason.
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        SetLastError(error);
        return false;
    }
    return true;
}

void SetReplaceFailureForTesting(bool fail) {
    g_failReplaceForTesting = fail;
}
