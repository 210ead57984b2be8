#pragma once
// Dialogs built from templates, modal or modeless, with a small set of
// overridable handlers. Controls of the template are attached by id.
#include "win/Window.h"

#include <string>

namespace win {

class Dialog : public Window {
  public:
    explicit Dialog(UINT templateId) : m_templateId(templateId) {}

    // Runs the dialog modally; the result given to EndDialog, or -1.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless (hidden unless the template says visible); the
    // modal loop then offers it keyboard messages.
    bool Create(HWND parent = nullptr);
    // Modal: ends the dialog. Modeless: only hides it, as the system does.
    void EndDialog(INT_PTR result);

    UINT GetTemplateId() const { return m_templateId; }
    // Attaches control to the template's control id, so the notifications this
    // dialog receives for it are reflected to control.
    bool SubclassItem(Window& control, int id);

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A command from a control or menu; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    // Any other message; true when handled, with its result.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The dispatch shared by dialogs and property pages.
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR DispatchTo(Dialog* self, HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    UINT m_templateId;
    bool m_modeless = false;
};

} // namespace win
