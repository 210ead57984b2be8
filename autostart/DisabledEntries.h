#pragma once
// Services, logon hooks and the like are not removed but switched off, in a
// way that can be undone: a service is set to start on demand, a hook value
// is reset to the system's own (Shell, Userinit), emptied (AppInit_DLLs) or
// deleted (a Debugger). What was there is recorded first in the removed
// folder's "_disabled_.dat", beside "_index_.dat", which stays as it is.
#include "autostart/AutostartEntry.h"
#include "autostart/RemoveRestore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DisabledEntry {
    AutostartKind kind = AutostartKind::Service;
    // The entry's name as the list showed it.
    std::string name;
    // The key path as the scan names it (WOW6432Node for the 32-bit view).
    std::string location;
    // The service's or the value's own name.
    std::string itemName;
    uint32_t root = 0;
    // A service's start type before, or the value's registry type.
    uint32_t oldType = 0;
    // The value's bytes before; empty for a service.
    std::string oldData{};

    bool operator==(const DisabledEntry&) const = default;
};
using DisabledEntryList = std::vector<DisabledEntry>;

// The fewest bytes a record takes in the file (empty texts).
constexpr size_t kDisabledRecordMinBytes = 24;

// The records of the file's bytes, up to the first one cut short; true when
// every record the count promised was read.
bool ParseDisabledEntries(const std::string& bytes, DisabledEntryList& records);
std::string FormatDisabledEntries(const DisabledEntryList& records);

// The store in a removed folder.
std::string GetDisabledStoreIn(const std::string& folder);
// False, with the list left as it was, when the file cannot be opened.
bool ReadDisabledEntries(DisabledEntryList& records, const std::string& file);

// Where the removed-entries list shows a record: its place, and what it is now.
std::string GetDisabledOriginalText(const DisabledEntry& record);
std::string GetDisabledCurrentText(const DisabledEntry& record);

// Records the entry as it is now, then switches it off; a failure is shown
// (a refusal for want of rights says so) and leaves entry and store as they
// were. The page is not refreshed: RemoveEntry does that.
void DisableEntry(IRemovedEntriesPage& page, const AutostartEntry& entry);

// Puts back exactly what the record holds (the start type, the value's type
// and data) and drops the record; a failure is shown and keeps it. The record
// is looked up in the store as it is now. Refreshes the page.
void RestoreDisabledEntry(IRemovedEntriesPage& page, const DisabledEntry& record);
