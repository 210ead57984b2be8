#pragma once
// The bar of five icon buttons at the top of both list pages: new, remove or
// kill, properties and online information go to the page that owns the bar;
// "Contact" opens the maker's contact page.
#include "res/resource.h"
#include "ui/PageCommands.h"
#include "ui/controls/IconButton.h"
#include "win/Dialog.h"

class COrvCommonDlg : public win::Dialog {
  public:
    COrvCommonDlg() : win::Dialog(IDD_ORV_COMMON) {}

    // The page that creates the bar sets itself as one of the two owners.
    void SetProcessesPage(IPageCommands* page) { m_processesPage = page; }
    void SetAutostartPage(IPageCommands* page) { m_autostartPage = page; }

  protected:
    BOOL OnInitDialog() override;
    // Enter and Escape must never close the bar: it lives as long as its page.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(WORD id, WORD code, HWND control) override;

  private:
    void Forward(int command);

    CIconButton m_new;
    CIconButton m_del;
    CIconButton m_prop;
    CIconButton m_online;
    CIconButton m_contact;
    IPageCommands* m_processesPage = nullptr;
    IPageCommands* m_autostartPage = nullptr;
};
