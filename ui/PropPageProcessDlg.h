#pragma once
// The Processes page: the running processes with their figures, and the check
// for processes the user has not accepted.
#include "process/ProcessTable.h"
#include "res/resource.h"
#include "ui/OrvPage.h"

#include <cstdint>

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
