#include "ui/WarningTarget.h"

#include "app/Elevation.h"
#include "autostart/RemoveRestore.h"
#include "process/ProcessActions.h"
#include "ui/AppWindow.h"
#include "ui/PropPageAutostartDlg.h"
#include "ui/PropPageProcessDlg.h"

void CPagesWarningTarget::AcceptSubject(const WarningSubject& subject) {
    if (subject.kind == WarningSubjectKind::AutostartEntry) {
        m_autostart.AcceptPath(subject.path);
    } else {
        m_processes.AcceptPath(subject.path);
    }
}

void CPagesWarningTarget::RemoveSubject(const WarningSubject& subject) {
    if (subject.kind == WarningSubjectKind::AutostartEntry) {
        AutostartEntry entry{subject.name, subject.path, subject.location, subject.root};
        entry.kind = static_cast<AutostartKind>(subject.entryKind);
        entry.itemName = subject.itemName;
        RemoveEntryAsShown(m_autostart, entry);
    } else {
        KillWarnedProcess(subject);
        m_processes.RefreshList();
    }
}

bool KillWarnedProcess(const WarningSubject& subject) {
    ProcessRow row;
    row.name = subject.name;
    row.path = subject.path;
    row.processId = subject.processId;
    row.creationTime = subject.processCreationTime;
    // The same fresh lookup the page's own kill makes.
    size_t refused = 0;
    const bool ended = KillProcesses({row}, &refused) == 1;
    if (refused > 0) {
        ShowChangeFailure(kProcessNeedsAdministrator);
    }
    return ended;
}
