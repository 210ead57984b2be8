#include "app/FileIdentityStore.h"

#include "app/ArchiveRecords.h"
#include "app/DataFile.h"
#include "app/SafeFile.h"

#include <type_traits>
#include <utility>

namespace {

// Mark, path, size, time, hash, flags, end: an empty path and hash.
constexpr size_t kIdentityRecordMinBytes = 8 + 1 + 8 + 8 + 1 + 4 + 4 + 1;
constexpr uint32_t kUnconfirmedFlag = 1;

template <typename Archive, typename Record> void TransferRecord(Archive& archive, Record& record) {
    TransferRecordMark(archive);
    archive.Transfer(record.path);
    archive.Transfer(record.identity.stamp.size);
    archive.Transfer(record.identity.stamp.writeTime);
    archive.Transfer(record.identity.sha256);
    uint32_t flags = record.unconfirmed ? kUnconfirmedFlag : 0;
    archive.Transfer(flags);
    TransferRecordEnd(archive);
    if constexpr (!std::is_const_v<Record>) {
        record.unconfirmed = (flags & kUnconfirmedFlag) != 0;
    }
}

} // namespace

std::string FormatFileIdentities(const std::string& listFingerprint,
                                 const std::vector<FileIdentityRecord>& records) {
    ArchiveWriter head;
    head.WriteString(listFingerprint);
    return head.Bytes() +
           WriteCountedRecords(records, [](ArchiveWriter& writer, const FileIdentityRecord& r) {
               TransferRecord(writer, r);
           });
}

bool ParseFileIdentities(const std::string& bytes, std::string& listFingerprint,
                         std::vector<FileIdentityRecord>& records) {
    records.clear();
    ArchiveReader head(bytes.data(), bytes.size());
    if (!head.ReadString(listFingerprint)) {
        return false;
    }
    return ReadCountedRecords(
        bytes.substr(bytes.size() - head.Remaining()), records, kIdentityRecordMinBytes,
        [](ArchiveReader& reader, FileIdentityRecord& r) { TransferRecord(reader, r); });
}

std::string CFileIdentityStore::SideFileOf(const std::string& listFile) {
    const size_t dot = listFile.find_last_of(".\\/");
    const size_t cut = dot != std::string::npos && listFile[dot] == '.' ? dot : listFile.size();
    return listFile.substr(0, cut) + "-files" + listFile.substr(cut);
}

bool CFileIdentityStore::ReadFrom(const std::string& file, const std::string& listFingerprint) {
    m_records.clear();
    m_seen.clear();
    std::string bytes;
    if (!ReadDataFile(file, bytes)) {
        return false;
    }
    std::string fingerprint;
    ParseFileIdentities(bytes, fingerprint, m_records);
    if (fingerprint != listFingerprint) {
        for (FileIdentityRecord& record : m_records) {
            record.unconfirmed = true;
        }
    }
    return true;
}

bool CFileIdentityStore::WriteTo(const std::string& file,
                                 const std::string& listFingerprint) const {
    return WriteFileWhole(file, FormatFileIdentities(listFingerprint, m_records));
}

const FileIdentityRecord* CFileIdentityStore::Find(const std::string& path) const {
    for (const FileIdentityRecord& record : m_records) {
        if (record.path == path) {
            return &record;
        }
    }
    return nullptr;
}

FileIdentityRecord* CFileIdentityStore::FindRecord(const std::string& path) {
    return const_cast<FileIdentityRecord*>(std::as_const(*this).Find(path));
}

void CFileIdentityStore::Take(const std::string& path, const FileStamp& stamp, std::string sha256) {
    FileIdentityRecord* record = FindRecord(path);
    if (record == nullptr) {
        record = &m_records.emplace_back();
        record->path = path;
    }
    record->identity = FileIdentity{stamp, std::move(sha256)};
    record->unconfirmed = false;
    m_seen.erase(path);
    m_changed = true;
}

bool CFileIdentityStore::Check(const std::string& path, const std::string& file) {
    FileStamp now;
    if (!ReadFileStamp(file, now)) {
        return false;
    }
    FileIdentityRecord* record = FindRecord(path);
    if (record != nullptr && record->identity.stamp == now) {
        if (record->unconfirmed) {
            record->unconfirmed = false;
            m_changed = true;
        }
        return false;
    }
    const auto seen = m_seen.find(path);
    if (record != nullptr && seen != m_seen.end() && seen->second.stamp == now) {
        return seen->second.changed;
    }
    std::string sha256 = HashFileSha256(file);
    bool changed = false;
    if (sha256.empty()) {
        // Unreadable: moved since it was accepted, so not to be trusted; with
        // nothing recorded, taken at a later check.
        changed = record != nullptr && !record->unconfirmed;
    } else if (record == nullptr || record->unconfirmed || record->identity.sha256 == sha256) {
        // New, accepted by another copy, or only touched: this is the file.
        Take(path, now, std::move(sha256));
        return false;
    } else {
        changed = true;
    }
    m_seen[path] = Seen{now, changed};
    return changed;
}

void CFileIdentityStore::Record(const std::string& path, const std::string& file) {
    FileStamp now;
    std::string sha256;
    if (ReadFileStamp(file, now)) {
        sha256 = HashFileSha256(file);
    }
    if (!sha256.empty()) {
        Take(path, now, std::move(sha256));
        return;
    }
    m_seen.erase(path);
    std::erase_if(m_records, [&](const FileIdentityRecord& record) { return record.path == path; });
    m_changed = true;
}
