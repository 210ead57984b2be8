#pragma once
// Which of the Autostart page's entries its filter lets through.
#include "app/RowFilter.h"
#include "autostart/AutostartEntry.h"

#include <cstddef>
#include <vector>

// The index of each entry whose name, path or location as listed holds the
// filter text, in their order.
std::vector<size_t> FilterEntries(const AutostartEntryList& entries, const CRowFilter& filter);
