#pragma once
// Where the warning window's "&Accept it" and "Kill/Remove" take effect: the
// Autostart page's entries and accepted list, the Processes page's table.
#include "app/WarningGate.h"
#include "ui/OrvWarningMsgDlg.h"

class CPropPageAutostartDlg;
class CPropPageProcessDlg;

class CPagesWarningTarget : public IWarningTarget {
  public:
    CPagesWarningTarget(CPropPageAutostartDlg& autostart, CPropPageProcessDlg& processes)
        : m_autostart(autostart), m_processes(processes) {}

    // Entry: the Autostart page's accepted list, "autostart.dat"; process:
    // the process table's, "processes.dat". Nothing is accepted when no entry
    // or row has the path any more; the list is written all the same.
    void AcceptSubject(const WarningSubject& subject) override;
    // Entry: removed from the autostart as the page removes it (recorded in
    // the removed folder's index). Process: ended when its id still names it,
    // then the Processes page refreshes.
    void RemoveSubject(const WarningSubject& subject) override;

  private:
    CPropPageAutostartDlg& m_autostart;
    CPropPageProcessDlg& m_processes;
};

// Ends the subject's process with exit code 0, but only when its id still
// names the process the warning was opened for: the warning may have been
// open for hours, and the id may belong to another process since. True when it ended.
bool KillWarnedProcess(const WarningSubject& subject);
