#pragma once
// Which paths the user accepted ("I trust this application"), bound to a data
// file beside the program: "autostart.dat" for the Autostart page,
// "processes.dat" for the process table. Records are only appended; a path
// with no record counts as not accepted.
#include "app/AcceptedListFormat.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CAcceptedList {
  public:
    CAcceptedList() = default;
    explicit CAcceptedList(std::string file) : m_file(std::move(file)) {}

    void SetFile(const std::string& file) { m_file = file; }
    const std::string& GetFile() const { return m_file; }
    const std::vector<AcceptedItem>& GetItems() const { return m_items; }
    // Counts up whenever a record changes or the records are read anew.
    uint64_t GetVersion() const { return m_version; }

    // The first record whose path equals path byte for byte or under the
    // locale's case-insensitive collation; nullptr when there is none.
    const AcceptedItem* FindItem(const std::string& path) const;
    // 1 accepted, 0 not accepted or unknown.
    int32_t GetState(const std::string& path) const;
    // Changes the path's record, or appends one with zero dates.
    void SetState(const std::string& path, int32_t state);

    // Empties the list, then reads its own file.
    void Reload();
    // False, with the list left as it was, when the file cannot be opened.
    // Otherwise the list becomes the file's records, as many as are whole.
    bool ReadFrom(const std::string& file);
    bool Store() const;
    // Replaces the file whole; false, with the old file intact, on failure.
    bool WriteTo(const std::string& file) const;

  private:
    AcceptedItem* FindItem(const std::string& path);

    std::vector<AcceptedItem> m_items;
    std::string m_file;
    uint64_t m_version = 0;
};
