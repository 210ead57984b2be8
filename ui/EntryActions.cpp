#include "ui/EntryActions.h"

#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"
#include "app/UrlEncode.h"
#include "ui/AppWindow.h"
#include "ui/WebAddresses.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// The Windows folder as %SYSTEMROOT% names it; the system's own answer when the
// variable is not set (or empty), so the folder types still come out right.
std::string GetSystemRootFolder() {
    const std::string variable = "%SYSTEMROOT%";
    const std::string expanded = ExpandEnvVars(variable);
    if (!expanded.empty() && expanded != variable) {
        return expanded;
    }
    return GetWindowsDir();
}

} // namespace

void ShowShellProperties(const std::string& path) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // No error box of the shell's own: these actions report nothing.
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetAppMainWindow();
    info.lpVerb = "properties";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOW;
    ::ShellExecuteExA(&info);
}

void ShowShellPropertiesOfList(const std::vector<std::string>& paths) {
    if (!paths.empty()) {
        ShowShellProperties(paths.front());
    }
}

std::string GetDirectoryType(const std::string& path) {
    const std::string root = GetSystemRootFolder();
    if (root.empty()) {
        return "atypical";
    }
    const std::string dir = GetDirNoSlash(path);
    std::string type;
    if (IsSamePath(root, dir)) {
        type = "win";
    }
    if (IsSamePath(JoinPath(root, "System"), dir)) {
        type = "winsys";
    }
    if (IsSamePath(JoinPath(root, "System32"), dir)) {
        type = "winsys32";
    }
    return type.empty() ? "atypical" : type;
}

std::string BuildOnlineInfoAddress(const std::string& path) {
    std::string address = std::string(kMakerSiteRoot) + kOnlineInfoScriptPath;
    address += "?name=" + PercentEncode(GetFileNameWithExt(path));
    const int64_t size = GetFileSizeByFind(path, true);
    if (size != -1) {
        address += "&size=" + UInt64ToText(static_cast<uint64_t>(size));
    }
    address += "&dirtype=" + PercentEncode(GetDirectoryType(path));
    return address;
}

void OpenWebAddress(const std::string& address) {
    ::ShellExecuteA(nullptr, "", address.c_str(), "", "", SW_SHOWNORMAL);
}

void OpenOnlineInfo(const std::string& path) {
    OpenWebAddress(BuildOnlineInfoAddress(path));
}

std::string BuildSelectParameters(const std::string& path) {
    std::string unquoted = path;
    unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
    return "/select, \"" + unquoted + "\"";
}

void OpenContainingFolder(HWND owner, const std::string& path) {
    const std::string parameters = BuildSelectParameters(path);
    ::ShellExecuteA(owner, "", "Explorer", parameters.c_str(), "", SW_SHOWNORMAL);
}
