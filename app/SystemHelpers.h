#pragma once
// Helpers over files, modules, the environment and the registry.
#include "win/Handle.h"

#include <windows.h>

#include <cstdint>
#include <string>

bool FileExists(const std::string& path);
uint64_t GetFileSize64(const std::string& path);
// Size of the first match of a directory search for path, or -1; a directory
// gives 0 when directoryGivesZero is set, else -1.
int64_t GetFileSizeByFind(const std::string& path, bool directoryGivesZero);
int64_t GetFileModTime(const std::string& path);

// %NAME% references substituted; the text unchanged when it is 1000 characters
// or more or the substitution fails.
std::string ExpandEnvVars(const std::string& text);

std::string GetModulePath(HMODULE module = nullptr);
std::string GetExePath();
std::string GetExeDir();
std::string GetCurDir();
// The Windows folder; empty when the system cannot say.
std::string GetWindowsDir();
// The system folder (System32, also for a 32-bit program); empty when the system cannot say.
std::string GetSystemDir();

bool GetSystemDriveSpace(uint64_t& totalBytes, uint64_t& freeBytes, std::string& root);

// The same figures for a caller that asks often (the tray, five times a
// second): the drive's root stays open, so each reading is one question to
// the file system instead of opening and closing the drive.
class CSystemDriveSpace {
  public:
    bool Read(uint64_t& totalBytes, uint64_t& freeBytes, std::string& root);

  private:
    bool m_rootOpened = false;
    std::string m_root;
    win::UniqueFile m_rootHandle;
};

// Creates or opens the key (a key path names one key: InRealRegistryView) and
// writes text as REG_SZ; the system's error code
// of the first step that failed, or 0.
LONG WriteRegString(HKEY hive, const std::string& keyPath, const std::string& text,
                    const std::string& valueName);

// True on 64-bit Windows, whichever build asks.
bool IsSystem64Bit();

// The access for a registry key of the autostart: on a 64-bit system every
// key is opened in the system's own view, where a key path names one key
// whichever build asks (the 32-bit programs' keys by their real path, under
// WOW6432Node). InThirtyTwoBitRegistryView opens in the 32-bit programs' view instead,
// as a 32-bit program that knew of no other view did.
REGSAM InRealRegistryView(REGSAM access);
REGSAM InThirtyTwoBitRegistryView(REGSAM access);
