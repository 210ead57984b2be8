#include "ui/OrvCommonDlg.h"

#include "ui/WebAddresses.h"

#include <shellapi.h>

namespace {

constexpr ButtonColour kBarFrame = RGB(200, 200, 255);
constexpr ButtonColour kContactFrame = RGB(80, 80, 255);

void OpenContactPage() {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // A missing browser is not reported, like every other failed shell call here.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = kContactAddress;
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExA(&info);
}

std::string GetContactCaption() {
    return std::string("Contact via ") + kContactServiceName;
}

} // namespace

BOOL COrvCommonDlg::OnInitDialog() {
    struct ButtonSetup {
        CIconButton& button;
        int id;
        int icon;
        std::string caption;
    };
    const ButtonSetup buttons[] = {
        {m_new, IDC_BAR_NEW, IDI_BAR_NEW, "Create a new item"},
        {m_del, IDC_BAR_DEL, IDI_BAR_DEL, "Remove/kill"},
        {m_prop, IDC_BAR_PROP, IDI_BAR_PROP, "Shell properties"},
        {m_online, IDC_BAR_ONLINE, IDI_BAR_INFO, "More info"},
        {m_contact, IDC_BAR_CONTACT, IDI_BAR_INFO, GetContactCaption()},
    };
    for (const ButtonSetup& setup : buttons) {
        SubclassItem(setup.button, setup.id);
        setup.button.SetIcon(MAKEINTRESOURCEA(setup.icon),
                             kIconButtonCaption | kIconButtonIconLeft | kIconButtonCommandOnPress,
                             0, 0);
        setup.button.SetText(setup.caption);
        setup.button.m_colours.frame = ButtonFrame{kBarFrame, true};
    }
    m_contact.m_colours.frame.colour = kContactFrame;
    return TRUE;
}

bool COrvCommonDlg::OnCommand(WORD id, WORD code, HWND) {
    // The buttons also report double clicks, which already act as a second press.
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDC_BAR_NEW:
        Forward(kCommandNew);
        return true;
    case IDC_BAR_DEL:
        Forward(kCommandRemove);
        return true;
    case IDC_BAR_PROP:
        Forward(kCommandProperties);
        return true;
    case IDC_BAR_ONLINE:
        Forward(kCommandOnlineInfo);
        return true;
    case IDC_BAR_CONTACT:
        OpenContactPage();
        return true;
    default:
        return false;
    }
}

void COrvCommonDlg::Forward(int command) {
    if (m_processesPage != nullptr) {
        m_processesPage->RunCommand(command);
    }
    if (m_autostartPage != nullptr) {
        m_autostartPage->RunCommand(command);
    }
}
