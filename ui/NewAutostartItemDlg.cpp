#include "ui/NewAutostartItemDlg.h"

#include "res/resource.h"
#include "ui/AppWindow.h"
#include "win/CommonDialogs.h"

#include <vector>

COrvNewAutostartItemDlg::COrvNewAutostartItemDlg() : win::Dialog(IDD_NEW_AUTOSTART_ITEM) {}

BOOL COrvNewAutostartItemDlg::OnInitDialog() {
    m_item.allUsers = true;
    WriteControls();
    ::SetFocus(GetItem(IDC_NEW_TITLE));
    // The focus is set here, not by the system.
    return FALSE;
}

void COrvNewAutostartItemDlg::ReadControls() {
    m_item.title = GetItemText(IDC_NEW_TITLE);
    m_item.path = GetItemText(IDC_NEW_PATH);
    m_item.allUsers = ::IsDlgButtonChecked(m_hWnd, IDC_NEW_ALL_USERS) == BST_CHECKED;
    m_item.registry = ::IsDlgButtonChecked(m_hWnd, IDC_NEW_REGISTRY) == BST_CHECKED;
}

void COrvNewAutostartItemDlg::WriteControls() {
    SetItemText(IDC_NEW_TITLE, m_item.title);
    SetItemText(IDC_NEW_PATH, m_item.path);
    ::CheckDlgButton(m_hWnd, IDC_NEW_ALL_USERS, m_item.allUsers ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_NEW_REGISTRY, m_item.registry ? BST_CHECKED : BST_UNCHECKED);
}

void COrvNewAutostartItemDlg::Browse() {
    std::vector<char> file(520, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFilter = "All Files\0*.*\0Programs\0*.exe;*.pif;*.com\0\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = "Select a file";
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (win::ChooseFileToOpen(dialog)) {
        ReadControls();
        m_item.path = file.data();
        WriteControls();
    }
}

bool COrvNewAutostartItemDlg::OnCommand(WORD id, WORD code, HWND) {
    if (id == IDC_NEW_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return false;
}

void COrvNewAutostartItemDlg::OnOK() {
    ReadControls();
    std::string problem = CreateAutostartItem(m_item);
    if (!problem.empty()) {
        ShowChangeFailure(problem, m_hWnd);
        return;
    }
    EndDialog(IDOK);
}
