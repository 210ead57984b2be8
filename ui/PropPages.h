#pragma once
// The three pages of the main sheet.
#include "res/resource.h"
#include "win/PropSheet.h"

class CPropPageAutostartDlg : public win::PropertyPage {
  public:
    CPropPageAutostartDlg() : win::PropertyPage(IDD_PAGE_AUTOSTART) {}
};

class CPropPageProcessDlg : public win::PropertyPage {
  public:
    CPropPageProcessDlg() : win::PropertyPage(IDD_PAGE_PROCESSES) {}
};

class CPropPageInfoDlg : public win::PropertyPage {
  public:
    CPropPageInfoDlg() : win::PropertyPage(IDD_PAGE_INFO) {}
};
