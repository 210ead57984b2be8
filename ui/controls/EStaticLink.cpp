#include "ui/controls/EStaticLink.h"

#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"

#include <shellapi.h>

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 200);
constexpr WORD kHelpProgramHandCursor = 106;

struct SharedHand {
    HCURSOR cursor = nullptr;
    // Only a cursor copied from the help program is ours; the system's is shared.
    win::UniqueCursor owned;
    bool attempted = false;
};

SharedHand& Hand() {
    static SharedHand hand;
    return hand;
}

} // namespace

win::UniqueCursor LoadHelpProgramCursor(const std::string& programPath) {
    win::UniqueLibrary program(
        ::LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!program) {
        return win::UniqueCursor();
    }
    HCURSOR loaded = ::LoadCursorA(program.Get(), MAKEINTRESOURCEA(kHelpProgramHandCursor));
    // The loaded cursor belongs to the module; the copy survives its release.
    return win::UniqueCursor(loaded ? ::CopyIcon(loaded) : nullptr);
}

HCURSOR CEStaticLink::GetHandCursor() {
    SharedHand& hand = Hand();
    if (!hand.attempted) {
        hand.attempted = true;
        hand.cursor = ::LoadCursorA(nullptr, IDC_HAND);
        if (hand.cursor == nullptr) {
            const std::string windows = GetWindowsDir();
            if (!windows.empty()) {
                hand.owned = LoadHelpProgramCursor(JoinPath(windows, "winhlp32.exe"));
                hand.cursor = hand.owned.Get();
            }
        }
    }
    return hand.cursor;
}

CEStaticLink::~CEStaticLink() {
    if (m_underlineFont && IsWindow()) {
        ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_originalFont), FALSE);
    }
}

HBRUSH CEStaticLink::OnCtlColor(HDC dc) {
    if (!m_underlineFont) {
        m_originalFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        // A static without a font of its own draws with the system font.
        HFONT current =
            m_originalFont ? m_originalFont : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
        LOGFONTA font{};
        if (::GetObjectA(current, sizeof font, &font) == sizeof font) {
            font.lfUnderline = TRUE;
            m_underlineFont.Reset(::CreateFontIndirectA(&font));
        }
        // Some statics select their own font after asking for colours, which
        // would undo the selection below; so the control draws with it too.
        if (m_underlineFont) {
            ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_underlineFont.Get()),
                           FALSE);
        }
    }
    if (m_underlineFont) {
        ::SelectObject(dc, m_underlineFont.Get());
    }
    ::SetTextColor(dc, kLinkColour);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CEStaticLink::OnReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // The click is the link's own business, not a command for the parent.
        result = 0;
        return true;
    }
    if (msg == WM_CTLCOLORSTATIC) {
        const LONG_PTR type = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & SS_TYPEMASK;
        // Icons, frames and pictures keep the parent's colouring.
        if (type > SS_RIGHT) {
            return false;
        }
        result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
        return true;
    }
    return false;
}

LRESULT CEStaticLink::OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam) {
    HCURSOR hand = GetHandCursor();
    if (hand == nullptr) {
        return DefaultProc(msg, wParam, lParam);
    }
    ::SetCursor(hand);
    return TRUE;
}

void CEStaticLink::OpenTarget() const {
    if (m_target.empty()) {
        return;
    }
    ::ShellExecuteA(m_hWnd, nullptr, m_target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CEStaticLink::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCHITTEST:
        // Mouse messages reach the static even without SS_NOTIFY.
        return HTCLIENT;
    case WM_SETCURSOR:
        return OnSetCursor(msg, wParam, lParam);
    case WM_LBUTTONDOWN:
        OpenTarget();
        return 0;
    default:
        return win::Window::WindowProc(msg, wParam, lParam);
    }
}
