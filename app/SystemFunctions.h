#pragma once
// The system functions that some supported systems lack, bound once by
// library and name (or ordinal) when first asked for. A null member is a
// facility this system does not have. Code that uses them takes the table, so
// a test can hand in a copy with stand-ins where the platform has none.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

// VDMDBG's task-listing callback: a nonzero result stops the listing.
using TaskEnumProcEx = BOOL(WINAPI*)(DWORD threadId, WORD module16, WORD task16, char* moduleName,
                                     char* fileName, LPARAM userValue);

// ntdll's record of an input/output request's outcome.
struct IoStatusBlock {
    union {
        LONG status;
        void* pointer;
    };
    ULONG_PTR information;
};

// The volume's size and free space in allocation units
// (FileFsSizeInformation).
struct VolumeSize {
    LARGE_INTEGER totalUnits;
    LARGE_INTEGER availableUnits;
    ULONG sectorsPerUnit;
    ULONG bytesPerSector;
};
constexpr int kVolumeSizeClass = 3;

// NtQueryKey's KeyNameInformation: a ULONG byte count, then the UTF-16 name.
constexpr int kKeyNameInformationClass = 3;

struct SystemFunctions {
    // PSAPI (NT family)
    BOOL(WINAPI* EnumProcesses)(DWORD* ids, DWORD bytes, DWORD* bytesReturned) = nullptr;
    BOOL(WINAPI* EnumProcessModules)
    (HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded) = nullptr;
    DWORD(WINAPI* GetModuleFileNameExA)
    (HANDLE process, HMODULE module, char* name, DWORD size) = nullptr;
    BOOL(WINAPI* GetProcessMemoryInfo)
    (HANDLE process, PROCESS_MEMORY_COUNTERS* counters, DWORD bytes) = nullptr;

    // Tool-help of Kernel32 (the 95 family, Windows 2000 and later)
    HANDLE(WINAPI* CreateToolhelp32Snapshot)(DWORD flags, DWORD processId) = nullptr;
    BOOL(WINAPI* Process32First)(HANDLE snapshot, PROCESSENTRY32* record) = nullptr;
    BOOL(WINAPI* Process32Next)(HANDLE snapshot, PROCESSENTRY32* record) = nullptr;
    BOOL(WINAPI* Module32First)(HANDLE snapshot, MODULEENTRY32* record) = nullptr;
    BOOL(WINAPI* Module32Next)(HANDLE snapshot, MODULEENTRY32* record) = nullptr;

    // VDMDBG: the 16-bit tasks inside each NTVDM (32-bit NT only)
    INT(WINAPI* VDMEnumTaskWOWEx)
    (DWORD processId, TaskEnumProcEx callback, LPARAM userValue) = nullptr;

    // Kernel32 functions newer than Windows 95 or NT 4
    DWORD(WINAPI* GetLongPathNameA)(LPCSTR shortPath, LPSTR longPath, DWORD size) = nullptr;
    BOOL(WINAPI* GlobalMemoryStatusEx)(MEMORYSTATUSEX* status) = nullptr;
    BOOL(WINAPI* GetSystemTimes)(FILETIME* idle, FILETIME* kernel, FILETIME* user) = nullptr;
    // XP SP2 on: whether a process is a 32-bit one on a 64-bit system
    BOOL(WINAPI* IsWow64Process)(HANDLE process, BOOL* wow64) = nullptr;
    // Vista on: a process's image through a handle with the limited query right
    BOOL(WINAPI* QueryFullProcessImageNameA)
    (HANDLE process, DWORD flags, char* name, DWORD* size) = nullptr;

    // Vista on: lets a message through from programs of a lower integrity level
    // (an elevated copy still answers the unelevated user's second start)
    BOOL(WINAPI* ChangeWindowMessageFilter)(UINT message, DWORD flag) = nullptr;

    // ntdll (NT family): a volume's figures through a handle already open
    LONG(WINAPI* NtQueryVolumeInformationFile)
    (HANDLE file, IoStatusBlock* outcome, void* information, ULONG bytes,
     int informationClass) = nullptr;

    // ntdll (NT family): what the system calls an open registry key
    LONG(WINAPI* NtQueryKey)
    (HKEY key, int informationClass, void* information, ULONG bytes, ULONG* bytesNeeded) = nullptr;

    // ntdll (NT family): every running process with its image name, in one
    // request (SystemProcessInformation, class 5)
    LONG(WINAPI* NtQuerySystemInformation)
    (int informationClass, void* information, ULONG bytes, ULONG* bytesNeeded) = nullptr;

    // user32, Windows 10 1607 on: the dots per inch a window is drawn at, and
    // the system's (its primary screen's when the program started)
    UINT(WINAPI* GetDpiForWindow)(HWND window) = nullptr;
    UINT(WINAPI* GetDpiForSystem)() = nullptr;

    // bcrypt (CNG), Vista on: the system's own hashing. Handles are opaque;
    // every function answers an NTSTATUS, 0 on success.
    LONG(WINAPI* BCryptOpenAlgorithmProvider)
    (void** algorithm, const wchar_t* name, const wchar_t* implementation, ULONG flags) = nullptr;
    LONG(WINAPI* BCryptCloseAlgorithmProvider)(void* algorithm, ULONG flags) = nullptr;
    LONG(WINAPI* BCryptGetProperty)
    (void* object, const wchar_t* property, UCHAR* output, ULONG bytes, ULONG* result,
     ULONG flags) = nullptr;
    LONG(WINAPI* BCryptCreateHash)
    (void* algorithm, void** hash, UCHAR* hashObject, ULONG hashObjectBytes, UCHAR* secret,
     ULONG secretBytes, ULONG flags) = nullptr;
    LONG(WINAPI* BCryptHashData)(void* hash, UCHAR* input, ULONG bytes, ULONG flags) = nullptr;
    LONG(WINAPI* BCryptFinishHash)(void* hash, UCHAR* output, ULONG bytes, ULONG flags) = nullptr;
    LONG(WINAPI* BCryptDestroyHash)(void* hash) = nullptr;

    // shell32's Run dialog, exported by ordinal 61 only. Its texts are ANSI on
    // the 95 family and UTF-16 on NT; callers pass none.
    void(WINAPI* RunFileDlg)(HWND owner, HICON icon, const void* directory, const void* title,
                             const void* description, UINT flags) = nullptr;
};

// The system's own; the libraries stay loaded for the rest of the process.
const SystemFunctions& GetSystemFunctions();
