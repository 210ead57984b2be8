#pragma once
// What the user does to running processes: end them and change their priority.
// A row may be seconds old and its process id reused by another program since,
// so each action opens the id once, makes sure through that handle that it is
// still the row's process, and acts through the same handle.
#include "app/SystemFunctions.h"
#include "process/ProcessRow.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Opens the process with the access and the least right to ask about it: the
// limited query right where the system has it (Vista on), else the full one
// with the right to read its memory, which PSAPI needs.
win::UniqueHandle OpenProcessToAsk(uint32_t processId, DWORD access = 0);

// The process's executable: its main module's path where PSAPI can read it,
// else what the system names its image (a 64-bit process seen from the 32-bit
// build, a process opened with the limited right); empty when neither can.
std::string ReadProcessImagePath(HANDLE process,
                                 const SystemFunctions& functions = GetSystemFunctions());

// When the process started, as one number; 0 when it cannot be read.
uint64_t ReadCreationTime(HANDLE process);

// True when the id names the row's process now: the same start time and
// image as the row was read with (what the row has of them), or, for a row
// that has neither, a process of the row's name.
bool IsSameProcessNow(const ProcessRow& row);

// Terminates the rows' processes with exit code 0; how many ended. Processes
// that ended or are no longer the row's are skipped silently; those the system
// refuses this user (another user's, an elevated one) are counted in refused.
size_t KillProcesses(const ProcessRowList& rows, size_t* refused = nullptr);

// Gives the rows' processes the priority class, skipping and counting as
// KillProcesses does.
size_t SetProcessesPriority(const ProcessRowList& rows, uint32_t priorityClass,
                            size_t* refused = nullptr);
