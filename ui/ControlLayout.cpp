#include "ui/ControlLayout.h"

void CControlLayout::RecordChildren() {
    if (m_parent == nullptr) {
        return;
    }
    for (HWND child = ::GetWindow(m_parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindow(child)) {
            continue;
        }
        bool isButton = (::SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&rect), 2);
        m_items.push_back(Item{rect, child, isButton ? kMoveKeepSize : 15u});
    }
}

void CControlLayout::ApplyLayout(long left, long top, long right, long bottom) {
    if (m_parent == nullptr) {
        return;
    }
    long recordedWidth = m_recordedRect.right - m_recordedRect.left;
    long recordedHeight = m_recordedRect.bottom - m_recordedRect.top;
    if (recordedWidth == 0 || recordedHeight == 0) {
        return;
    }
    double sx = static_cast<double>(right - left) / recordedWidth;
    double sy = static_cast<double>(bottom - top) / recordedHeight;
    for (const Item& item : m_items) {
        LayoutBox box = ScaleChildBox(
            LayoutBox{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom}, item.flags,
            sx, sy);
        ::MoveWindow(item.window, box.left, box.top, box.right - box.left, box.bottom - box.top,
                     FALSE);
    }
    if (m_redraw) {
        ::InvalidateRect(m_parent, nullptr, TRUE);
        ::RedrawWindow(m_parent, nullptr, nullptr, 0);
    }
}

void CControlLayout::Relayout() {
    if (m_parent == nullptr) {
        return;
    }
    RECT rect{};
    ::GetWindowRect(m_parent, &rect);
    ApplyLayout(rect.left, rect.top, rect.right, rect.bottom);
}
