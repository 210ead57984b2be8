#include "ui/SheetDlg.h"

#include "app/SettingsStore.h"
#include "app/SingleInstance.h"
#include "app/SystemHelpers.h"
#include "ui/AppWindow.h"
#include "ui/DpiScale.h"
#include "ui/EntryActions.h"
#include "ui/LogWindow.h"
#include "ui/OrvWarningMsgDlg.h"
#include "ui/QuickMenu.h"
#include "ui/ScreenDpi.h"
#include "ui/WebAddresses.h"

#include <shellapi.h>

#include <initializer_list>

namespace {

// What a second start of the program in this folder sends the running copy.
UINT ShowMeMessage() {
    static const UINT message = ShowRunningCopyMessage(GetExeDir());
    return message;
}

// The checks and the tray every 200 ms; a relayout is served 100 ms after it
// was asked for, by a timer of its own that runs only then.
constexpr UINT_PTR kSheetTimerId = 0;
constexpr UINT kSheetTimerPeriodMs = 200;
constexpr UINT_PTR kRelayoutTimerId = 1;
constexpr UINT kRelayoutDelayMs = 100;
constexpr DWORD kResizableStyles = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void OpenWebPage(const std::string& pathAndQuery) {
    OpenWebAddress(std::string(kMakerSiteRoot) + pathAndQuery);
}

bool IsKeyHeld(int key) {
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

} // namespace

CSheetDlg::CSheetDlg(const std::string& caption, HWND parent, UINT startPage)
    : win::PropSheet(caption, parent, startPage) {
    AddPage(m_pageAutostart);
    AddPage(m_pageProcess);
    AddPage(m_pageInfo);
    m_pageAutostart.SetJumps(this);
    m_pageProcess.SetJumps(this);
}

const ProcessRowList& CSheetDlg::RunningProcesses() const {
    return m_pageProcess.GetTable().GetRows();
}

const AutostartEntryList& CSheetDlg::AutostartEntries() const {
    return m_pageAutostart.GetEntries();
}

void CSheetDlg::ShowProcess(uint32_t processId) {
    SetActivePage(m_pageProcess);
    m_pageProcess.SelectProcess(processId);
}

void CSheetDlg::ShowEntry(const AutostartEntry& entry) {
    SetActivePage(m_pageAutostart);
    m_pageAutostart.SelectEntry(entry);
}

BOOL CSheetDlg::OnInitDialog() {
    SetAppMainWindow(m_hWnd);
    GetWarningWindows().SetTarget(&m_warningTarget);

    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&window), 2);
    m_initialRect = window;
    m_initialised = true;
    m_dpi = WindowDpi(m_hWnd);

    SetItemText(IDCANCEL, "Exit");
    ::ShowWindow(::GetDlgItem(m_hWnd, IDOK), SW_HIDE);
    ::ShowWindow(::GetDlgItem(m_hWnd, kApplyNowId), SW_HIDE);

    SetText(std::string("Orvane : ") + kMakerWebAddress);

    HICON programIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_ORVANE));
    m_tray.Add(m_hWnd, WM_TRAYNOTIFY, programIcon, "ORV");

    SetActivePage(m_pageInfo);
    SetActivePage(m_pageProcess);

    ::SetTimer(m_hWnd, kSheetTimerId, kSheetTimerPeriodMs, nullptr);

    m_layout.SetRedraw(true);
    m_layout.SetParent(m_hWnd);
    RECT recorded{};
    ::GetWindowRect(m_hWnd, &recorded);
    m_layout.SetRecordedRect(recorded);
    m_layout.RecordChildren();

    if (!m_firstUse) {
        ::PostMessageA(m_hWnd, WM_HIDESHEET, 0, 0);
    }
    return TRUE;
}

bool CSheetDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        if (msg.wParam == VK_F12 && IsKeyHeld(VK_SHIFT) && IsKeyHeld(VK_CONTROL) &&
            IsKeyHeld(VK_MENU)) {
            ToggleLogWindow();
        }
        // Neither key closes the sheet or presses a button; a warning window takes both.
        const bool forWarning =
            COrvWarningMsgDlg::IsWarningWindow(::GetAncestor(msg.hwnd, GA_ROOT));
        if (!forWarning && msg.message == WM_KEYDOWN &&
            (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
            return true;
        }
    }
    return win::PropSheet::PreTranslateMessage(msg);
}

void CSheetDlg::BringUp() {
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    constexpr UINT kShowOnly = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, kShowOnly);
    ::SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kShowOnly);
}

void CSheetDlg::OnTimer(WPARAM id) {
    if (id == kRelayoutTimerId) {
        OnRelayoutTimer();
        return;
    }
    // The count goes in steps of 100 ms, the checks and the tray on every
    // second step: each tick of the 200 ms timer is two steps.
    m_tickCount += 2;
    if (m_tickCount % 2 == 0) {
        IWarningGate& warnings = GetWarningWindows();
        // Both checks always run: each may open its own warning.
        bool unacceptedEntry = m_pageAutostart.CheckUnaccepted(warnings);
        bool unacceptedProcess = m_pageProcess.GetTable().CheckUnaccepted(warnings);
        UpdateTrayIcon(unacceptedEntry || unacceptedProcess);
    }
    // Hidden, this tick is the program's one clock: the pages' periodic work rides on it.
    const bool hidden = !::IsWindowVisible(m_hWnd);
    for (COrvPage* page :
         {static_cast<COrvPage*>(&m_pageAutostart), static_cast<COrvPage*>(&m_pageProcess),
          static_cast<COrvPage*>(&m_pageInfo)}) {
        page->UseSheetClock(hidden);
        page->SheetTick(kSheetTimerPeriodMs);
    }
}

void CSheetDlg::RequestRelayout() {
    if (!m_relayoutPending) {
        m_relayoutPending = true;
        ::SetTimer(m_hWnd, kRelayoutTimerId, kRelayoutDelayMs, nullptr);
    }
}

void CSheetDlg::OnRelayoutTimer() {
    ::KillTimer(m_hWnd, kRelayoutTimerId);
    // A hidden sheet has nothing to lay out; it is laid out when it shows.
    if (m_relayoutPending && ::IsWindowVisible(m_hWnd)) {
        m_relayoutPending = false;
        RelayoutSheet();
    }
}

void CSheetDlg::OnShowSheet(bool shown) {
    if (!shown) {
        return;
    }
    if (m_relayoutPending) {
        ::SetTimer(m_hWnd, kRelayoutTimerId, kRelayoutDelayMs, nullptr);
    }
    m_pageProcess.PrepareToShow();
    m_pageInfo.PrepareToShow();
}

void CSheetDlg::UpdateTrayIcon(bool unaccepted) {
    m_trayUpdater.Update(m_hWnd, unaccepted);
}

void CSheetDlg::RelayoutSheet() {
    if (m_hWnd == nullptr || !m_pageAutostart.IsWindow()) {
        return;
    }
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    if (HWND tabs = GetTabControl()) {
        RECT tabRect{};
        ::GetWindowRect(tabs, &tabRect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&tabRect), 2);
        ::MoveWindow(tabs, tabRect.left, tabRect.top,
                     rect.right - ScaleForDpi(8, m_dpi) - tabRect.left,
                     rect.bottom - ScaleForDpi(40, m_dpi) - tabRect.top, TRUE);
    }
    m_layout.Relayout();
    m_pageAutostart.RelayoutChildren();
    m_pageProcess.RelayoutChildren();
    m_pageInfo.RelayoutChildren();
}

void CSheetDlg::OnTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        if (::IsWindowVisible(m_hWnd)) {
            ::ShowWindow(m_hWnd, SW_HIDE);
        } else {
            BringUp();
        }
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        ShowTrayMenu();
    } else if (mouseMessage == WM_MOUSEMOVE) {
        m_trayUpdater.PointerOnIcon();
    }
}

void AppendTrayMenuItems(CQuickMenu& menu) {
    menu.AppendItem(0, kTrayOpen, "Open");
    menu.AppendItem(0, kTrayAbout, "About");
    menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
    menu.AppendItem(0, kTrayWebsite, "ORV's Website");
    menu.AppendItem(0, kTrayForum, "Forum");
    menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
    menu.AppendItem(0, kTrayExit, "Exit");
}

void CSheetDlg::ShowTrayMenu() {
    CQuickMenu menu;
    menu.AttachMenu(::CreatePopupMenu());
    menu.CreateMenuWindow(GetAppMainWindow());
    AppendTrayMenuItems(menu);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the null message lets it finish closing.
    ::SetForegroundWindow(m_hWnd);
    int64_t chosen = menu.Track(8, -1, -1, 0);
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    switch (chosen) {
    case kTrayOpen:
        BringUp();
        break;
    case kTrayAbout:
        BringUp();
        SetActivePage(m_pageInfo);
        break;
    case kTrayWebsite:
        OpenWebPage("/products/orvane/?id=orv");
        break;
    case kTrayForum:
        OpenWebPage("/forum/viewforum.php?f=9");
        break;
    case kTrayExit:
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
}

bool CSheetDlg::OnSysCommand(WPARAM command) {
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
    case SC_CLOSE:
        ::PostMessageA(m_hWnd, WM_HIDESHEET, 0, 0);
        return true;
    case SC_MAXIMIZE:
        RequestRelayout();
        return false;
    default:
        return false;
    }
}

void CSheetDlg::OnGetMinMaxInfo(MINMAXINFO& info) const {
    if (m_initialised) {
        info.ptMinTrackSize.x = m_initialRect.right - m_initialRect.left;
        info.ptMinTrackSize.y = m_initialRect.bottom - m_initialRect.top;
    }
}

// Moved to a screen of another scale: the system suggests the rectangle, and
// the children are laid out in proportion to it. What the pages draw follows
// the scale when they next draw.
void CSheetDlg::OnDpiChanged(int dpi, LPARAM suggested) {
    if (m_initialised) {
        for (LONG* edge : {&m_initialRect.left, &m_initialRect.top, &m_initialRect.right,
                           &m_initialRect.bottom}) {
            *edge = ScaleRounded(*edge, dpi, m_dpi);
        }
    }
    m_dpi = dpi;
    MoveToSuggestedRect(m_hWnd, suggested);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CSheetDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        if (result == -1) {
            return -1;
        }
        ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | kResizableStyles);
        return result;
    }
    case WM_DESTROY:
        m_tray.Delete();
        GetWarningWindows().SetTarget(nullptr);
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam)) {
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kSheetTimerId || wParam == kRelayoutTimerId) {
            // The system's sheet has nothing to do with our timers; passing
            // them on would cost two questions to the window server a tick.
            OnTimer(wParam);
            return 0;
        }
        break;
    case WM_HELP:
        OpenHelpPage();
        return TRUE;
    case WM_SIZE: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        RequestRelayout();
        return result;
    }
    case WM_GETMINMAXINFO: {
        LRESULT result = DefaultProc(msg, wParam, lParam);
        OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        return result;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kApplyNowId) {
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) {
            RequestRelayout();
        }
        break;
    case WM_ENDSESSION:
        // A tray program usually ends at logoff without a normal exit.
        if (wParam) {
            SaveSettingsNow();
        }
        break;
    case WM_HIDESHEET:
        ::ShowWindow(m_hWnd, SW_HIDE);
        break;
    case WM_SHOWWINDOW:
        OnShowSheet(wParam != FALSE);
        break;
    case WM_TRAYNOTIFY:
        OnTrayNotify(lParam);
        break;
    case kDpiChanged:
        OnDpiChanged(LOWORD(wParam), lParam);
        return 0;
    default:
        if (msg == TaskbarCreatedMessage()) {
            m_tray.Readd();
        } else if (msg == ShowMeMessage()) {
            // Another start of the program in this folder, which then ended.
            BringUp();
        }
        break;
    }
    return win::PropSheet::WindowProc(msg, wParam, lParam);
}
