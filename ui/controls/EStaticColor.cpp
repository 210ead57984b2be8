#include "ui/controls/EStaticColor.h"

#include "ui/ScreenDpi.h"
#include "ui/controls/StaticColorLook.h"
#include "win/CommonDialogs.h"
#include "win/Handle.h"

#include <string>

namespace {

// Custom colours the user adds in the colour dialog, kept for the whole run.
COLORREF g_customColours[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};

RECT ToRect(const LookRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
    win::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

// A frame as many pixels wide as one 96-dpi pixel is at dpi.
void FrameWith(HDC dc, const RECT& rect, COLORREF colour, int dpi) {
    win::UniqueBrush brush(::CreateSolidBrush(colour));
    RECT ring = rect;
    for (int i = 0; i < ScaleForDpi(1, dpi); ++i) {
        ::FrameRect(dc, &ring, brush.Get());
        ::InflateRect(&ring, -1, -1);
    }
}

} // namespace

CEStaticColor::~CEStaticColor() {
    // The window may outlive this object; its timer must not.
    if (IsWindow()) {
        ::KillTimer(m_hWnd, kStaticColorTimer);
    }
}

void CEStaticColor::Redraw() const {
    if (IsWindow()) {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
}

void CEStaticColor::StartOnFirstPaint() {
    if (m_initialised) {
        return;
    }
    // The type is a field of the style, not a set of bits: or-ing SS_OWNERDRAW
    // into a right-aligned or simple static would make it an etched frame.
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_NOTIFY | SS_OWNERDRAW;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style);
    ::SetTimer(m_hWnd, kStaticColorTimer, kStaticColorTimerPeriod, nullptr);
    m_initialised = true;
}

void CEStaticColor::Draw(HDC dc) const {
    RECT whole{};
    ::GetClientRect(m_hWnd, &whole);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    const bool hover = ::PtInRect(&whole, cursor) != FALSE;
    const bool disabled = (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & WS_DISABLED) != 0;
    const StaticColorLook look = ChooseStaticColorLook(
        ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW), hover, disabled);

    const int dpi = WindowDpi(m_hWnd);
    const int saved = ::SaveDC(dc);
    FillWith(dc, whole, look.background);
    FrameWith(dc, whole, look.frame, dpi);

    const LookRect lookWhole{whole.left, whole.top, whole.right, whole.bottom};
    if (m_flags & kStaticColorDrawLabel) {
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        if (font != nullptr) {
            ::SelectObject(dc, font);
        }
        ::SetTextColor(dc, look.text);
        ::SetBkMode(dc, TRANSPARENT);
        RECT label = ToRect(LabelRect(lookWhole, dpi));
        const std::string text = GetText();
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &label,
                    DT_RIGHT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    const RECT swatch = ToRect(SwatchRect(lookWhole, dpi));
    FillWith(dc, swatch, m_colour & 0xFFFFFF);
    FrameWith(dc, swatch, SwatchFrameColour(m_colour), dpi);
    ::RestoreDC(dc, saved);
}

void CEStaticColor::TrackHover() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    if (cursor.x != m_lastMouse.x || cursor.y != m_lastMouse.y) {
        m_lastMouse = cursor;
        Redraw();
    }
}

void CEStaticColor::ChooseColour() {
    // The dialog has no owner, so the control stays clickable while it is open:
    // one dialog at a time.
    if (m_choosing) {
        return;
    }
    m_choosing = true;
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = nullptr;
    choose.rgbResult = m_colour & 0xFFFFFF;
    choose.lpCustColors = g_customColours;
    choose.Flags = CC_RGBINIT;
    const bool chosen = win::ChooseColour(choose);
    m_choosing = false;
    if (chosen) {
        m_colour = choose.rgbResult & 0xFFFFFF;
        // The window may have been closed while the dialog was open.
        Redraw();
    }
}

LRESULT CEStaticColor::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        StartOnFirstPaint();
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        if (dc != nullptr) {
            Draw(dc);
        }
        ::EndPaint(m_hWnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        Draw(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER: {
        if (wParam == kStaticColorTimer) {
            TrackHover();
        }
        return DefaultProc(msg, wParam, lParam);
    }
    case WM_ENABLE: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        Redraw();
        return result;
    }
    case WM_LBUTTONDOWN: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        ChooseColour();
        return result;
    }
    default:
        return win::Window::WindowProc(msg, wParam, lParam);
    }
}
