#pragma once
// The main window: a resizable property sheet with the Autostart, Processes and
// Info pages, living mostly hidden behind its tray icon.
#include "ui/ControlLayout.h"
#include "ui/PropPageAutostartDlg.h"
#include "ui/PropPageInfoDlg.h"
#include "ui/PropPageProcessDlg.h"
#include "ui/TrayIcon.h"
#include "ui/TrayIconUpdater.h"
#include "ui/WarningTarget.h"
#include "win/PropSheet.h"

#include <string>

constexpr UINT WM_TRAYNOTIFY = WM_APP + 0x6F;
constexpr UINT WM_HIDESHEET = WM_APP + 0x71;
constexpr UINT kApplyNowId = 12321;

// The tray menu's commands.
enum TrayMenuItem : UINT {
    kTrayOpen = 1,
    kTrayAbout = 2,
    kTrayWebsite = 3,
    kTrayForum = 4,
    kTrayExit = 5,
};

class CQuickMenu;
// Open, About, a separator, ORV's Website, Forum, a separator, Exit.
void AppendTrayMenuItems(CQuickMenu& menu);

class CSheetDlg : public win::PropSheet, private IPageJumps {
  public:
    CSheetDlg(const std::string& caption, HWND parent, UINT startPage);

    void SetFirstUse(bool firstUse) { m_firstUse = firstUse; }
    bool PreTranslateMessage(MSG& msg) override;

    // Draws a new tray picture and tooltip from the current figures.
    void UpdateTrayIcon(bool unaccepted);
    void RelayoutSheet();

    CPropPageAutostartDlg m_pageAutostart;
    CPropPageProcessDlg m_pageProcess;
    CPropPageInfoDlg m_pageInfo;
    // Where the warning windows' buttons act, while the sheet lives.
    CPagesWarningTarget m_warningTarget{m_pageAutostart, m_pageProcess};

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

  private:
    const ProcessRowList& RunningProcesses() const override;
    const AutostartEntryList& AutostartEntries() const override;
    void ShowProcess(uint32_t processId) override;
    void ShowEntry(const AutostartEntry& entry) override;

    void OnTimer(WPARAM id);
    // Sizes changed: the layout follows at the relayout timer.
    void RequestRelayout();
    void OnRelayoutTimer();
    // Sent before the sheet shows or after it hides.
    void OnShowSheet(bool shown);
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowTrayMenu();
    bool OnSysCommand(WPARAM command);
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void OnDpiChanged(int dpi, LPARAM suggested);
    void BringUp();

    bool m_firstUse = false;
    RECT m_initialRect{};
    bool m_initialised = false;
    // The dots per inch the sheet is drawn at; m_initialRect is at this scale.
    int m_dpi = 96;
    bool m_relayoutPending = false;
    uint32_t m_tickCount = 0;
    CControlLayout m_layout;
    CTrayIcon m_tray;
    CTrayIconUpdater m_trayUpdater{m_tray};
};
