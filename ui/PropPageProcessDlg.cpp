#include "ui/PropPageProcessDlg.h"

namespace {

constexpr UINT_PTR kPageTimerId = 0;
constexpr UINT kProcessTickMs = 1000;
constexpr uint32_t kRefreshEveryTicks = 5;
constexpr uint32_t kSampleEveryTicks = 4;

// One count for the program's life, as the page may be created again.
uint32_t g_processTicks = 0;

} // namespace

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
