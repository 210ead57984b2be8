#include "ui/OrvPage.h"

#include <algorithm>

void COrvPage::RecordLayout() {
    m_layout.Clear();
    m_layout.SetParent(m_hWnd);
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    // On a scaled screen the template's own font can lay the children out
    // wider or taller than the page the sheet made: recorded at their extent,
    // they are scaled into the page.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect{};
        ::GetWindowRect(child, &rect);
        window.right = std::max(window.right, rect.right);
        window.bottom = std::max(window.bottom, rect.bottom);
    }
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

void COrvPage::StartClock(unsigned periodMs) {
    m_clockPeriodMs = periodMs;
    m_sinceTickMs = 0;
    if (!m_onSheetClock && IsWindow()) {
        ::SetTimer(m_hWnd, kPageClockId, periodMs, nullptr);
    }
}

void COrvPage::UseSheetClock(bool sheetClock) {
    if (sheetClock == m_onSheetClock || !IsWindow() || m_clockPeriodMs == 0) {
        return;
    }
    m_onSheetClock = sheetClock;
    m_sinceTickMs = 0;
    if (sheetClock) {
        ::KillTimer(m_hWnd, kPageClockId);
    } else {
        ::SetTimer(m_hWnd, kPageClockId, m_clockPeriodMs, nullptr);
    }
}

void COrvPage::SheetTick(unsigned elapsedMs) {
    if (!m_onSheetClock) {
        return;
    }
    m_sinceTickMs += elapsedMs;
    if (m_sinceTickMs >= m_clockPeriodMs) {
        m_sinceTickMs -= m_clockPeriodMs;
        ClockTick();
    }
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
