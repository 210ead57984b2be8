#include "ui/EntryList.h"

#include "app/PathHelpers.h"
#include "ui/PageCommands.h"

#include <shellapi.h>

#include <unordered_map>

namespace {

bool IsKeyHeld(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

} // namespace

int KeyToCommand(WORD key) {
    switch (key) {
    case VK_INSERT:
        return kCommandNew;
    case 'N':
        return IsKeyHeld(VK_CONTROL) ? kCommandNew : 0;
    case VK_DELETE:
        return kCommandRemove;
    case VK_RETURN:
        return IsKeyHeld(VK_MENU) ? kCommandProperties : 0;
    case VK_F3:
        return kCommandOnlineInfo;
    case VK_F5:
        return kCommandRefresh;
    default:
        return 0;
    }
}

int GetFileIconIndex(const std::string& pathOrCommandLine) {
    static std::unordered_map<std::string, int> known;
    const std::string file = CommandLineToFilePath(pathOrCommandLine);
    const auto found = known.find(file);
    if (found != known.end()) {
        return found->second;
    }
    SHFILEINFOA info{};
    ::SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    known.emplace(file, info.iIcon);
    return info.iIcon;
}
