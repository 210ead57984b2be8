#include "autostart/AutostartEntrySort.h"

#include "app/Mbcs.h"

#include <algorithm>
#include <utility>

int CompareText(const std::string& a, const std::string& b, bool ascending) {
    const int order = mbcs::CompareCollated(a, b);
    return ascending ? order : -order;
}

int CompareEntries(const AutostartEntry& a, const AutostartEntry& b, bool ascending, int column) {
    switch (column) {
    case kEntryColumnName: {
        int order = CompareText(a.name, b.name, ascending);
        return order != 0 ? order : CompareText(a.path, b.path, true);
    }
    case kEntryColumnPath:
        return CompareText(a.path, b.path, ascending);
    case kEntryColumnLocation:
        return CompareText(a.location, b.location, ascending);
    case kEntryColumnSignature: {
        const int order =
            CompareText(FormatSignature(a.signature), FormatSignature(b.signature), ascending);
        return order != 0 ? order : CompareText(a.path, b.path, true);
    }
    default:
        return 0;
    }
}

void SortEntries(AutostartEntryList& entries, int lastIndex, bool ascending, int column,
                 EntryCompare compare) {
    if (compare == nullptr) {
        compare = CompareEntries;
    }
    if (lastIndex < 0 || entries.empty()) {
        return;
    }
    // Never past the list, whatever the caller passes.
    const size_t last = std::min(static_cast<size_t>(lastIndex), entries.size() - 1);
    const size_t count = last + 1;
    size_t gap = 1;
    while (gap <= count) {
        gap = gap * 3 + 1;
    }
    while (gap > 2) {
        gap /= 3;
        if (gap >= count) {
            continue;
        }
        for (size_t p = gap; p <= last; ++p) {
            for (size_t j = p - gap;; j -= gap) {
                if (compare(entries[j + gap], entries[j], ascending, column) >= 0) {
                    break;
                }
                std::swap(entries[j + gap], entries[j]);
                if (j < gap) {
                    break;
                }
            }
        }
    }
}
