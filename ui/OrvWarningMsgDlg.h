#pragma once
// The new-entry warning: a small modeless window over the desktop that names
// an autostart entry or a running process the user has not accepted, and
// offers to accept it, to be reminded later, to remove or kill it, to show its
// shell properties or to look it up online. At most one is open in the whole
// program; it deletes itself after its window is destroyed.
#include "app/WarningGate.h"
#include "res/resource.h"
#include "ui/WarningState.h"
#include "win/Dialog.h"
#include "win/Handle.h"

#include <functional>
#include <string>

// What the warning's buttons change in the program: the main sheet's pages.
class IWarningTarget {
  public:
    // Accepts the subject's path in its page's list and writes that list's
    // file ("autostart.dat" or "processes.dat").
    virtual void AcceptSubject(const WarningSubject& subject) = 0;
    // Removes the entry from the autostart, or ends the process.
    virtual void RemoveSubject(const WarningSubject& subject) = 0;

  protected:
    ~IWarningTarget() = default;
};

class CWarningWindows;

class COrvWarningMsgDlg : public win::Dialog {
  public:
    COrvWarningMsgDlg(const WarningSubject& subject, CWarningWindows& windows,
                      UINT templateId = IDD_WARNING_MSG);
    ~COrvWarningMsgDlg() override;

    // Creates the window modeless, its parent the desktop, and shows it; from
    // then on the object deletes itself after its window is destroyed. False
    // when no window could be made: the object is then the caller's to delete.
    bool Open();
    const WarningSubject& GetSubject() const { return m_subject; }

    // How many warning objects exist now.
    static int GetObjectCount();
    // True when the window is a warning window.
    static bool IsWarningWindow(HWND window);

  protected:
    BOOL OnInitDialog() override;
    // "&Accept it", and the Enter key.
    void OnOK() override;
    // "&Remind later", the Escape key and the window's close command.
    void OnCancel() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnFinalDestroy() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void RemoveOrKill();
    void Close();
    // The caption's icon at the screen's scale.
    void SetSmallIcon(int dpi);

    WarningSubject m_subject;
    CWarningWindows& m_windows;
    bool m_ownsItself = false;
    win::UniqueIcon m_smallIcon;
};

// The gate both unaccepted checks ask: the program's one warning state, the
// setting Options/ShowWarningDialogs, and where the buttons take effect.
class CWarningWindows : public IWarningGate {
  public:
    // warningsOn tells whether the user switched warnings on; by default the setting.
    explicit CWarningWindows(std::function<bool()> warningsOn = {});

    bool ShouldShowWarning(const std::string& path) override;
    // Opens a warning window for a copy of the subject, unless one is open. A
    // window that cannot be made is deleted at once.
    void OpenWarning(const WarningSubject& subject) override;

    CWarningState& GetState() { return m_state; }
    // The main sheet's pages while the sheet lives; without them "&Accept it"
    // and "Kill/Remove" do nothing and the window stays open.
    void SetTarget(IWarningTarget* target) { m_target = target; }
    IWarningTarget* GetTarget() const { return m_target; }
    // The template new windows are made from (tests give one that fails).
    void SetTemplateId(UINT templateId) { m_templateId = templateId; }

  private:
    std::function<bool()> m_warningsOn;
    CWarningState m_state;
    IWarningTarget* m_target = nullptr;
    UINT m_templateId = IDD_WARNING_MSG;
};

// The program's one gate.
CWarningWindows& GetWarningWindows();
