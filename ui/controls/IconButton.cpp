#include "ui/controls/IconButton.h"

#include "ui/DpiScale.h"
#include "ui/ScreenDpi.h"

#include <windowsx.h>

#include <string>

namespace {

void FillWith(HDC dc, const RECT& rect, COLORREF colour) {
    win::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

} // namespace

CIconButton::CIconButton() {
    m_colours.background = ::GetSysColor(COLOR_WINDOW);
}

BOOL CIconButton::SetIcon(const char* resource, unsigned style, int width, int height) {
    m_resource = resource;
    m_style = style;
    m_scaledIcon = width == 0 && height == 0;
    if (!m_scaledIcon) {
        m_iconWidth = width;
        m_iconHeight = height;
    }
    return ReloadIcon();
}

BOOL CIconButton::ReloadIcon() {
    m_dpi = WindowDpi(m_hWnd);
    if (m_scaledIcon) {
        m_iconWidth = m_iconHeight = ScaleForDpi(kIconButtonIconSize, m_dpi);
    }
    m_icon.Reset(
        static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), m_resource, IMAGE_ICON,
                                        m_iconWidth, m_iconHeight, LR_DEFAULTCOLOR)));
    ICONINFO info{};
    BOOL result = m_icon ? ::GetIconInfo(m_icon.Get(), &info) : FALSE;
    // GetIconInfo hands out copies of the icon's bitmaps.
    win::UniqueBitmap mask(info.hbmMask);
    win::UniqueBitmap colour(info.hbmColor);
    return result;
}

bool CIconButton::OnReflected(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg != WM_DRAWITEM) {
        return false;
    }
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CIconButton::Draw(const DRAWITEMSTRUCT& item) {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const bool hover = ::PtInRect(&window, cursor) != FALSE;
    const int offset = (m_pressed || m_toggled) ? 1 : 0;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT whole{0, 0, width, height};
    HDC dc = item.hDC;

    FillWith(dc, whole, ChooseButtonBackground(m_colours, hover, m_toggled));
    ButtonFrame frame = ChooseButtonFrame(m_colours, hover, m_toggled);
    if (frame.on) {
        RECT inset{m_frameInsets[0], m_frameInsets[1], width - m_frameInsets[2],
                   height - m_frameInsets[3]};
        win::UniqueBrush brush(::CreateSolidBrush(frame.colour));
        ::FrameRect(dc, &inset, brush.Get());
    }

    const bool centred = (m_style & kIconButtonIconLeft) == 0;
    const int inset = ScaleForDpi(3, m_dpi);
    int iconX = centred ? width / 2 + offset - m_iconWidth / 2 : inset + offset;
    int iconY =
        centred ? static_cast<int>(height * 0.5 - m_iconHeight * 0.5 + offset) : inset + offset;
    if (m_icon) {
        ::DrawIconEx(dc, iconX, iconY, m_icon.Get(), m_iconWidth, m_iconHeight, 0, nullptr,
                     DI_NORMAL);
    }
    if (m_style & kIconButtonCaption) {
        // The dialog's font, which follows the screen's scale; the stock one is
        // the system's, of another size there.
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        win::SelectGuard select(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        RECT text{iconX + m_iconWidth + inset, 0, width, height};
        std::string caption = GetText();
        UINT format = DT_SINGLELINE | DT_VCENTER | (centred ? DT_CENTER : 0);
        ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    }
}

LRESULT CIconButton::OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const bool inside = ::PtInRect(&client, point) != FALSE;
    if (!inside) {
        m_pressed = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    if (m_captured) {
        if (inside) {
            return 0;
        }
        ::ReleaseCapture();
        m_captured = false;
    } else {
        ::SetCapture(m_hWnd);
        m_captured = true;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return DefaultProc(msg, wParam, lParam);
}

void CIconButton::WaitForButtonRelease() const {
    const int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    for (int poll = 0; poll < 100 && (::GetAsyncKeyState(button) & 0x8000); ++poll) {
        ::Sleep(10);
    }
}

LRESULT CIconButton::OnLeftButtonDown(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_captured) {
        ::SetCapture(m_hWnd);
    }
    m_pressed = true;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (m_style & kIconButtonCommandOnPress) {
        m_captured = false;
        ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, static_cast<WPARAM>(::GetDlgCtrlID(m_hWnd)),
                       0);
    } else {
        DefaultProc(msg, wParam, lParam);
    }
    if (m_style & kIconButtonToggle) {
        m_toggled = !m_toggled;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    WaitForButtonRelease();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    return 0;
}

LRESULT CIconButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEMOVE:
        return OnMouseMove(msg, wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLeftButtonDown(msg, wParam, lParam);
    case WM_LBUTTONUP:
        m_pressed = false;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return DefaultProc(msg, wParam, lParam);
    case kDpiChangedAfterParent:
        if (m_resource != nullptr) {
            ReloadIcon();
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDBLCLK: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        // A double click acts as a second click.
        ::PostMessageA(m_hWnd, WM_LBUTTONDOWN, 0, 0);
        ::PostMessageA(m_hWnd, WM_LBUTTONUP, 0, 0);
        return result;
    }
    default:
        return win::Window::WindowProc(msg, wParam, lParam);
    }
}
