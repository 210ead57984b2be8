#include "autostart/RemovedEntries.h"

#include "app/ArchiveRecords.h"
#include "app/Mbcs.h"

namespace {

// A record's fields in file order: the current location comes before the name.
template <typename Archive, typename Entry> void TransferRecord(Archive& archive, Entry& entry) {
    TransferRecordMark(archive);
    archive.Transfer(entry.originalLocation);
    archive.Transfer(entry.currentLocation);
    archive.Transfer(entry.root);
    archive.Transfer(entry.name);
    TransferRecordEnd(archive);
}

} // namespace

bool ParseRemovedIndex(const std::string& bytes, RemovedEntryList& entries) {
    return ReadCountedRecords(bytes, entries, kRemovedRecordMinBytes,
                              [](auto& archive, auto& entry) { TransferRecord(archive, entry); });
}

std::string FormatRemovedIndex(const RemovedEntryList& entries) {
    return WriteCountedRecords(entries,
                               [](auto& archive, auto& entry) { TransferRecord(archive, entry); });
}

int FindRemovedEntry(const RemovedEntryList& entries, bool registry, const std::string& location,
                     const std::string& name, uint32_t root) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const RemovedEntry& entry = entries[i];
        if ((entry.root != 0) != registry ||
            mbcs::CompareNoCase(entry.originalLocation, location) != 0) {
            continue;
        }
        if (!registry || (entry.root == root && mbcs::CompareNoCase(entry.name, name) == 0)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
