#include "win/PropSheet.h"

#include "win/LoopWaits.h"

#include <cstddef>

namespace win {

// The second version of the record (48 bytes in a 32-bit program).
constexpr UINT kPageRecordSize =
    static_cast<UINT>(offsetof(PROPSHEETPAGEA, pszHeaderSubTitle) + sizeof(LPCSTR));
#ifndef _WIN64
static_assert(kPageRecordSize == 48);
#endif
static_assert(sizeof(PROPSHEETPAGEA) >= kPageRecordSize);

PROPSHEETPAGEA PropertyPage::Describe() {
    PROPSHEETPAGEA page{};
    page.dwSize = kPageRecordSize;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = ::GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(GetTemplateId());
    page.pfnDlgProc = &PageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK PropertyPage::PageProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    } else {
        self = static_cast<Dialog*>(FromHandle(window));
    }
    // OK and Apply tell every page PSN_APPLY, Cancel and Close PSN_RESET,
    // before the sheet lets go of its current page.
    if (msg == WM_NOTIFY && self != nullptr) {
        const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        PropSheet* sheet = static_cast<PropertyPage*>(self)->m_sheet;
        if (sheet != nullptr && (code == PSN_APPLY || code == PSN_RESET)) {
            sheet->m_buttonPressed = true;
        }
    }
    return DispatchTo(self, window, msg, wParam, lParam);
}

bool PropertyPage::OnNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return true;
    default:
        return false;
    }
}

PropSheet::PropSheet(std::string caption, HWND parent, UINT startPage)
    : m_caption(std::move(caption)), m_parent(parent), m_startPage(startPage) {}

INT_PTR PropSheet::DoModal() {
    // Page handles rather than an array of records: the system steps through
    // such an array by each record's own size, not the structure's.
    std::vector<HPROPSHEETPAGE> pages;
    for (PropertyPage* page : m_pages) {
        PROPSHEETPAGEA record = page->Describe();
        pages.push_back(::CreatePropertySheetPageA(&record));
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.hwndParent = m_parent;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = m_startPage;
    header.phpage = pages.data();

    m_endModal = false;
    m_modalResult = IDCANCEL;
    HWND sheet = nullptr;
    {
        CreationHook hook(*this);
        sheet = reinterpret_cast<HWND>(::PropertySheetA(&header));
    }
    if (sheet == nullptr || m_hWnd == nullptr) {
        return -1;
    }
    if (m_parent != nullptr) {
        ::EnableWindow(m_parent, FALSE);
    }

    MSG msg{};
    bool quit = false;
    while (!IsFinished()) {
        BOOL got = GetMessageOrSignal(msg);
        if (got == 0 || got == -1) {
            quit = got == 0;
            break;
        }
        if (PreTranslateMessage(msg) || modeless::IsDialogMessageOfAny(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }

    if (m_parent != nullptr) {
        ::EnableWindow(m_parent, TRUE);
    }
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    } else if (::IsWindow(sheet)) {
        ::DestroyWindow(sheet);
    }
    if (quit) {
        // Whoever waits for the thread's end sees the quit too.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    }
    return m_modalResult;
}

bool PropSheet::IsFinished() {
    if (m_endModal || m_hWnd == nullptr) {
        return true;
    }
    // A modeless sheet has no current page once OK, Cancel or Close pressed.
    // Asked only after such a button, not after each of the timers' messages.
    if (!m_buttonPressed) {
        return false;
    }
    m_buttonPressed = false;
    return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0)) == nullptr;
}

void PropSheet::EndModalLoop(INT_PTR result) {
    m_modalResult = result;
    m_endModal = true;
    // Wake the loop if it is waiting for a message.
    if (m_hWnd != nullptr) {
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
}

void PropSheet::SetActivePage(PropertyPage& page) {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i] == &page) {
            ::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

HWND PropSheet::GetTabControl() const {
    return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
}

bool PropSheet::PreTranslateMessage(MSG& msg) {
    for (PropertyPage* page : m_pages) {
        const HWND pageWindow = page->GetHwnd();
        if (pageWindow != nullptr && msg.hwnd != nullptr &&
            (msg.hwnd == pageWindow || ::IsChild(pageWindow, msg.hwnd)) &&
            page->PreTranslateMessage(msg)) {
            return true;
        }
    }
    // The sheet's keyboard navigation; any other message it would only
    // dispatch, as the loop does, at the cost of a message to the sheet.
    const bool keyboard = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    return keyboard && m_hWnd != nullptr &&
           ::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)) != 0;
}

LRESULT PropSheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        OnInitDialog();
        return result;
    }
    return Window::WindowProc(msg, wParam, lParam);
}

} // namespace win
