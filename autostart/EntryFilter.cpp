#include "autostart/EntryFilter.h"

#include "autostart/AutostartLocations.h"

std::vector<size_t> FilterEntries(const AutostartEntryList& entries, const CRowFilter& filter) {
    std::vector<size_t> shown;
    shown.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        // Unfiltered, no row's texts are made.
        const AutostartEntry& entry = entries[i];
        if (filter.ShowsAll() ||
            filter.Shows({entry.name, entry.path, GetLocationDisplayText(entry)},
                         entry.signature)) {
            shown.push_back(i);
        }
    }
    return shown;
}
