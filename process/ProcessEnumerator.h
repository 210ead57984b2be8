#pragma once
// Lists the running processes one entry at a time through whichever facility
// the system has: PSAPI, the tool-help functions of Kernel32, and VDMDBG for
// the 16-bit tasks inside each NTVDM, all bound at run time by name.
#include "app/SystemFunctions.h"
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

class CProcessEnumerator {
  public:
    enum : int { ENUM_PSAPI = 1, ENUM_TOOLHELP = 2, ENUM_VDM = 4 };

    // Uses the system's facilities, or the given entry points (a null one is a
    // facility the system lacks).
    explicit CProcessEnumerator(const SystemFunctions& functions = GetSystemFunctions());
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

    SystemFunctions m_api;
    int m_mode = 0;

    std::vector<DWORD> m_ids;
    size_t m_idCapacity = 256;
    size_t m_cursor = 0;
    size_t m_remaining = 0;

    PROCESSENTRY32 m_record{};
    win::UniqueFile m_snapshot;
};

// Every running process's id and image name, as the walk names them, from one
// request to the system; false where ntdll does not answer it (then walk).
bool ListProcessesAtOnce(const SystemFunctions& functions, std::vector<ProcessEntry>& entries);

#ifndef _WIN64
static_assert(sizeof(PROCESSENTRY32) == 296, "the narrow tool-help process record");
#endif
