#pragma once
// Lists the running processes one entry at a time through whichever facility
// the system has: PSAPI, the tool-help functions of Kernel32, and VDMDBG for
// the 16-bit tasks inside each NTVDM. All three are bound at run time by name.
#include "win/Handle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <memory>
#include <vector>

// One process (or 16-bit task) as the walk reports it.
struct ProcessEntry {
    static constexpr size_t kNameSize = 256;

    char name[kNameSize] = {}; // at most 255 characters, NUL-terminated
    DWORD processId = 0;
    WORD task = 0; // 16-bit task handle; 0 for an ordinary process
};

// VDMDBG's task-listing callback: a nonzero result stops the listing.
using TaskEnumProcEx = BOOL(WINAPI*)(DWORD threadId, WORD module16, WORD task16, char* moduleName,
                                     char* fileName, LPARAM userValue);

// The entry points bound by name. A null member is a facility the system lacks;
// tests replace members with stand-ins where the platform has none (VDMDBG).
struct ProcessFacilities {
    BOOL(WINAPI* EnumProcesses)(DWORD* ids, DWORD bytes, DWORD* bytesReturned) = nullptr;
    BOOL(WINAPI* EnumProcessModules)
    (HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded) = nullptr;
    DWORD(WINAPI* GetModuleFileNameExA)
    (HANDLE process, HMODULE module, char* name, DWORD size) = nullptr;

    HANDLE(WINAPI* CreateToolhelp32Snapshot)(DWORD flags, DWORD processId) = nullptr;
    BOOL(WINAPI* Process32First)(HANDLE snapshot, PROCESSENTRY32* record) = nullptr;
    BOOL(WINAPI* Process32Next)(HANDLE snapshot, PROCESSENTRY32* record) = nullptr;
    BOOL(WINAPI* Module32First)(HANDLE snapshot, MODULEENTRY32* record) = nullptr;
    BOOL(WINAPI* Module32Next)(HANDLE snapshot, MODULEENTRY32* record) = nullptr;

    INT(WINAPI* VDMEnumTaskWOWEx)
    (DWORD processId, TaskEnumProcEx callback, LPARAM userValue) = nullptr;
};

// Loads "PSAPI", "Kernel32" and "VDMDBG" by name and resolves their entry
// points; the libraries stay loaded while this object lives.
class CProcessLibraries {
  public:
    CProcessLibraries();
    const ProcessFacilities& Facilities() const { return m_facilities; }

  private:
    win::UniqueLibrary m_psapi;
    win::UniqueLibrary m_kernel32;
    win::UniqueLibrary m_vdmdbg;
    ProcessFacilities m_facilities;
};

class CProcessEnumerator {
  public:
    enum : int { ENUM_PSAPI = 1, ENUM_TOOLHELP = 2, ENUM_VDM = 4 };

    // Binds the system's facilities.
    CProcessEnumerator();
    // Uses the given entry points instead; the caller keeps what they need loaded.
    explicit CProcessEnumerator(const ProcessFacilities& facilities);
    ~CProcessEnumerator();
    CProcessEnumerator(const CProcessEnumerator&) = delete;
    CProcessEnumerator& operator=(const CProcessEnumerator&) = delete;

    int GetAvailableApis() const;
    // Switches to mode when it is not ENUM_VDM alone and every bit of it is
    // available; returns the mode in force.
    int SelectApi(int mode);
    int GetMode() const { return m_mode; }

    bool GetFirstProcess(ProcessEntry& entry);
    bool GetNextProcess(ProcessEntry& entry);

    // Capacity of the identifier buffer, in identifiers.
    size_t GetIdCapacity() const { return m_idCapacity; }

    // Entries of 16-bit tasks still waiting to be returned (all enumerators share them).
    static size_t PendingTaskCount();

  private:
    void Init();
    bool FillFromProcessId(DWORD processId, ProcessEntry& entry);
    void QueueTasksOfVdm(const ProcessEntry& entry);

    std::unique_ptr<CProcessLibraries> m_libraries; // null when the facilities were given
    ProcessFacilities m_api;
    int m_mode = 0;

    std::vector<DWORD> m_ids;
    size_t m_idCapacity = 256;
    size_t m_cursor = 0;
    size_t m_remaining = 0;

    PROCESSENTRY32 m_record{};
    win::UniqueFile m_snapshot;
};

#ifndef _WIN64
static_assert(sizeof(PROCESSENTRY32) == 296, "the narrow tool-help process record");
#endif
