#include "ui/OrvPage.h"

void COrvPage::RecordLayout() {
    m_layout.Clear();
    m_layout.SetParent(m_hWnd);
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    m_layout.SetRecordedRect(window);
    m_layout.RecordChildren();
}

void COrvPage::RelayoutChildren() {
    if (!IsWindow()) {
        return;
    }
    m_layout.Relayout();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COrvPage::PrepareToShow() {
    const HWND sheet = ::GetParent(m_hWnd);
    if (IsWindow() &&
        reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) == m_hWnd) {
        ComeIntoView();
    }
}

BOOL COrvPage::OnSetActive() {
    ComeIntoView();
    return TRUE;
}
