#pragma once
// What the user does to running processes: end them and change their priority.
// A row may be seconds old and its process id reused by another program since,
// so each action opens the id once, makes sure through that handle that it is
// still the row's process, and acts through the same handle.
#include "process/ProcessRow.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

// When the process started, as one number; 0 when it cannot be read.
uint64_t ReadCreationTime(HANDLE process);

// True when the id names the row's process now: the same start time and
// image as the row was read with (what the row has of them), or, for a row
// that has neither, a process of the row's name.
bool IsSameProcessNow(const ProcessRow& row);

// Terminates the rows' processes with exit code 0; processes that cannot be
// opened or are no longer the row's are skipped silently. How many ended.
size_t KillProcesses(const ProcessRowList& rows);

// Gives the rows' processes the priority class, skipping as KillProcesses does.
size_t SetProcessesPriority(const ProcessRowList& rows, uint32_t priorityClass);
