#pragma once
// The Autostart page: the entries registered now and the removed ones, and the
// check for entries the user has not accepted.
#include "app/WarningGate.h"
#include "autostart/CurrentEntries.h"
#include "res/resource.h"
#include "ui/OrvPage.h"

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
