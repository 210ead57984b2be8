// Removed-entries index files ("_index_.dat") of arbitrary bytes: reading must
// stay within the bytes, allocate no more than they can justify, and what was
// read must be written and read back unchanged.
#include "autostart/RemovedEntries.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    RemovedEntryList entries;
    ParseRemovedIndex(bytes, entries);
    Require(entries.size() <= size / kRemovedRecordMinBytes);
    Require(entries.capacity() <= size / kRemovedRecordMinBytes);
    size_t textBytes = 0;
    for (const RemovedEntry& entry : entries) {
        textBytes +=
            entry.originalLocation.size() + entry.name.size() + entry.currentLocation.size();
    }
    Require(textBytes <= size);

    const std::string written = FormatRemovedIndex(entries);
    RemovedEntryList again;
    Require(ParseRemovedIndex(written, again));
    Require(again == entries);
    Require(FormatRemovedIndex(again) == written);

    // Whatever is looked up, the answer is a record of the list or none.
    if (!entries.empty()) {
        const RemovedEntry& last = entries.back();
        const int found = FindRemovedEntry(entries, last.root != 0, last.originalLocation,
                                           last.name, last.root, last.keyView);
        Require(found >= 0 && static_cast<size_t>(found) < entries.size());
        Require((entries[static_cast<size_t>(found)].root != 0) == (last.root != 0));
    }
    return 0;
}
