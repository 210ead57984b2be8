#pragma once
// The texts the Autostart page shows and reports for its entries: the
// "More information" description, the report section, and the columns of a
// removed entry.
#include "app/AcceptedList.h"
#include "autostart/AutostartEntry.h"
#include "autostart/RemovedEntries.h"

#include <string>

// The file the entry's command starts, as its description names it: of the
// long form of the command where there is one.
std::string AutostartFileOf(const AutostartEntry& entry);

// "Title: ", the name, the file's information (of the long path when there is
// one) and "Location: " with the bare key path or folder item.
std::string DescribeAutostartEntry(const AutostartEntry& entry);

// The entry's state in words for the report's tables: "Accepted", "Not
// accepted", or why not when its file changed since; then, after "; ", each
// way it is kept from starting (switched off in the system's startup settings) and a
// service's state ("Running").
std::string GetAutostartStateText(const AutostartEntry& entry, const CAcceptedList& accepted);

// One block per entry in the given order, numbered from 1: the heading
// "Autostart program #n", the description, then the separator.
std::string GetAutostartReportText(const AutostartEntryList& entries, const std::string& separator);

// Where a removed entry came from, with "HKLM\" or "HKCU\" for a value.
std::string GetRemovedOriginalText(const RemovedEntry& record);
// Where it is now: the file in the removed folder, or "My database" for a
// value, whose data only the index holds.
std::string GetRemovedCurrentText(const RemovedEntry& record);
