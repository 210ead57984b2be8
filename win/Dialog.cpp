#include "win/Dialog.h"

#include <algorithm>

namespace win {
namespace {

// Messages whose result a dialog procedure returns directly instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

} // namespace

INT_PTR Dialog::DoModal(HWND parent) {
    m_modeless = false;
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), parent,
                             &DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
    m_modeless = true;
    HWND window = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId),
                                       parent, &DialogProc, reinterpret_cast<LPARAM>(this));
    if (window != nullptr) {
        modeless::Add(window);
    }
    return window != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

bool Dialog::SubclassItem(Window& control, int id) {
    return control.Subclass(GetItem(id));
}

bool Dialog::OnCommand(WORD, WORD, HWND) {
    return false;
}
bool Dialog::OnNotify(NMHDR&, LRESULT&) {
    return false;
}
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
    } else {
        self = static_cast<Dialog*>(FromHandle(window));
    }
    return DispatchTo(self, window, msg, wParam, lParam);
}

INT_PTR Dialog::DispatchTo(Dialog* self, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (self == nullptr) {
        return FALSE;
    }
    if (msg == WM_INITDIALOG) {
        self->AttachHandle(window);
    }
    INT_PTR handled = FALSE;
    self->BeginMessage();
    try {
        handled = self->Dispatch(msg, wParam, lParam);
    } catch (...) {
        handled = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        modeless::Remove(window);
    }
    self->EndMessage(msg);
    return handled;
}

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    bool handled = false;
    if (ReflectToChild(m_hWnd, msg, wParam, lParam, result)) {
        handled = true;
    } else {
        switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            WORD id = LOWORD(wParam);
            WORD code = HIWORD(wParam);
            HWND control = reinterpret_cast<HWND>(lParam);
            if (id == IDOK && code == BN_CLICKED) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL && code == BN_CLICKED) {
                OnCancel();
                return TRUE;
            }
            handled = OnCommand(id, code, control);
            break;
        }
        case WM_NOTIFY:
            handled = OnNotify(*reinterpret_cast<NMHDR*>(lParam), result);
            break;
        default:
            handled = OnMessage(msg, wParam, lParam, result);
            break;
        }
    }
    if (!handled) {
        return FALSE;
    }
    if (ReturnsResultDirectly(msg)) {
        return result;
    }
    // Detached when a handler destroyed the window: no result to leave then.
    if (m_hWnd != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    }
    return TRUE;
}

} // namespace win
