#pragma once
// The identities of accepted files, kept beside an accepted list in a side
// file of its own ("autostart-files.dat" beside "autostart.dat"): the list
// keeps its format byte for byte, so older copies of the program still read
// it. Those copies neither read nor write the side file; one that wrote the
// list since leaves the side file stale, which the fingerprint of the list
// written into the side file reveals.
//
// The check of an accepted path's file, done when the lists are rescanned:
// - no identity yet: the file's current one is taken, silently;
// - size and time as recorded: the same file, without reading it (so a
//   locked file is no alarm);
// - size or time moved: the contents are hashed (once per new stamp); the
//   same hash is the same file, another hash a changed one, and a file that
//   cannot be read then counts as changed;
// - an identity recorded before another copy wrote the list: whatever the
//   file is now is taken, silently, as that copy's user accepted it so;
// - no file there: not changed (it starts nothing); its identity stays.
#include "app/FileIdentity.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

struct FileIdentityRecord {
    // The accepted path, spelled as the accepted list spells it.
    std::string path;
    FileIdentity identity;
    // Recorded before another copy wrote the list.
    bool unconfirmed = false;

    bool operator==(const FileIdentityRecord&) const = default;
};

// The side file's bytes: the list's fingerprint, then the counted records.
std::string FormatFileIdentities(const std::string& listFingerprint,
                                 const std::vector<FileIdentityRecord>& records);
// False when the bytes are damaged; the records before the damage are kept.
bool ParseFileIdentities(const std::string& bytes, std::string& listFingerprint,
                         std::vector<FileIdentityRecord>& records);

class CFileIdentityStore {
  public:
    // "autostart.dat" gives "autostart-files.dat".
    static std::string SideFileOf(const std::string& listFile);

    // Empties the store, then reads the file; every record read is
    // unconfirmed unless the file names listFingerprint. False when the file
    // cannot be opened.
    bool ReadFrom(const std::string& file, const std::string& listFingerprint);
    // Replaces the file whole.
    bool WriteTo(const std::string& file, const std::string& listFingerprint) const;

    // The rules above; true when the file changed since the path was accepted.
    bool Check(const std::string& path, const std::string& file);
    // The file's identity now, for the path just accepted; when the file
    // cannot be read, the path keeps none and the next check takes one.
    void Record(const std::string& path, const std::string& file);

    const FileIdentityRecord* Find(const std::string& path) const;
    const std::vector<FileIdentityRecord>& GetRecords() const { return m_records; }
    // True once after the records changed (to be written).
    bool TakeChanged() { return std::exchange(m_changed, false); }

  private:
    FileIdentityRecord* FindRecord(const std::string& path);
    void Take(const std::string& path, const FileStamp& stamp, std::string sha256);

    std::vector<FileIdentityRecord> m_records;
    // The last stamp hashed per path and what it showed: a changed file is
    // hashed once, not at every rescan.
    struct Seen {
        FileStamp stamp;
        bool changed = false;
    };
    std::unordered_map<std::string, Seen> m_seen;
    bool m_changed = false;
};
