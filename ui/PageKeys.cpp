#include "ui/PageKeys.h"

#include "ui/PageCommands.h"

#include <commctrl.h>

namespace {

bool IsKeyHeld(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

// The key itself still goes on, or releasing Alt would open the window menu;
// the character it makes is dropped, as no menu has it.
LRESULT CALLBACK PassAltEnter(HWND list, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR page) {
    if (msg == WM_SYSKEYDOWN && wParam == VK_RETURN) {
        if (const int command = KeyToCommand(VK_RETURN)) {
            reinterpret_cast<IPageCommands*>(page)->RunCommand(command);
        }
    } else if (msg == WM_SYSCHAR && wParam == '\r') {
        return 0;
    } else if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(list, &PassAltEnter, id);
    }
    return ::DefSubclassProc(list, msg, wParam, lParam);
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

void PassAltEnterToPage(HWND list, IPageCommands& page) {
    ::SetWindowSubclass(list, &PassAltEnter, 1, reinterpret_cast<DWORD_PTR>(&page));
}
