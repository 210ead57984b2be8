#pragma once
// The order of the Autostart page's current entries: by name, path or
// location, in either direction, with the same shell sort the page has always
// used (entries that compare equal may change places).
#include "autostart/AutostartEntry.h"

#include <cstddef>

enum AutostartColumn : int {
    kEntryColumnName = 0,
    kEntryColumnPath = 1,
    kEntryColumnLocation = 2,
    kEntryColumnSignature = 3,
};

// 0 when a and b are equal byte for byte, else their case-insensitive order
// under the user's locale (0 for texts that differ only in case). Descending
// turns the sign round.
int CompareText(const std::string& a, const std::string& b, bool ascending);

// Equal names or signature texts fall back to the paths, always ascending. The location column
// compares the bare key or folder, so HKLM and HKCU of one key are equal.
int CompareEntries(const AutostartEntry& a, const AutostartEntry& b, bool ascending, int column);

using EntryCompare = int (*)(const AutostartEntry& a, const AutostartEntry& b, bool ascending,
                             int column);

// Sorts entries[0..lastIndex] in place; compare nullptr means CompareEntries.
void SortEntries(AutostartEntryList& entries, int lastIndex, bool ascending, int column,
                 EntryCompare compare = nullptr);
