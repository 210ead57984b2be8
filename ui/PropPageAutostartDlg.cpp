#include "ui/PropPageAutostartDlg.h"

#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"

namespace {

constexpr UINT_PTR kPageTimerId = 0;
constexpr UINT kRescanPeriodMs = 30000;

} // namespace

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
