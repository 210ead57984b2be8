#include "app/SystemHelpers.h"

#include "app/PathHelpers.h"
#include "app/SystemFunctions.h"
#include "win/Handle.h"

#include <shellapi.h>
#include <sys/stat.h>

namespace {

constexpr DWORD kTextBufferSize = 1000;

uint64_t Combine(DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

bool GetFileStatus(const std::string& path, struct _stat64& status) {
    return _stat64(path.c_str(), &status) == 0;
}

} // namespace

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t GetFileSize64(const std::string& path) {
    struct _stat64 status {};
    if (!GetFileStatus(path, status) || (status.st_mode & _S_IFDIR)) {
        return 0;
    }
    return static_cast<uint64_t>(status.st_size);
}

int64_t GetFileSizeByFind(const std::string& path, bool directoryGivesZero) {
    WIN32_FIND_DATAA found{};
    win::UniqueFind find(FindFirstFileA(path.c_str(), &found));
    if (!find) {
        return -1;
    }
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return directoryGivesZero ? 0 : -1;
    }
    return static_cast<int64_t>(Combine(found.nFileSizeHigh, found.nFileSizeLow));
}

int64_t GetFileModTime(const std::string& path) {
    struct _stat64 status {};
    if (!GetFileStatus(path, status)) {
        return 0;
    }
    return static_cast<int64_t>(status.st_mtime);
}

std::string ExpandEnvVars(const std::string& text) {
    if (text.size() >= kTextBufferSize) {
        return text;
    }
    char buffer[kTextBufferSize] = {};
    text.copy(buffer, text.size());
    if (HIWORD(DoEnvironmentSubstA(buffer, kTextBufferSize)) == FALSE) {
        return text;
    }
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

std::string GetModulePath(HMODULE module) {
    char buffer[kTextBufferSize] = {};
    const DWORD length = GetModuleFileNameA(module, buffer, kTextBufferSize);
    // A result that fills the buffer is cut (and on older systems not terminated).
    if (length == 0 || length >= kTextBufferSize) {
        return {};
    }
    return std::string(buffer, length);
}

std::string GetExePath() {
    return GetModulePath(nullptr);
}

std::string GetExeDir() {
    return GetDirNoSlash(GetExePath());
}

std::string GetWindowsDir() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string GetSystemDir() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string GetCurDir() {
    char buffer[kTextBufferSize] = {};
    const DWORD length = GetCurrentDirectoryA(kTextBufferSize, buffer);
    if (length == 0 || length >= kTextBufferSize) {
        return {};
    }
    return std::string(buffer, length);
}

namespace {

// The root of the drive that holds the system folder ("C:\\"), or empty.
std::string SystemDriveRoot() {
    constexpr UINT kSystemDirSize = 255;
    char systemDir[kSystemDirSize] = {};
    const UINT length = GetSystemDirectoryA(systemDir, kSystemDirSize);
    if (length == 0 || length >= kSystemDirSize) {
        return {};
    }
    std::string root = GetDriveOfPath(std::string(systemDir, length));
    if (root.size() < 3) {
        root += '\\';
    }
    return root;
}

} // namespace

bool GetSystemDriveSpace(uint64_t& totalBytes, uint64_t& freeBytes, std::string& root) {
    totalBytes = 0;
    freeBytes = 0;
    root = SystemDriveRoot();
    if (root.empty()) {
        return false;
    }
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (GetDiskFreeSpaceExA(root.c_str(), nullptr, &total, &totalFree)) {
        totalBytes = total.QuadPart;
        freeBytes = totalFree.QuadPart;
    }
    return true;
}

bool CSystemDriveSpace::Read(uint64_t& totalBytes, uint64_t& freeBytes, std::string& root) {
    const auto query = GetSystemFunctions().NtQueryVolumeInformationFile;
    if (!m_rootOpened) {
        m_rootOpened = true;
        m_root = SystemDriveRoot();
        if (!m_root.empty() && query != nullptr) {
            // Opening a folder needs the backup flag; no access right is
            // asked, so the handle stands in nobody's way.
            m_rootHandle.Reset(::CreateFileA(
                m_root.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        }
    }
    VolumeSize size{};
    IoStatusBlock outcome{};
    if (!m_rootHandle ||
        query(m_rootHandle.Get(), &outcome, &size, sizeof size, kVolumeSizeClass) < 0) {
        return GetSystemDriveSpace(totalBytes, freeBytes, root);
    }
    const uint64_t unitBytes = static_cast<uint64_t>(size.sectorsPerUnit) * size.bytesPerSector;
    totalBytes = static_cast<uint64_t>(size.totalUnits.QuadPart) * unitBytes;
    freeBytes = static_cast<uint64_t>(size.availableUnits.QuadPart) * unitBytes;
    root = m_root;
    return true;
}

LONG WriteRegString(HKEY hive, const std::string& keyPath, const std::string& text,
                    const std::string& valueName) {
    constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE; // 0x2001F
    win::UniqueRegKey key;
    LONG result = RegCreateKeyExA(hive, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  InRealRegistryView(kReadWrite), nullptr, key.Put(), nullptr);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    return RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

bool IsSystem64Bit() {
#ifdef _WIN64
    return true;
#else
    static const bool system64 = [] {
        BOOL wow64 = FALSE;
        const auto isWow64 = GetSystemFunctions().IsWow64Process;
        return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow64) && wow64;
    }();
    return system64;
#endif
}

// Systems without views refuse these flags (Windows 2000): only where there are two.
REGSAM InRealRegistryView(REGSAM access) {
    return IsSystem64Bit() ? access | KEY_WOW64_64KEY : access;
}

REGSAM InThirtyTwoBitRegistryView(REGSAM access) {
    return IsSystem64Bit() ? access | KEY_WOW64_32KEY : access;
}
