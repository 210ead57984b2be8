#include "autostart/RemoveRestore.h"

#include "app/DataFile.h"
#include "app/Log.h"
#include "app/Mbcs.h"
#include "app/Elevation.h"
#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartMessages.h"
#include "autostart/AutostartScan.h"
#include "autostart/DisabledEntries.h"
#include "win/Handle.h"

#include <utility>

namespace {

const char kIndexFileName[] = "_index_.dat";
// KEY_READ | KEY_WRITE.
constexpr REGSAM kRunKeyAccess = 0x2001F;

// Only the two hives the autostart keys live in; a root read from a damaged
// index must not be taken for some other handle.
HKEY HiveForRecord(uint32_t root) {
    return root == kRootLocalMachine || root == kRootCurrentUser ? HiveOfRoot(root) : nullptr;
}

std::string FullPath(const std::string& path) {
    char buffer[2 * MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length >= sizeof buffer ? std::string() : std::string(buffer, length);
}

bool IsIndexOrItsTemporary(const std::string& fileName, const std::string& index) {
    return mbcs::CompareNoCase(fileName, kIndexFileName) == 0 ||
           mbcs::CompareNoCase(fileName, GetFileNameWithExt(TemporaryPathFor(index))) == 0;
}

// A copy an earlier removal left may only be deleted when it is one of ours:
// a file directly inside the removed folder, other than the index.
bool IsRemovedCopy(const std::string& path, const std::string& folder) {
    const std::string full = FullPath(path);
    const std::string fullFolder = FullPath(folder);
    return !full.empty() && !fullFolder.empty() && IsSamePath(GetFolderOfPath(full), fullFolder) &&
           !IsIndexOrItsTemporary(GetFileNameWithExt(full), GetRemovedIndexIn(folder));
}

// The file keeps its name in the removed folder, except that it never takes
// the index's own name (or that of the index's temporary): the record holds
// the real path, so another free name does.
std::string TargetInRemovedFolder(const std::string& folder, const std::string& location) {
    const std::string fileName = GetFileNameWithExt(location);
    const std::string index = GetRemovedIndexIn(folder);
    if (!IsIndexOrItsTemporary(fileName, index)) {
        return JoinPath(folder, fileName);
    }
    const std::string ext = GetExtNoDot(location);
    std::string target;
    for (unsigned number = 1; number < 10000; ++number) {
        target = JoinPath(folder, GetNameWithoutExt(location) + " (" + ULongToText(number) + ")" +
                                      (ext.empty() ? "" : "." + ext));
        if (!FileExists(target)) {
            break;
        }
    }
    return target;
}

// Before the list is changed and written back, the index is read again so
// that nothing the file holds is lost. False, with the list left alone, when
// the file exists but cannot be read whole; error then tells why.
bool ReloadWholeIndex(RemovedEntryList& entries, const std::string& index, DWORD& error) {
    if (GetFileAttributesA(index.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            entries.clear();
            return true;
        }
        return false;
    }
    std::string bytes;
    if (!ReadDataFile(index, bytes)) {
        error = GetLastError();
        return false;
    }
    RemovedEntryList records;
    // An empty file holds no records; anything else must be whole.
    if (!bytes.empty() &&
        (bytes.size() != GetFileSize64(index) || !ParseRemovedIndex(bytes, records))) {
        error = ERROR_INVALID_DATA;
        return false;
    }
    entries = std::move(records);
    return true;
}

// RemoveEntry refreshes the page once, whatever happened.
void StopUnchanged(IRemovedEntriesPage& page, DWORD error) {
    LogValue(" Operation failed, last error:", error);
    page.ShowMessage(kOperationFailed);
}

// The saving steps of every removal.
void SaveRemovedIndex(const RemovedEntryList& entries, const std::string& index) {
    LogLine(" Saving Removed Info Database");
    const bool saved = WriteRemovedIndex(entries, index);
    // Taken before the log's own calls can change it.
    const DWORD error = GetLastError();
    LogValue(" Remove info database saved?:", saved ? 1 : 0);
    LogValue(" If the about failed, then the last error was:", error);
}

// The record goes onto the disk before the entry is touched: a program ended
// in between (killed, or the machine off) leaves a record of an entry still in
// its place, which removing it again replaces, never an entry gone without a
// record to bring it back. False, with nothing changed and the failure shown,
// when the record cannot be written.
bool RecordBeforeRemoving(IRemovedEntriesPage& page, RemovedEntryList removed,
                          const RemovedEntry& record, const std::string& index) {
    removed.push_back(record);
    if (WriteRemovedIndex(removed, index)) {
        return true;
    }
    StopUnchanged(page, GetLastError());
    return false;
}

void RemoveFile(IRemovedEntriesPage& page, const AutostartEntry& entry) {
    const std::string folder = page.GetRemovedFolder();
    const std::string index = GetRemovedIndexIn(folder);
    const std::string target = TargetInRemovedFolder(folder, entry.location);
    LogLine(" File to move, from: " + entry.location + ", to: " + target);

    RemovedEntryList& removed = page.GetRemovedEntries();
    DWORD error = 0;
    if (!ReloadWholeIndex(removed, index, error)) {
        StopUnchanged(page, error);
        return;
    }
    std::string earlierCopy;
    const int earlier = FindRemovedEntry(removed, false, entry.location, std::string(), 0);
    if (earlier >= 0) {
        earlierCopy = removed[static_cast<size_t>(earlier)].currentLocation;
        removed.erase(removed.begin() + earlier);
    }
    const RemovedEntry record{entry.location, GetNameWithoutExt(entry.location), target, 0};
    if (!RecordBeforeRemoving(page, removed, record, index)) {
        return;
    }
    if (!earlierCopy.empty() && IsRemovedCopy(earlierCopy, folder)) {
        DeleteFileA(earlierCopy.c_str());
        LogLine(" File was once removed, so I deleted it");
    }

    const DWORD attributes = GetFileAttributesA(entry.location.c_str());
    ResetFileAttributes(entry.location);
    if (MoveFileA(entry.location.c_str(), target.c_str())) {
        removed.push_back(record);
        LogLine(" File sucessfully moved");
        if (!FileExists(entry.location)) {
            LogLine(" 100% confirmation, the file was moved");
        }
    } else {
        const DWORD moveError = GetLastError();
        LogValue(" Operation failed, last error:", moveError);
        page.ShowMessage(RefusalOr(moveError, kOperationFailed));
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            SetFileAttributesA(entry.location.c_str(), attributes);
        }
    }
    // When this write fails the record written first stands, and a moved
    // file keeps its way back.
    SaveRemovedIndex(removed, index);
}

void RemoveValue(IRemovedEntriesPage& page, const AutostartEntry& entry) {
    const std::string index = GetRemovedIndexIn(page.GetRemovedFolder());
    LogLine(" The key of reg entry to remove:" + entry.location);

    RemovedEntryList& removed = page.GetRemovedEntries();
    DWORD error = 0;
    if (!ReloadWholeIndex(removed, index, error)) {
        StopUnchanged(page, error);
        return;
    }
    // Entries are read in the system's own view; where there is a second view,
    // that is what a machine-wide record must say to be put back in the same key.
    const uint32_t keyView = entry.root == kRootLocalMachine && IsSystem64Bit()
                                 ? kKeyPathInSystemView
                                 : kKeyPathAsThirtyTwoBitProgramSees;
    const int earlier =
        FindRemovedEntry(removed, true, entry.location, entry.name, entry.root, keyView);
    if (earlier >= 0) {
        LogLine(" Reg entry was once removed, I deleted an info about it");
        removed.erase(removed.begin() + earlier);
    }

    win::UniqueRegKey key;
    const HKEY hive = HiveForRecord(entry.root);
    const LONG opened = hive ? RegOpenKeyExA(hive, entry.location.c_str(), 0,
                                             InRealRegistryView(kRunKeyAccess), key.Put())
                             : ERROR_INVALID_HANDLE;
    if (opened != ERROR_SUCCESS) {
        LogLine(" Failed when opening key");
        LogValue(" Last error:", static_cast<uint32_t>(opened));
        page.ShowMessage(RefusalOr(static_cast<DWORD>(opened), kKeyNotOpened));
    } else {
        const RemovedEntry record{entry.location, entry.name, entry.path, entry.root, keyView};
        if (!RecordBeforeRemoving(page, removed, record, index)) {
            return;
        }
        const LONG result = RegDeleteValueA(key.Get(), entry.name.c_str());
        if (result != ERROR_SUCCESS) {
            LogLine(" Failed when deleting val");
            LogValue(" Last error:", static_cast<uint32_t>(result));
            page.ShowMessage(RefusalOr(static_cast<DWORD>(result), kValueNotDeleted));
        } else {
            removed.push_back(record);
            LogLine(" Reg entry sucessfully removed");
        }
    }
    // When this write fails the record written first stands, and the deleted
    // value keeps its way back.
    SaveRemovedIndex(removed, index);
}

// What to show when the record could not be put back; empty on success.
std::string RestoreRecord(const RemovedEntry& record) {
    if (record.root == 0) {
        if (MoveFileA(record.currentLocation.c_str(), record.originalLocation.c_str())) {
            return std::string();
        }
        const DWORD moveError = GetLastError();
        // A removal cut short after its record left the file where it was.
        const bool neverMoved =
            !FileExists(record.currentLocation) && FileExists(record.originalLocation);
        return neverMoved ? std::string() : RefusalOr(moveError, kOperationFailed);
    }
    win::UniqueRegKey key;
    const HKEY hive = HiveForRecord(record.root);
    const REGSAM access = record.keyView == kKeyPathInSystemView
                              ? InRealRegistryView(kRunKeyAccess)
                              : InThirtyTwoBitRegistryView(kRunKeyAccess);
    const LONG opened =
        hive ? RegOpenKeyExA(hive, record.originalLocation.c_str(), 0, access, key.Put())
             : ERROR_INVALID_HANDLE;
    if (opened != ERROR_SUCCESS) {
        return RefusalOr(static_cast<DWORD>(opened), kKeyNotOpened);
    }
    const std::string& data = record.currentLocation;
    const LONG set = RegSetValueExA(key.Get(), record.name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(data.c_str()),
                                    static_cast<DWORD>(data.size() + 1));
    if (set != ERROR_SUCCESS) {
        return RefusalOr(static_cast<DWORD>(set), kValueNotSet);
    }
    return std::string();
}

} // namespace

std::string GetFolderOfRemovedItems() {
    return JoinPath(GetExeDir(), "removed");
}

std::string GetFileOfRemovedInfoDataBase() {
    return GetRemovedIndexIn(GetFolderOfRemovedItems());
}

std::string GetRemovedIndexIn(const std::string& folder) {
    return JoinPath(folder, kIndexFileName);
}

bool ReadRemovedIndex(RemovedEntryList& entries, const std::string& file) {
    return ReadRecordFile(file, entries, ParseRemovedIndex);
}

bool WriteRemovedIndex(const RemovedEntryList& entries, const std::string& file) {
    return WriteFileWhole(file, FormatRemovedIndex(entries));
}

bool ResetFileAttributes(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
           SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool RemoveEntry(IRemovedEntriesPage& page, const AutostartEntry& entry) {
    if (entry.kind != AutostartKind::RunOrFolder) {
        DisableEntry(page, entry);
    } else if (entry.root == 0) {
        RemoveFile(page, entry);
    } else {
        RemoveValue(page, entry);
    }
    page.RefreshAfterChange();
    return true;
}

bool RemoveEntryAsShown(IRemovedEntriesPage& page, const AutostartEntry& shown) {
    AutostartEntry now;
    if (!ReadEntryNow(shown, now) || now.path != shown.path) {
        LogLine(" Not removed, changed since shown: " + shown.location + " " + shown.name);
        page.ShowMessage(kEntryChangedSinceShown);
        page.RefreshAfterChange();
        return false;
    }
    return RemoveEntry(page, now);
}

void RestoreEntry(IRemovedEntriesPage& page, int index) {
    RemovedEntryList& removed = page.GetRemovedEntries();
    if (index < 0 || static_cast<size_t>(index) >= removed.size()) {
        return;
    }
    const RemovedEntry record = removed[static_cast<size_t>(index)];
    const std::string indexFile = GetRemovedIndexIn(page.GetRemovedFolder());
    DWORD error = 0;
    if (!ReloadWholeIndex(removed, indexFile, error)) {
        page.ShowMessage(kOperationFailed);
        page.RefreshAfterChange();
        return;
    }
    // The record as the file holds it now: at the same place if still there.
    int at = index;
    if (static_cast<size_t>(at) >= removed.size() || removed[static_cast<size_t>(at)] != record) {
        at = -1;
        for (size_t i = 0; i < removed.size() && at < 0; ++i) {
            at = removed[i] == record ? static_cast<int>(i) : -1;
        }
    }
    if (at < 0) {
        page.ShowMessage(kOperationFailed);
    } else {
        const std::string failure = RestoreRecord(record);
        if (failure.empty()) {
            removed.erase(removed.begin() + at);
        } else {
            page.ShowMessage(failure);
        }
        WriteRemovedIndex(removed, indexFile);
    }
    page.RefreshAfterChange();
}
