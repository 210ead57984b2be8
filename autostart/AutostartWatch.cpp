#include "autostart/AutostartWatch.h"

#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"

namespace {

constexpr DWORD kKeyChanges = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
constexpr DWORD kFolderChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

// The key, or the nearest of its parents that exists, opened to be watched.
std::string OpenNearestKey(HKEY hive, const std::string& path, win::UniqueRegKey& key) {
    std::string nearest = path;
    for (;;) {
        if (::RegOpenKeyExA(hive, nearest.c_str(), 0, InRealRegistryView(KEY_NOTIFY), key.Put()) ==
            ERROR_SUCCESS) {
            return nearest;
        }
        const size_t cut = nearest.rfind('\\');
        if (cut == std::string::npos) {
            return {};
        }
        nearest.resize(cut);
    }
}

} // namespace

CAutostartWatch::CAutostartWatch(const std::vector<AutostartLocation>& locations) {
    for (const AutostartLocation& location : locations) {
        Watch watch;
        watch.location = location;
        if (Arm(watch)) {
            m_watches.push_back(std::move(watch));
        } else {
            ++m_unwatched;
        }
    }
}

bool CAutostartWatch::Arm(Watch& watch) {
    const AutostartLocation& location = watch.location;
    if (location.root == 0) {
        if (!watch.folder) {
            const std::string folder = GetSpecialFolderPath(location.csidl);
            watch.folder.Reset(folder.empty() ? INVALID_HANDLE_VALUE
                                              : ::FindFirstChangeNotificationA(
                                                    folder.c_str(), FALSE, kFolderChanges));
            watch.watchedKey = folder;
            return static_cast<bool>(watch.folder);
        }
        return ::FindNextChangeNotification(watch.folder.Get()) != FALSE;
    }
    const HKEY hive = HiveOfRoot(location.root);
    // A parent watched while the key was missing: move to the key once it is there.
    if (!watch.key || watch.watchedKey != location.keyPath) {
        watch.watchedKey = OpenNearestKey(hive, location.keyPath, watch.key);
        if (watch.watchedKey.empty()) {
            return false;
        }
    }
    if (!watch.keyEvent) {
        watch.keyEvent.Reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    }
    const BOOL subtree = watch.watchedKey != location.keyPath || location.subtree;
    return watch.keyEvent && ::RegNotifyChangeKeyValue(watch.key.Get(), subtree, kKeyChanges,
                                                       watch.keyEvent.Get(), TRUE) == ERROR_SUCCESS;
}

std::vector<HANDLE> CAutostartWatch::Events() const {
    std::vector<HANDLE> events;
    events.reserve(m_watches.size());
    for (const Watch& watch : m_watches) {
        events.push_back(watch.location.root == 0 ? watch.folder.Get() : watch.keyEvent.Get());
    }
    return events;
}

bool CAutostartWatch::Rearm(size_t index) {
    if (index >= m_watches.size()) {
        return false;
    }
    Watch& watch = m_watches[index];
    if (!Arm(watch)) {
        // The key went (deleted with its parent, say): start again from what exists.
        watch.key.Reset();
        if (!Arm(watch)) {
            ++m_unwatched;
        }
    }
    return true;
}

std::string CAutostartWatch::WatchedPath(size_t index) const {
    return index < m_watches.size() ? m_watches[index].watchedKey : std::string();
}
