#include "ui/PropPageInfoDlg.h"

BOOL CPropPageInfoDlg::OnInitDialog() {
    RecordLayout();
    return TRUE;
}
