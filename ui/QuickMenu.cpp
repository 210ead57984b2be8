#include "ui/QuickMenu.h"

#include "ui/AppWindow.h"

const char kQuickMenuRegisterFailed[] = "nie uda\xB3"
                                        "a si\xEA rej. okna dla dynamicznego menu. CQuickMenu";
const char kQuickMenuCreateFailed[] = "nie uda\xB3"
                                      "a si\xEA kreacja okna dla dynamicznego menu. CQuickMenu";

namespace {
const char kQuickMenuClass[] = "OrvQuickMenuWindow";
constexpr DWORD kQuickMenuStyle = 0x40CF0000;
} // namespace

CQuickMenu::CQuickMenu() = default;

CQuickMenu::~CQuickMenu() {
    m_menu.Reset();
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    }
}

int CQuickMenu::CreateMenuWindow(HWND parent) {
    if (!RegisterClassOnce(kQuickMenuClass, 0, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
                           nullptr)) {
        AppMessageBox(kQuickMenuRegisterFailed);
    }
    if (!CreateEx(0, kQuickMenuClass, "noName", kQuickMenuStyle, RECT{100, 100, 200, 200}, parent,
                  1)) {
        return AppMessageBox(kQuickMenuCreateFailed);
    }
    return 1;
}

void CQuickMenu::AppendItem(UINT flags, UINT id, const char* text) {
    if (text != nullptr) {
        m_itemIds.push_back(static_cast<int32_t>(id));
        m_itemTexts.emplace_back(text);
    }
    ::AppendMenuA(m_menu.Get(), flags, id, text);
}

int64_t CQuickMenu::Track(int, int x, int y, int) {
    POINT mouse{};
    ::GetCursorPos(&mouse);
    if (x == -1) {
        x = mouse.x;
    }
    if (y == -1) {
        y = mouse.y;
    }
    // The choice comes back as the result, so no message of the thread is
    // taken from its queue; 0 means the menu was dismissed.
    UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        m_menu.Get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0,
        m_hWnd, nullptr));
    if (chosen == 0) {
        return -1;
    }
    m_chosenId = static_cast<int32_t>(chosen);
    m_chosenIdHigh = 0;
    m_chosenIndex = m_chosenId - 1;
    for (size_t i = 0; i < m_itemIds.size(); ++i) {
        if (m_itemIds[i] == m_chosenId) {
            m_chosenText = m_itemTexts[i];
        }
    }
    return static_cast<int64_t>(static_cast<uint32_t>(m_chosenId)) |
           (static_cast<int64_t>(m_chosenIdHigh) << 32);
}
