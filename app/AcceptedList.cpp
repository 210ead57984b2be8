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
    if (AcceptedItem* item = FindItem(path)) {
        item->state = state;
        return;
    }
    AcceptedItem item;
    item.path = path;
    item.state = state;
    m_items.push_back(std::move(item));
}

void CAcceptedList::Reload() {
    ++m_version;
    m_items.clear();
    ReadFrom(m_file);
}

bool CAcceptedList::ReadFrom(const std::string& file) {
    ++m_version;
    return ReadRecordFile(file, m_items, ParseAcceptedList);
}

bool CAcceptedList::Store() const {
    return WriteTo(m_file);
}

bool CAcceptedList::WriteTo(const std::string& file) const {
    return WriteFileWhole(file, FormatAcceptedList(m_items));
}
