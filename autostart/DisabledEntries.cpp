#include "autostart/DisabledEntries.h"

#include "app/ArchiveRecords.h"
#include "app/DataFile.h"
#include "app/Elevation.h"
#include "app/Log.h"
#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartMessages.h"
#include "autostart/SystemPlaces.h"
#include "win/Handle.h"

#include <windows.h>

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

const char kStoreFileName[] = "_disabled_.dat";

template <typename Archive, typename Record> void TransferRecord(Archive& archive, Record& record) {
    TransferRecordMark(archive);
    auto kind = static_cast<uint32_t>(record.kind);
    archive.Transfer(kind);
    if constexpr (!std::is_const_v<Record>) {
        record.kind = static_cast<AutostartKind>(kind);
    }
    archive.Transfer(record.name);
    archive.Transfer(record.location);
    archive.Transfer(record.itemName);
    archive.Transfer(record.root);
    archive.Transfer(record.oldType);
    archive.Transfer(record.oldData);
}

using win::UniqueServiceHandle;

constexpr DWORD kServiceAccess = SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG;
constexpr REGSAM kValueAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// ERROR_SUCCESS with the service open, or why not.
DWORD OpenService(const std::string& name, UniqueServiceHandle& manager,
                  UniqueServiceHandle& service) {
    manager.Reset(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (manager) {
        service.Reset(OpenServiceA(manager.Get(), name.c_str(), kServiceAccess));
    }
    return service ? ERROR_SUCCESS : GetLastError();
}

DWORD SetStartType(SC_HANDLE service, DWORD startType) {
    return ChangeServiceConfigA(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr)
               ? ERROR_SUCCESS
               : GetLastError();
}

DWORD OpenHookKey(const DisabledEntry& record, win::UniqueRegKey& key) {
    if (record.root != kRootLocalMachine) {
        return ERROR_INVALID_HANDLE;
    }
    return static_cast<DWORD>(RegOpenKeyExA(HKEY_LOCAL_MACHINE, record.location.c_str(), 0,
                                            InRealRegistryView(kValueAccess), key.Put()));
}

// What the record needs of the entry as it is now, read through the handle
// that will change it. ERROR_SUCCESS or why not.
DWORD ReadOldState(SC_HANDLE service, HKEY key, DisabledEntry& record) {
    if (service != nullptr) {
        std::vector<BYTE> buffer;
        const QUERY_SERVICE_CONFIGA* config = ReadServiceConfig(service, buffer);
        if (config == nullptr) {
            return GetLastError();
        }
        record.oldType = config->dwStartType;
        return ERROR_SUCCESS;
    }
    DWORD type = 0;
    DWORD bytes = 0;
    LONG result = RegQueryValueExA(key, record.itemName.c_str(), nullptr, &type, nullptr, &bytes);
    if (result != ERROR_SUCCESS) {
        return static_cast<DWORD>(result);
    }
    record.oldData.assign(bytes, '\0');
    result = RegQueryValueExA(key, record.itemName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(record.oldData.data()), &bytes);
    record.oldData.resize(std::min<size_t>(bytes, record.oldData.size()));
    record.oldType = type;
    return static_cast<DWORD>(result);
}

DWORD SetText(HKEY key, const std::string& name, DWORD type, const std::string& text) {
    return static_cast<DWORD>(RegSetValueExA(key, name.c_str(), 0, type,
                                             reinterpret_cast<const BYTE*>(text.c_str()),
                                             static_cast<DWORD>(text.size() + 1)));
}

// Switches the hook off: the system's own Shell or Userinit, no AppInit_DLLs,
// no Debugger.
DWORD ResetHook(HKEY key, const DisabledEntry& record) {
    if (record.itemName == kDebuggerValueName) {
        return static_cast<DWORD>(RegDeleteValueA(key, record.itemName.c_str()));
    }
    if (mbcs::CompareNoCase(record.itemName, "AppInit_DLLs") == 0) {
        return SetText(key, record.itemName, record.oldType, std::string());
    }
    return SetText(key, record.itemName, REG_SZ, DefaultHookValue(record.itemName, GetSystemDir()));
}

bool SameRecordPlace(const DisabledEntry& a, const DisabledEntry& b) {
    return a.kind == b.kind && a.root == b.root &&
           mbcs::CompareNoCase(a.location, b.location) == 0 &&
           mbcs::CompareNoCase(a.itemName, b.itemName) == 0;
}

// The store as the file holds it now; false when it exists but is not whole.
bool ReadWholeStore(DisabledEntryList& records, const std::string& file) {
    std::string bytes;
    if (!ReadDataFile(file, bytes)) {
        const DWORD error = GetLastError();
        records.clear();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return bytes.empty() ? (records.clear(), true) : ParseDisabledEntries(bytes, records);
}

void Fail(IRemovedEntriesPage& page, DWORD error) {
    LogValue(" Operation failed, last error:", error);
    page.ShowMessage(RefusalOr(error, kOperationFailed));
}

} // namespace

bool ParseDisabledEntries(const std::string& bytes, DisabledEntryList& records) {
    return ReadCountedRecords(bytes, records, kDisabledRecordMinBytes,
                              [](auto& archive, auto& record) { TransferRecord(archive, record); });
}

std::string FormatDisabledEntries(const DisabledEntryList& records) {
    return WriteCountedRecords(
        records, [](auto& archive, auto& record) { TransferRecord(archive, record); });
}

std::string GetDisabledStoreIn(const std::string& folder) {
    return JoinPath(folder, kStoreFileName);
}

bool ReadDisabledEntries(DisabledEntryList& records, const std::string& file) {
    return ReadRecordFile(file, records, ParseDisabledEntries);
}

std::string GetDisabledOriginalText(const DisabledEntry& record) {
    AutostartEntry origin;
    origin.location = record.location;
    origin.root = record.root;
    origin.kind = record.kind;
    origin.itemName = record.itemName;
    return GetLocationDisplayText(origin);
}

std::string GetDisabledCurrentText(const DisabledEntry& record) {
    return record.kind == AutostartKind::Service ? "Starts on demand"
                                                 : "Reset, the old value in my database";
}

void DisableEntry(IRemovedEntriesPage& page, const AutostartEntry& entry) {
    const std::string folder = page.GetRemovedFolder();
    const std::string file = GetDisabledStoreIn(folder);
    LogLine(" Switching off: " + entry.location + " " + entry.itemName);
    DisabledEntryList records;
    if (!ReadWholeStore(records, file)) {
        Fail(page, ERROR_INVALID_DATA);
        return;
    }
    DisabledEntry record{entry.kind, entry.name, entry.location, entry.itemName, entry.root};
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
    win::UniqueRegKey key;
    const bool isService = entry.kind == AutostartKind::Service;
    DWORD error =
        isService ? OpenService(entry.itemName, manager, service) : OpenHookKey(record, key);
    if (error == ERROR_SUCCESS) {
        error = ReadOldState(service.Get(), key.Get(), record);
    }
    if (error != ERROR_SUCCESS) {
        Fail(page, error);
        return;
    }
    // The latest state is the one to come back to.
    records.erase(
        std::remove_if(records.begin(), records.end(),
                       [&](const DisabledEntry& r) { return SameRecordPlace(r, record); }),
        records.end());
    records.push_back(record);
    // The record is on the disk before anything changes.
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (!WriteFileWhole(file, FormatDisabledEntries(records))) {
        Fail(page, GetLastError());
        return;
    }
    error = isService ? SetStartType(service.Get(), SERVICE_DEMAND_START)
                      : ResetHook(key.Get(), record);
    if (error != ERROR_SUCCESS) {
        records.pop_back();
        WriteFileWhole(file, FormatDisabledEntries(records));
        Fail(page, error);
        return;
    }
    LogLine(" Switched off");
}

void RestoreDisabledEntry(IRemovedEntriesPage& page, const DisabledEntry& record) {
    const std::string file = GetDisabledStoreIn(page.GetRemovedFolder());
    DisabledEntryList records;
    const bool whole = ReadWholeStore(records, file);
    const auto at = std::find(records.begin(), records.end(), record);
    if (!whole || at == records.end()) {
        Fail(page, ERROR_INVALID_DATA);
        page.RefreshAfterChange();
        return;
    }
    UniqueServiceHandle manager;
    UniqueServiceHandle service;
    win::UniqueRegKey key;
    DWORD error = 0;
    if (record.kind == AutostartKind::Service) {
        error = OpenService(record.itemName, manager, service);
        if (error == ERROR_SUCCESS) {
            error = SetStartType(service.Get(), record.oldType);
        }
    } else {
        error = OpenHookKey(record, key);
        if (error == ERROR_SUCCESS) {
            error = static_cast<DWORD>(
                RegSetValueExA(key.Get(), record.itemName.c_str(), 0, record.oldType,
                               reinterpret_cast<const BYTE*>(record.oldData.data()),
                               static_cast<DWORD>(record.oldData.size())));
        }
    }
    if (error == ERROR_SUCCESS) {
        records.erase(at);
        if (!WriteFileWhole(file, FormatDisabledEntries(records))) {
            Fail(page, GetLastError());
        }
    } else {
        Fail(page, error);
    }
    page.RefreshAfterChange();
}
