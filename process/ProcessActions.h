#pragma once
// What the user does to running processes: end them and change their priority.
// A row may be seconds old and its process id reused by another program since,
// so each action first looks the id up afresh and leaves any process alone
// whose name is no longer the row's.
#include "process/ProcessRow.h"

#include <cstddef>
#include <cstdint>

// True when the id names a running process of the row's name now.
bool IsSameProcessNow(const ProcessRow& row);

// Terminates the rows' processes with exit code 0; processes that cannot be
// opened or are no longer the row's are skipped silently. How many ended.
size_t KillProcesses(const ProcessRowList& rows);

// Gives the rows' processes the priority class, skipping as KillProcesses does.
size_t SetProcessesPriority(const ProcessRowList& rows, uint32_t priorityClass);
