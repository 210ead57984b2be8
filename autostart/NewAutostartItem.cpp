#include "autostart/NewAutostartItem.h"

#include "app/Elevation.h"
#include "app/PathHelpers.h"
#include "app/ShellShortcut.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartMessages.h"
#include "autostart/AutostartScan.h"
#include "win/Handle.h"

#include <shlobj.h>

const char kNewItemNeedsTitle[] = "You have to enter a valid title, this can be anything";
const char kNewItemNeedsPath[] = "You have to enter a valid path";
const char kNewItemTitleExists[] =
    "A file with this title already exists, please enter a different one";

namespace {

std::string CreateShortcutEntry(const NewAutostartItem& item) {
    std::string shortcut = NewShortcutPath(item);
    // Without its folder the shortcut would land beside the program, where
    // nothing starts it.
    if (shortcut.empty()) {
        return kOperationFailed;
    }
    if (FileExists(shortcut)) {
        return kNewItemTitleExists;
    }
    CreateShortcut(shortcut, item.path, "auto", "");
    // The shell reports nothing when the title is no valid file name.
    return FileExists(shortcut) ? std::string() : std::string(kOperationFailed);
}

std::string CreateRegistryEntry(const NewAutostartItem& item) {
    HKEY hive = item.allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    win::UniqueRegKey key;
    const LONG opened =
        ::RegOpenKeyExA(hive, kRunKeyPath, 0, InRealRegistryView(KEY_READ | KEY_WRITE), key.Put());
    if (opened != ERROR_SUCCESS) {
        return RefusalOr(static_cast<DWORD>(opened), kKeyNotOpened);
    }
    const LONG set = ::RegSetValueExA(key.Get(), item.title.c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(item.path.c_str()),
                                      static_cast<DWORD>(item.path.size() + 1));
    if (set != ERROR_SUCCESS) {
        return RefusalOr(static_cast<DWORD>(set), kValueNotSet);
    }
    return {};
}

} // namespace

std::string NewShortcutPath(const NewAutostartItem& item) {
    std::string folder = GetSpecialFolderPath(item.allUsers ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP);
    if (folder.empty()) {
        return {};
    }
    return JoinPath(folder, item.title) + ".lnk";
}

std::string CreateAutostartItem(const NewAutostartItem& item) {
    if (item.title.empty()) {
        return kNewItemNeedsTitle;
    }
    if (item.path.empty()) {
        return kNewItemNeedsPath;
    }
    return item.registry ? CreateRegistryEntry(item) : CreateShortcutEntry(item);
}
