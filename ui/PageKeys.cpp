#include "ui/PageKeys.h"

#include "ui/PageCommands.h"

namespace {

bool IsKeyHeld(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

} // namespace

int KeyToCommand(UINT key, bool controlDown, bool altDown) {
    switch (key) {
    case VK_INSERT:
        return kCommandNew;
    case 'N':
        return controlDown ? kCommandNew : 0;
    case VK_DELETE:
        return kCommandRemove;
    case VK_RETURN:
        return altDown ? kCommandProperties : 0;
    case VK_F3:
        return kCommandOnlineInfo;
    case VK_F5:
        return kCommandRefresh;
    default:
        return 0;
    }
}

int KeyToCommand(UINT key) {
    return KeyToCommand(key, IsKeyHeld(VK_CONTROL), IsKeyHeld(VK_MENU));
}
