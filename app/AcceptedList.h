#pragma once
// Which paths the user accepted ("I trust this application"), bound to a data
// file beside the program: "autostart.dat" for the Autostart page,
// "processes.dat" for the process table. Records are only appended; a path
// with no record counts as not accepted.
#include "app/AcceptedListFormat.h"
#include "app/WarningGate.h"

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

    // The first record whose path equals path byte for byte or under the
    // locale's case-insensitive collation; nullptr when there is none.
    const AcceptedItem* FindItem(const std::string& path) const;
    AcceptedItem* FindItem(const std::string& path);
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
    std::vector<AcceptedItem> m_items;
    std::string m_file;
};

// True when the path of at least one item (anything with a path member, in
// display order) is not accepted. For each such item the gate is asked, and a
// warning about subjectOf(item) opens when it allows; an open warning closes
// the gate, so one check opens at most one.
template <typename Items, typename SubjectOf>
bool CheckUnaccepted(const Items& items, const CAcceptedList& accepted, IWarningGate& warnings,
                     SubjectOf subjectOf) {
    bool unaccepted = false;
    for (const auto& item : items) {
        if (accepted.GetState(item.path) != 0) {
            continue;
        }
        unaccepted = true;
        if (warnings.ShouldShowWarning(item.path)) {
            warnings.OpenWarning(subjectOf(item));
        }
    }
    return unaccepted;
}
