#pragma once
// Removing an autostart entry without destroying it, and putting it back: a
// startup-folder file is moved into the folder "removed" beside the program,
// a registry value is deleted after its name and data were written down, and
// each removal is recorded in that folder's "_index_.dat".
#include "autostart/AutostartEntry.h"
#include "autostart/RemovedEntries.h"

#include <string>

// The removed folder beside the program, and the index file inside it.
std::string GetFolderOfRemovedItems();
std::string GetFileOfRemovedInfoDataBase();

// The index file of a removed folder.
std::string GetRemovedIndexIn(const std::string& folder);

// False, with the list left as it was, when the file cannot be opened.
// Otherwise the list becomes the file's records, as many as are whole.
bool ReadRemovedIndex(RemovedEntryList& entries, const std::string& file);
// Replaces the file whole; false, with the old file intact, on failure.
bool WriteRemovedIndex(const RemovedEntryList& entries, const std::string& file);

// Clears read-only, hidden, system and archive; false when that fails.
bool ResetFileAttributes(const std::string& path);

// What removal and restore need from the Autostart page.
class IRemovedEntriesPage {
  public:
    virtual ~IRemovedEntriesPage() = default;
    // The records list 1002 shows.
    virtual RemovedEntryList& GetRemovedEntries() = 0;
    // After every removal or restore: the current entries rescanned, the
    // removed records reloaded from the index, the description updated.
    virtual void RefreshAfterChange() = 0;
    // A message box with the application's title and an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // Where removed files go and the index lives.
    virtual std::string GetRemovedFolder() const { return GetFolderOfRemovedItems(); }
};

// Moves the file, or deletes the value, and records it (a service or hook is
// switched off instead: DisableEntry); every step is logged
// and a failure is shown. The removed list is read from the index first: when
// the index exists but cannot be read whole, nothing is changed. The record is
// written before the entry is touched, so a removal whose record cannot be
// saved does not happen, and one cut short leaves the entry in its place.
// Always true.
bool RemoveEntry(IRemovedEntriesPage& page, const AutostartEntry& entry);

// The warning's removal, which may come long after the entry was read: the
// entry is read again first, and when it is gone or no longer what was shown
// (another command line, another target), the user is told and nothing is
// removed. True when it went on to RemoveEntry.
bool RemoveEntryAsShown(IRemovedEntriesPage& page, const AutostartEntry& shown);

// Puts record index of the page's removed list back: the file moved to its
// former path, or the value written again as a REG_SZ string. The record is
// dropped when that succeeds.
void RestoreEntry(IRemovedEntriesPage& page, int index);
