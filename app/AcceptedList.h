#pragma once
// Which paths the user accepted ("I trust this application"), bound to a data
// file beside the program: "autostart.dat" for the Autostart page,
// "processes.dat" for the process table. Records are only appended; a path
// with no record counts as not accepted. Beside the list, the identities of
// the accepted files (app/FileIdentityStore.h): an accepted path whose file
// changed since counts as not accepted until it is accepted again.
#include "app/AcceptedListFormat.h"
#include "app/FileIdentityStore.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

// The line the information texts add for an accepted item whose file changed.
constexpr char kChangedSinceAcceptedNote[] =
    "Not accepted: its file has changed since you accepted it";

class CAcceptedList {
  public:
    CAcceptedList() = default;
    explicit CAcceptedList(std::string file) : m_file(std::move(file)) {}

    void SetFile(const std::string& file) { m_file = file; }
    const std::string& GetFile() const { return m_file; }
    const std::vector<AcceptedItem>& GetItems() const { return m_items; }
    // Counts up whenever a record changes, the records are read anew or a
    // checked file turns out changed or the same again.
    uint64_t GetVersion() const { return m_version; }

    // The first record whose path equals path byte for byte or under the
    // locale's case-insensitive collation; nullptr when there is none.
    const AcceptedItem* FindItem(const std::string& path) const;
    // 1 accepted, 0 not accepted or unknown.
    int32_t GetState(const std::string& path) const;
    // Changes the path's record, or appends one with zero dates.
    void SetState(const std::string& path, int32_t state);

    // Accepts the path and records the identity of the file it stands for.
    void Accept(const std::string& path, const std::string& file);
    // For an accepted path: checks the file it stands for against the identity
    // kept for it, and writes the side file when the identities change. Done
    // when the items are rescanned, never by the checks that only ask.
    void CheckFile(const std::string& path, const std::string& file);
    // Accepted, and its file not changed since, as the last CheckFile found.
    bool IsAccepted(const std::string& path) const {
        return GetState(path) != 0 && !IsChanged(path);
    }
    // The path is accepted but its file changed since.
    bool IsChanged(const std::string& path) const { return m_changedFiles.count(path) != 0; }
    const CFileIdentityStore& GetIdentities() const { return m_identities; }

    // Empties the list, then reads its own file.
    void Reload();
    // False, with the list left as it was, when the file cannot be opened.
    // Otherwise the list becomes the file's records, as many as are whole.
    bool ReadFrom(const std::string& file);
    bool Store() const;
    // Replaces the file whole, and the identities' side file beside it; false,
    // with the old file intact, on failure.
    bool WriteTo(const std::string& file) const;

  private:
    AcceptedItem* FindItem(const std::string& path);
    void SetChanged(const std::string& path, bool changed);
    void StoreIdentities();

    std::vector<AcceptedItem> m_items;
    std::string m_file;
    uint64_t m_version = 0;
    CFileIdentityStore m_identities;
    // The paths, as the checks spell them, whose files changed since accepted.
    std::unordered_set<std::string> m_changedFiles;
};
