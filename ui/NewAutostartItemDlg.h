#pragma once
// "Create new autostart item": asks for a title and a path and writes the entry.
#include "autostart/NewAutostartItem.h"
#include "win/Dialog.h"

class COrvNewAutostartItemDlg : public win::Dialog {
  public:
    COrvNewAutostartItemDlg();

    // The input as the dialog last read or wrote it.
    NewAutostartItem m_item;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

  private:
    void ReadControls();
    void WriteControls();
    void Browse();
};
