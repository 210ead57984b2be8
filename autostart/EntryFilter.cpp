#include "autostart/EntryFilter.h"

#include "autostart/AutostartLocations.h"

std::vector<size_t> FilterEntries(const AutostartEntryList& entries, const CRowFilter& filter) {
    return FilterRows(entries, filter, [&](const AutostartEntry& entry) {
        return filter.Shows({entry.name, entry.path, GetLocationDisplayText(entry)},
                            entry.signature);
    });
}
