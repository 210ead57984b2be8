#pragma once
// A property sheet on the system's own control, created modeless and attached
// to its object from creation, run in our own modal loop so that every message
// is offered first to PreTranslateMessage and to the modeless windows.
#include "win/Dialog.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

namespace win {

class PropSheet;

class PropertyPage : public Dialog {
  public:
    explicit PropertyPage(UINT templateId) : Dialog(templateId) {}
    // The page record handed to the system: 48 bytes, the template's caption is
    // the tab text.
    PROPSHEETPAGEA Describe();
    // Offered by the sheet's modal loop every message for this page or one of
    // its controls, before anything else; true swallows it.
    virtual bool PreTranslateMessage(MSG&) { return false; }

  protected:
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    virtual BOOL OnSetActive() { return TRUE; }
    virtual BOOL OnKillActive() { return TRUE; }

  private:
    friend class PropSheet;
    static INT_PTR CALLBACK PageProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    PropSheet* m_sheet = nullptr;
};

class PropSheet : public Window {
  public:
    PropSheet(std::string caption, HWND parent, UINT startPage);

    void AddPage(PropertyPage& page) {
        page.m_sheet = this;
        m_pages.push_back(&page);
    }
    // Creates the sheet and runs it until Exit/OK/Cancel closes it or WM_QUIT
    // arrives; then destroys the window. IDOK, IDCANCEL, or -1 if it never opened.
    INT_PTR DoModal();
    // Ends the modal loop from inside (the window is destroyed by DoModal).
    void EndModalLoop(INT_PTR result);

    void SetActivePage(PropertyPage& page);
    HWND GetTabControl() const;
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }

    // Offered every message of the modal loop first; true swallows it. The base
    // gives the sheet its keyboard navigation.
    virtual bool PreTranslateMessage(MSG& msg);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // After the system's own initialisation of the sheet.
    virtual BOOL OnInitDialog() { return TRUE; }

  private:
    friend class PropertyPage;
    bool IsFinished();

    std::string m_caption;
    HWND m_parent;
    UINT m_startPage;
    std::vector<PropertyPage*> m_pages;
    bool m_endModal = false;
    // Set when a button that may close the sheet told the pages so.
    bool m_buttonPressed = true;
    INT_PTR m_modalResult = IDCANCEL;
};

} // namespace win
