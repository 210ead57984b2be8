#include "app/AcceptedList.h"

#include "app/DataFile.h"
#include "app/Mbcs.h"
#include "app/SafeFile.h"

const AcceptedItem* CAcceptedList::FindItem(const std::string& path) const {
    for (const AcceptedItem& item : m_items) {
        if (mbcs::Compare(item.path, path) == 0 || mbcs::CompareNoCase(item.path, path) == 0) {
            return &item;
        }
    }
    return nullptr;
}

AcceptedItem* CAcceptedList::FindItem(const std::string& path) {
    return const_cast<AcceptedItem*>(std::as_const(*this).FindItem(path));
}

int32_t CAcceptedList::GetState(const std::string& path) const {
    const AcceptedItem* item = FindItem(path);
    return item ? item->state : 0;
}

void CAcceptedList::SetState(const std::string& path, int32_t state) {
    ++m_version;
    m_changedFiles.erase(path);
    if (AcceptedItem* item = FindItem(path)) {
        item->state = state;
        return;
    }
    AcceptedItem item;
    item.path = path;
    item.state = state;
    m_items.push_back(std::move(item));
}

void CAcceptedList::Accept(const std::string& path, const std::string& file) {
    SetState(path, 1);
    // Under the list's own spelling, which the next run finds it by.
    m_identities.Record(FindItem(path)->path, file);
    m_identities.TakeChanged();
}

void CAcceptedList::SetChanged(const std::string& path, bool changed) {
    const bool was = IsChanged(path);
    if (changed && !was) {
        m_changedFiles.insert(path);
        ++m_version;
    } else if (!changed && was) {
        m_changedFiles.erase(path);
        ++m_version;
    }
}

void CAcceptedList::CheckFile(const std::string& path, const std::string& file) {
    const AcceptedItem* item = FindItem(path);
    if (item == nullptr || item->state == 0) {
        SetChanged(path, false);
        return;
    }
    SetChanged(path, m_identities.Check(item->path, file));
    if (m_identities.TakeChanged()) {
        StoreIdentities();
    }
}

void CAcceptedList::StoreIdentities() {
    if (!m_file.empty()) {
        m_identities.WriteTo(CFileIdentityStore::SideFileOf(m_file),
                             HashBytesSha256(FormatAcceptedList(m_items)));
    }
}

void CAcceptedList::Reload() {
    ++m_version;
    m_items.clear();
    ReadFrom(m_file);
}

bool CAcceptedList::ReadFrom(const std::string& file) {
    ++m_version;
    std::string bytes;
    if (!ReadDataFile(file, bytes)) {
        return false;
    }
    ParseAcceptedList(bytes, m_items);
    m_changedFiles.clear();
    m_identities.ReadFrom(CFileIdentityStore::SideFileOf(file), HashBytesSha256(bytes));
    return true;
}

bool CAcceptedList::Store() const {
    return WriteTo(m_file);
}

bool CAcceptedList::WriteTo(const std::string& file) const {
    const std::string bytes = FormatAcceptedList(m_items);
    // The list first: a side file that names a list not written is stale,
    // which costs a silent adoption, never a false warning.
    return WriteFileWhole(file, bytes) &&
           m_identities.WriteTo(CFileIdentityStore::SideFileOf(file), HashBytesSha256(bytes));
}
