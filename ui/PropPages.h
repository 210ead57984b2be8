#pragma once
// The three pages of the main sheet. Each keeps the layout of its own
// children; the Autostart and Processes pages own the data their lists show
// and the checks for entries and processes the user has not accepted.
#include "app/WarningGate.h"
#include "autostart/CurrentEntries.h"
#include "process/ProcessTable.h"
#include "res/resource.h"
#include "ui/ControlLayout.h"
#include "win/PropSheet.h"

#include <cstdint>

class COrvPage : public win::PropertyPage {
  public:
    explicit COrvPage(UINT templateId) : win::PropertyPage(templateId) {}
    // Fits the children to the page's present size and repaints at once.
    void RelayoutChildren();

  protected:
    // Records the children as they stand now, for later relayouts.
    void RecordLayout();

  private:
    CControlLayout m_layout;
};

class CPropPageAutostartDlg : public COrvPage {
  public:
    CPropPageAutostartDlg();

    // True when some current entry is not accepted; may open a warning.
    bool CheckUnaccepted(IWarningGate& warnings) const;
    const CCurrentEntries& GetCurrentEntries() const { return m_current; }

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // Rescans; true when what the page shows has changed.
    bool RefreshEntries(bool onlyIfChanged);

    CCurrentEntries m_current;
};

class CPropPageProcessDlg : public COrvPage {
  public:
    CPropPageProcessDlg();

    CProcessTable& GetTable() { return m_table; }
    // The full refresh: a new snapshot of the running processes.
    void RefreshList();

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void OnTimerTick();

    CProcessTable m_table;
    // Set while a context menu is open, so the timer leaves the rows alone.
    bool m_paused = false;
};

class CPropPageInfoDlg : public COrvPage {
  public:
    CPropPageInfoDlg() : COrvPage(IDD_PAGE_INFO) {}

  protected:
    BOOL OnInitDialog() override;
};
