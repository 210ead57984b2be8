#include "ui/FileIcons.h"

#include "app/PathHelpers.h"

#include <windows.h>
#include <shellapi.h>

#include <unordered_map>

namespace {

constexpr UINT kSmallSystemIcon = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;

int AskShell(const std::string& key) {
    SHFILEINFOA info{};
    // The shell copies the name into buffers of MAX_PATH characters; an empty
    // name, or one with wildcards, would give the icon of a folder.
    const bool askable =
        !key.empty() && key.size() < MAX_PATH && key.find_first_of("*?") == std::string::npos;
    if (askable && ::SHGetFileInfoA(key.c_str(), 0, &info, sizeof info, kSmallSystemIcon) != 0) {
        return info.iIcon;
    }
    // A file that is missing (or a name too long to ask about) still shows the
    // icon of its type rather than a gap.
    const std::string ext = GetExtNoDot(key);
    const std::string typeName = ext.empty() || ext.size() > 16 ? "file" : "file." + ext;
    if (::SHGetFileInfoA(typeName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         kSmallSystemIcon | SHGFI_USEFILEATTRIBUTES) != 0) {
        return info.iIcon;
    }
    return -1;
}

} // namespace

int GetFileIconIndex(const std::string& pathOrCommandLine) {
    static std::unordered_map<std::string, int> cache;
    const std::string key = CommandLineToFilePath(pathOrCommandLine);
    const auto found = cache.find(key);
    if (found != cache.end()) {
        return found->second;
    }
    const int index = AskShell(key);
    cache.emplace(key, index);
    return index;
}
