#include "app/AcceptedListFormat.h"

#include "app/ArchiveRecords.h"

namespace {

// A record's fields in file order, for reading and writing alike.
template <typename Archive, typename Item> void TransferRecord(Archive& archive, Item& item) {
    TransferRecordMark(archive);
    archive.Transfer(item.path);
    archive.Transfer(item.state);
    archive.Transfer(item.spare);
    archive.Transfer(item.first.status);
    archive.Transfer(item.first.dateBits);
    archive.Transfer(item.second.status);
    archive.Transfer(item.second.dateBits);
    TransferRecordEnd(archive);
}

} // namespace

bool ParseAcceptedList(const std::string& bytes, std::vector<AcceptedItem>& items) {
    return ReadCountedRecords(
        bytes, items, kAcceptedRecordMinBytes,
        [](ArchiveReader& reader, AcceptedItem& item) { TransferRecord(reader, item); });
}

std::string FormatAcceptedList(const std::vector<AcceptedItem>& items) {
    return WriteCountedRecords(items, [](ArchiveWriter& writer, const AcceptedItem& item) {
        TransferRecord(writer, item);
    });
}
