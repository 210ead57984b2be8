#include "autostart/AcceptedListFormat.h"

#include "autostart/Archive.h"

#include <algorithm>
#include <utility>

namespace {

// A record's fields in file order, for reading and writing alike. The record
// mark, the reserved number and the trailing string are written as the
// program always has, and ignored when read.
template <typename Archive, typename Item> void TransferRecord(Archive& archive, Item& item) {
    uint64_t mark = kArchiveRecordMark;
    uint32_t reserved = 0;
    std::string unused;
    archive.Transfer(mark);
    archive.Transfer(item.path);
    archive.Transfer(item.state);
    archive.Transfer(item.spare);
    archive.Transfer(item.first.status);
    archive.Transfer(item.first.dateBits);
    archive.Transfer(item.second.status);
    archive.Transfer(item.second.dateBits);
    archive.Transfer(reserved);
    archive.Transfer(unused);
}

} // namespace

bool ParseAcceptedList(const std::string& bytes, std::vector<AcceptedItem>& items) {
    items.clear();
    ArchiveReader reader(bytes.data(), bytes.size());
    uint32_t count = 0;
    if (!reader.ReadNumber(count)) {
        return false;
    }
    // The count is only believed as far as the bytes behind it could hold.
    items.reserve(std::min<size_t>(count, reader.Remaining() / kAcceptedRecordMinBytes));
    for (uint32_t i = 0; i < count; ++i) {
        AcceptedItem item;
        TransferRecord(reader, item);
        if (reader.Failed()) {
            return false;
        }
        items.push_back(std::move(item));
    }
    return true;
}

std::string FormatAcceptedList(const std::vector<AcceptedItem>& items) {
    ArchiveWriter writer;
    writer.WriteNumber(static_cast<uint32_t>(items.size()));
    for (const AcceptedItem& item : items) {
        TransferRecord(writer, item);
    }
    return writer.Bytes();
}
