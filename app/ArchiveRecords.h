#pragma once
// A data file that is a 32-bit record count followed by the records, each
// described once by a transfer function (archive, record) for reading and
// writing alike.
#include "app/Archive.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The 1.0 that opens every record: always written, ignored when read.
template <typename Archive> void TransferRecordMark(Archive& archive) {
    uint64_t mark = kArchiveRecordMark;
    archive.Transfer(mark);
}

// The reserved number (0) and the empty string that close every record:
// always written so, ignored when read.
template <typename Archive> void TransferRecordEnd(Archive& archive) {
    uint32_t reserved = 0;
    std::string unused;
    archive.Transfer(reserved);
    archive.Transfer(unused);
}

// The records of the bytes, in file order, up to the first one that is cut
// short or malformed. The count is only believed as far as the bytes behind it
// could hold records of minRecordBytes. True when every promised record was read.
template <typename Record, typename Transfer>
bool ReadCountedRecords(const std::string& bytes, std::vector<Record>& records,
                        size_t minRecordBytes, Transfer transfer) {
    records.clear();
    ArchiveReader reader(bytes.data(), bytes.size());
    uint32_t count = 0;
    if (!reader.ReadNumber(count)) {
        return false;
    }
    records.reserve(std::min<size_t>(count, reader.Remaining() / minRecordBytes));
    for (uint32_t i = 0; i < count; ++i) {
        Record record;
        transfer(reader, record);
        if (reader.Failed()) {
            return false;
        }
        records.push_back(std::move(record));
    }
    return true;
}

template <typename Record, typename Transfer>
std::string WriteCountedRecords(const std::vector<Record>& records, Transfer transfer) {
    ArchiveWriter writer;
    writer.WriteNumber(static_cast<uint32_t>(records.size()));
    for (const Record& record : records) {
        transfer(writer, record);
    }
    return writer.Bytes();
}
