#include "autostart/AutostartScan.h"

#include "autostart/StartupApproved.h"
#include "autostart/SystemPlaces.h"

#include "app/LongPath.h"
#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/ShellShortcut.h"
#include "app/SystemFunctions.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "win/Handle.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::string LongFormOr(const std::string& path) {
    std::string longForm = GetLongPath(path);
    return longForm.empty() ? path : longForm;
}

// Buffers for one key's values, grown when a value does not fit them.
class ValueReader {
  public:
    explicit ValueReader(HKEY key) : m_key(key) {}

    // ERROR_SUCCESS with name and text set, ERROR_NO_MORE_ITEMS past the last
    // value, or the failure of the last attempt.
    LONG Read(DWORD index, std::string& name, std::string& text) {
        constexpr int kAttempts = 4;
        LONG result = ERROR_MORE_DATA;
        for (int attempt = 0; attempt < kAttempts && result == ERROR_MORE_DATA; ++attempt) {
            m_name[0] = '\0';
            DWORD nameChars = static_cast<DWORD>(m_name.size());
            DWORD dataBytes = static_cast<DWORD>(m_data.size());
            result = RegEnumValueA(m_key, index, m_name.data(), &nameChars, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(m_data.data()), &dataBytes);
            if (result == ERROR_SUCCESS) {
                name.assign(m_name.data(), strnlen(m_name.data(), m_name.size()));
                // Data of any type may hold no terminator: the returned length bounds it.
                const size_t length = std::min<size_t>(dataBytes, m_data.size());
                text.assign(m_data.data(), strnlen(m_data.data(), length));
            } else if (result == ERROR_MORE_DATA && !Grow(dataBytes)) {
                break;
            }
        }
        return result;
    }

  private:
    // Sizes the buffers for the largest value the key reports and the data
    // size the failed read reported; false when neither would grow.
    bool Grow(DWORD reportedDataBytes) {
        DWORD longestNameChars = 0;
        DWORD longestDataBytes = 0;
        RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestNameChars, &longestDataBytes, nullptr, nullptr);
        // An ANSI name may take two bytes a character, and the terminator.
        const size_t nameBytes = std::max<size_t>(m_name.size(), 2 * size_t{longestNameChars} + 1);
        const size_t dataBytes =
            std::max<size_t>({m_data.size(), size_t{reportedDataBytes}, size_t{longestDataBytes}});
        if (nameBytes == m_name.size() && dataBytes == m_data.size()) {
            return false;
        }
        m_name.resize(nameBytes);
        m_data.resize(dataBytes);
        return true;
    }

    static constexpr size_t kInitialBufferSize = 16383;
    HKEY m_key;
    std::vector<char> m_name = std::vector<char>(kInitialBufferSize);
    std::vector<char> m_data = std::vector<char>(kInitialBufferSize);
};

// Some keys are shared by both views of a 64-bit system (the Policies keys
// under Wine): the 32-bit programs' path then leads to the system's own key,
// which the system names without WOW6432Node. Such a key is listed once, by
// its own path.
bool IsThirtyTwoBitViewsOwnKey(HKEY key) {
    const auto queryKey = GetSystemFunctions().NtQueryKey;
    std::vector<char> information(4096);
    ULONG needed = 0;
    if (queryKey == nullptr || queryKey(key, kKeyNameInformationClass, information.data(),
                                        static_cast<ULONG>(information.size()), &needed) != 0) {
        return true;
    }
    ULONG nameBytes = 0;
    std::memcpy(&nameBytes, information.data(), sizeof nameBytes);
    const size_t chars =
        std::min<size_t>(nameBytes, information.size() - sizeof nameBytes) / sizeof(wchar_t);
    // ASCII is enough to find the view's part of the name.
    std::string name(chars, '?');
    for (size_t i = 0; i < chars; ++i) {
        wchar_t c = 0;
        std::memcpy(&c, information.data() + sizeof nameBytes + i * sizeof c, sizeof c);
        if (c < 0x80) {
            name[i] = static_cast<char>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
        }
    }
    return name.find("\\WOW6432NODE\\") != std::string::npos;
}

} // namespace

uint32_t RootOfHive(HKEY hive) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hive));
}

HKEY HiveOfRoot(uint32_t root) {
    // The predefined hives are negative 32-bit numbers, sign-extended in a 64-bit HKEY.
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(root)));
}

const std::vector<AutostartLocation>& GetAutostartLocations() {
    static const std::vector<AutostartLocation> table = BuildAutostartLocations(IsSystem64Bit());
    return table;
}

void EnumerateAutostartEntries(AutostartEntryList& entries) {
    for (const AutostartLocation& location : GetAutostartLocations()) {
        if (location.root == 0) {
            const std::string folder = GetSpecialFolderPath(location.csidl);
            if (!folder.empty()) {
                EnumerateStartupFolder(folder, entries);
            }
        } else {
            EnumerateRunKey(HiveOfRoot(location.root), location.keyPath, entries);
        }
    }
    MarkEntriesSwitchedOff(entries);
    EnumerateAutoStartServices(entries);
    EnumerateLogonHooks(entries);
}

bool ReadEntryNow(const AutostartEntry& entry, AutostartEntry& now) {
    AutostartEntryList entries;
    if (entry.kind != AutostartKind::RunOrFolder) {
        if (entry.kind == AutostartKind::Service) {
            EnumerateAutoStartServices(entries);
        } else {
            EnumerateLogonHooks(entries);
        }
        for (AutostartEntry& candidate : entries) {
            if (candidate.kind == entry.kind && candidate.location == entry.location &&
                candidate.itemName == entry.itemName) {
                now = std::move(candidate);
                return true;
            }
        }
        return false;
    }
    if (entry.root == 0) {
        EnumerateStartupFolder(GetFolderOfPath(entry.location), entries);
    } else {
        EnumerateRunKey(HiveOfRoot(entry.root), entry.location, entries);
    }
    for (AutostartEntry& candidate : entries) {
        const bool samePlace = entry.root == 0 ? IsSamePath(candidate.location, entry.location)
                                               : candidate.name == entry.name;
        if (samePlace) {
            now = std::move(candidate);
            return true;
        }
    }
    return false;
}

bool OpenKeyInItsView(HKEY hive, const std::string& keyPath, REGSAM access,
                      win::UniqueRegKey& key) {
    return RegOpenKeyExA(hive, keyPath.c_str(), 0, InRealRegistryView(access), key.Put()) ==
               ERROR_SUCCESS &&
           (!IsThirtyTwoBitViewKeyPath(keyPath) || IsThirtyTwoBitViewsOwnKey(key.Get()));
}

void EnumerateRunKey(HKEY hive, const std::string& keyPath, AutostartEntryList& entries) {
    win::UniqueRegKey key;
    if (!OpenKeyInItsView(hive, keyPath, KEY_READ, key)) {
        return;
    }
    ValueReader reader(key.Get());
    for (DWORD index = 0; index < kMaxValuesPerRunKey; ++index) {
        AutostartEntry entry;
        std::string text;
        const LONG result = reader.Read(index, entry.name, text);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            continue;
        }
        entry.path = LongFormOr(text);
        entry.location = keyPath;
        entry.root = RootOfHive(hive);
        entries.push_back(std::move(entry));
    }
}

void EnumerateStartupFolder(const std::string& folder, AutostartEntryList& entries) {
    FolderItemList items;
    ListFolder(folder, items, 0, 0);
    for (const autostart::FolderItem& item : items) {
        AutostartEntry entry;
        entry.location = item.path;
        entry.name = GetNameWithoutExt(item.path);
        const bool isShortcut = mbcs::CompareNoCase(GetExtNoDot(item.path), "lnk") == 0;
        const std::string target =
            isShortcut ? GetShortcutTarget(item.path, SLR_NO_UI | SLR_ANY_MATCH) : item.path;
        entry.path = LongFormOr(target);
        entry.root = 0;
        entries.push_back(std::move(entry));
    }
}

int ListFolder(const std::string& folder, FolderItemList& items, int maxDepth, int depth) {
    WIN32_FIND_DATAA found{};
    win::UniqueFind search(FindFirstFileA(JoinPath(folder, "\\*.*").c_str(), &found));
    if (!search) {
        return -1;
    }
    std::string prefix = folder;
    StripTrailingSlash(prefix);
    prefix += '\\';
    int count = 0;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) {
            continue;
        }
        autostart::FolderItem item;
        item.path = prefix + found.cFileName;
        const bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.size = isDirectory ? 0 : (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
        FileTimeToLocalFileTime(&found.ftCreationTime, &item.creationTime);
        FileTimeToLocalFileTime(&found.ftLastAccessTime, &item.lastAccessTime);
        FileTimeToLocalFileTime(&found.ftLastWriteTime, &item.lastWriteTime);
        item.attributes = found.dwFileAttributes &
                          (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
        const std::string path = item.path;
        items.push_back(std::move(item));
        ++count;
        if (isDirectory && maxDepth != 0 && (maxDepth == -1 || depth < maxDepth)) {
            ListFolder(path, items, maxDepth, depth + 1);
        }
    } while (FindNextFileA(search.Get(), &found));
    return count;
}

std::string GetSpecialFolderPath(int csidl) {
    win::UniqueItemIdList list;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.Put()))) {
        return std::string();
    }
    char buffer[1000] = {};
    SHGetPathFromIDListA(list.Get(), buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}
