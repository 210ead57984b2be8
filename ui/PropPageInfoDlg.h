#pragma once
// The Info page: usage diagrams, figures, options, links and the report.
#include "res/resource.h"
#include "ui/OrvPage.h"

class CPropPageInfoDlg : public COrvPage {
  public:
    CPropPageInfoDlg() : COrvPage(IDD_PAGE_INFO) {}

  protected:
    BOOL OnInitDialog() override;
};
