#pragma once
// Which running processes an autostart entry started, and which entries start
// a process: a process belongs to an entry when its executable is the file the
// entry's command starts. Plain data in, plain data out: the two pages ask.
#include "autostart/AutostartEntry.h"
#include "process/ProcessRow.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The file the entry's command starts, in long form where it exists.
std::string ProgramFileOfEntry(const AutostartEntry& entry);

// The rows, in their order, whose executable is the entry's program file.
std::vector<size_t> FindProcessesOfEntry(const AutostartEntry& entry, const ProcessRowList& rows);
// The entries, in their order, whose program file is the row's executable.
std::vector<size_t> FindEntriesOfProcess(const ProcessRow& row, const AutostartEntryList& entries);

// "Running: <name> (<id>)", one line per process with the id as the list shows
// it, or "Running: no".
std::string DescribeProcessesOfEntry(const AutostartEntry& entry, const ProcessRowList& rows);
// "Autostart entry: <name> (<location>)", one line per entry, or "Autostart entry: none".
std::string DescribeEntriesOfProcess(const ProcessRow& row, const AutostartEntryList& entries);

// The two list pages' way to each other, provided by the sheet that holds both.
class IPageJumps {
  public:
    virtual const ProcessRowList& RunningProcesses() const = 0;
    virtual const AutostartEntryList& AutostartEntries() const = 0;
    // Shows the other page with the row selected.
    virtual void ShowProcess(uint32_t processId) = 0;
    virtual void ShowEntry(const AutostartEntry& entry) = 0;

  protected:
    ~IPageJumps() = default;
};
