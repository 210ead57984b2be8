#include "process/ProcessActions.h"

#include "app/Mbcs.h"
#include "process/ProcessEnumerator.h"
#include "win/Handle.h"

#include <windows.h>

namespace {

// Opens the row's process with the access, or gives an empty owner when it
// cannot be opened or its id now belongs to another program.
win::UniqueHandle OpenSameProcess(const ProcessRow& row, DWORD access) {
    if (!IsSameProcessNow(row)) {
        return win::UniqueHandle();
    }
    return win::UniqueHandle(::OpenProcess(access, FALSE, row.processId));
}

} // namespace

bool IsSameProcessNow(const ProcessRow& row) {
    CProcessEnumerator enumerator;
    // The same facility the table's snapshots use, so the names compare.
    enumerator.SelectApi(CProcessEnumerator::ENUM_TOOLHELP);
    ProcessEntry entry;
    for (bool more = enumerator.GetFirstProcess(entry); more;
         more = enumerator.GetNextProcess(entry)) {
        if (entry.processId == row.processId) {
            return mbcs::CompareNoCase(entry.name, row.name) == 0;
        }
    }
    return false;
}

size_t KillProcesses(const ProcessRowList& rows) {
    size_t ended = 0;
    for (const ProcessRow& row : rows) {
        win::UniqueHandle process = OpenSameProcess(row, PROCESS_TERMINATE);
        if (process && ::TerminateProcess(process.Get(), 0)) {
            ++ended;
        }
    }
    return ended;
}

size_t SetProcessesPriority(const ProcessRowList& rows, uint32_t priorityClass) {
    size_t changed = 0;
    for (const ProcessRow& row : rows) {
        win::UniqueHandle process = OpenSameProcess(row, PROCESS_ALL_ACCESS);
        if (process && ::SetPriorityClass(process.Get(), priorityClass)) {
            ++changed;
        }
    }
    return changed;
}
