#include "ui/PropPages.h"

#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"

namespace {

constexpr UINT_PTR kPageTimerId = 0;
constexpr UINT kRescanPeriodMs = 30000;
constexpr UINT kProcessTickMs = 1000;
constexpr uint32_t kRefreshEveryTicks = 5;
constexpr uint32_t kSampleEveryTicks = 4;

// One count for the program's life, as the page may be created again.
uint32_t g_processTicks = 0;

} // namespace

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

CPropPageAutostartDlg::CPropPageAutostartDlg()
    : COrvPage(IDD_PAGE_AUTOSTART), m_current(JoinPath(GetExeDir(), "autostart.dat")) {}

BOOL CPropPageAutostartDlg::OnInitDialog() {
    m_current.GetAccepted().Reload();
    RefreshEntries(true);
    ::SetTimer(m_hWnd, kPageTimerId, kRescanPeriodMs, nullptr);
    RecordLayout();
    return TRUE;
}

bool CPropPageAutostartDlg::RefreshEntries(bool onlyIfChanged) {
    return m_current.Refresh(onlyIfChanged);
}

bool CPropPageAutostartDlg::CheckUnaccepted(IWarningGate& warnings) const {
    return m_current.CheckUnaccepted(warnings);
}

bool CPropPageAutostartDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_TIMER:
        RefreshEntries(true);
        result = 0;
        return true;
    case WM_DESTROY:
        m_current.GetAccepted().Store();
        return false;
    default:
        return false;
    }
}

CPropPageProcessDlg::CPropPageProcessDlg() : COrvPage(IDD_PAGE_PROCESSES) {}

BOOL CPropPageProcessDlg::OnInitDialog() {
    RefreshList();
    ::SetTimer(m_hWnd, kPageTimerId, kProcessTickMs, nullptr);
    RecordLayout();
    return TRUE;
}

void CPropPageProcessDlg::RefreshList() {
    m_table.Refresh();
}

void CPropPageProcessDlg::OnTimerTick() {
    ++g_processTicks;
    if (m_paused) {
        return;
    }
    if (g_processTicks % kRefreshEveryTicks == 0) {
        RefreshList();
    }
    if (g_processTicks % kSampleEveryTicks == 0) {
        m_table.SampleCpu();
    }
}

bool CPropPageProcessDlg::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_TIMER:
        OnTimerTick();
        result = 0;
        return true;
    case WM_DESTROY:
        m_table.StoreTrustList();
        return false;
    default:
        return false;
    }
}

BOOL CPropPageInfoDlg::OnInitDialog() {
    RecordLayout();
    return TRUE;
}
