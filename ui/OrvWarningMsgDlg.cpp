#include "ui/OrvWarningMsgDlg.h"

#include "app/AppIdentity.h"
#include "app/SettingsStore.h"
#include "ui/AppWindow.h"
#include "ui/DpiScale.h"
#include "ui/EntryActions.h"
#include "ui/ScreenDpi.h"

#include <utility>

namespace {

constexpr char kWarningsSection[] = "Options";
constexpr char kWarningsKey[] = "ShowWarningDialogs";

int g_objectCount = 0;

bool ReadWarningsSetting() {
    return GetSettings().GetBool(kWarningsSection, kWarningsKey, false);
}

} // namespace

COrvWarningMsgDlg::COrvWarningMsgDlg(const WarningSubject& subject, CWarningWindows& windows,
                                     UINT templateId)
    : win::Dialog(templateId), m_subject(subject), m_windows(windows) {
    LoadRichEditClasses();
    ++g_objectCount;
}

COrvWarningMsgDlg::~COrvWarningMsgDlg() {
    --g_objectCount;
}

int COrvWarningMsgDlg::GetObjectCount() {
    return g_objectCount;
}

bool COrvWarningMsgDlg::IsWarningWindow(HWND window) {
    return dynamic_cast<COrvWarningMsgDlg*>(win::Window::FromHandle(window)) != nullptr;
}

bool COrvWarningMsgDlg::Open() {
    // A window destroyed while it was being made leaves no handle behind.
    if (!Create(::GetDesktopWindow()) || !IsWindow()) {
        return false;
    }
    m_ownsItself = true;
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    return true;
}

BOOL COrvWarningMsgDlg::OnInitDialog() {
    m_windows.GetState().SetWarningDialogOpen(true);
    SetItemText(IDC_WARNING_TEXT, BuildWarningMessage(m_subject));

    SetSmallIcon(WindowDpi(m_hWnd));

    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE,
                        ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_NOACTIVATE);
    SetText(BuildWarningCaption(m_subject));
    SetItemText(IDC_WARNING_REMOVE, GetWarningRemoveText(m_subject.kind));
    return TRUE;
}

void COrvWarningMsgDlg::SetSmallIcon(int dpi) {
    // The system's small icon size is for its own scale; another screen's
    // takes it scaled. Not shared: a shared icon keeps the size it was first
    // loaded at.
    const int side = ScaleRounded(::GetSystemMetrics(SM_CXSMICON), dpi, SystemDpi());
    win::UniqueIcon icon(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(IDI_ORV_WARNING),
                                                         IMAGE_ICON, side, side, 0)));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.Get()));
    // The window shows the new icon now; the one it had can go.
    m_smallIcon = std::move(icon);
}

bool COrvWarningMsgDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != kDpiChanged) {
        return win::Dialog::OnMessage(msg, wParam, lParam, result);
    }
    MoveToSuggestedRect(m_hWnd, lParam);
    SetSmallIcon(LOWORD(wParam));
    result = 0;
    return true;
}

void COrvWarningMsgDlg::OnOK() {
    IWarningTarget* target = m_windows.GetTarget();
    if (target == nullptr) {
        return;
    }
    target->AcceptSubject(m_subject);
    Close();
}

void COrvWarningMsgDlg::OnCancel() {
    m_windows.GetState().RemindLater(m_subject.path);
    Close();
}

bool COrvWarningMsgDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDC_WARNING_REMOVE:
        RemoveOrKill();
        return true;
    case IDC_WARNING_PROPERTIES:
        ShowShellProperties(m_subject.path);
        return true;
    case IDC_WARNING_MORE_INFO:
        OpenOnlineInfo(m_subject.path);
        return true;
    default:
        return false;
    }
}

void COrvWarningMsgDlg::RemoveOrKill() {
    if (m_windows.GetTarget() == nullptr) {
        return;
    }
    const std::string question = BuildWarningQuestion(m_subject.kind);
    if (::MessageBoxA(m_hWnd, question.c_str(), kAppTitle, MB_YESNO) != IDYES) {
        return;
    }
    // Asked again: the program may have begun to end while the question was open.
    if (IWarningTarget* target = m_windows.GetTarget()) {
        target->RemoveSubject(m_subject);
        Close();
    }
}

void COrvWarningMsgDlg::Close() {
    ::DestroyWindow(m_hWnd);
}

void COrvWarningMsgDlg::OnFinalDestroy() {
    m_windows.GetState().SetWarningDialogOpen(false);
    if (m_ownsItself) {
        delete this;
    }
}

CWarningWindows::CWarningWindows(std::function<bool()> warningsOn)
    : m_warningsOn(warningsOn ? std::move(warningsOn)
                              : std::function<bool()>(ReadWarningsSetting)) {}

bool CWarningWindows::ShouldShowWarning(const std::string& path) {
    // The setting last: it is asked only when nothing else says no.
    return m_state.ShouldShowWarning(path, true) && m_warningsOn();
}

void CWarningWindows::OpenWarning(const WarningSubject& subject) {
    if (m_state.IsWarningDialogOpen()) {
        return;
    }
    auto* window = new COrvWarningMsgDlg(subject, *this, m_templateId);
    if (!window->Open()) {
        // The check runs every 200 ms: a window that cannot be made must not
        // leave an object behind each time, nor the gate closed.
        delete window;
        m_state.SetWarningDialogOpen(false);
    }
}

CWarningWindows& GetWarningWindows() {
    static CWarningWindows windows;
    return windows;
}
