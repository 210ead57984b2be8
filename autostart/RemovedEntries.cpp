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
    archive.Transfer(entry.keyView);
    std::string unused;
    archive.Transfer(unused);
}

} // namespace

bool ParseRemovedIndex(const std::string& bytes, RemovedEntryList& entries) {
    const bool whole =
        ReadCountedRecords(bytes, entries, kRemovedRecordMinBytes,
                           [](auto& archive, auto& entry) { TransferRecord(archive, entry); });
    // Any other number there is not ours: read as older copies read it.
    for (RemovedEntry& entry : entries) {
        if (entry.keyView != kKeyPathInSystemView) {
            entry.keyView = kKeyPathAsThirtyTwoBitProgramSees;
        }
    }
    return whole;
}

std::string FormatRemovedIndex(const RemovedEntryList& entries) {
    return WriteCountedRecords(entries,
                               [](auto& archive, auto& entry) { TransferRecord(archive, entry); });
}

int FindRemovedEntry(const RemovedEntryList& entries, bool registry, const std::string& location,
                     const std::string& name, uint32_t root, uint32_t keyView) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const RemovedEntry& entry = entries[i];
        if ((entry.root != 0) != registry ||
            mbcs::CompareNoCase(entry.originalLocation, location) != 0) {
            continue;
        }
        if (!registry || (entry.root == root && entry.keyView == keyView &&
                          mbcs::CompareNoCase(entry.name, name) == 0)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
