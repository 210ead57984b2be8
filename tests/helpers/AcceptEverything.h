#pragma once
// Accepts what runs and what starts with the system now, as a user who has
// looked at every process and autostart entry once: writes processes.dat and
// autostart.dat into a program's folder, holding the paths that program will
// see. Its own path is accepted as well, as it may not be running yet.
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "autostart/CurrentEntries.h"
#include "process/ProcessTable.h"

#include <string>
#include <vector>

namespace testsupport {

// The number of paths accepted; 0 when a file could not be written.
inline size_t AcceptEverything(const std::string& folder, const std::string& program) {
    CProcessTable processes(JoinPath(folder, "processes.dat"));
    processes.Refresh();
    std::vector<size_t> rows;
    for (size_t i = 0; i < processes.GetRows().size(); ++i) {
        rows.push_back(i);
    }
    bool written = processes.SetAccepted(rows, 1);
    CAcceptedList trust(JoinPath(folder, "processes.dat"));
    trust.Reload();
    const std::string longProgram = GetLongPath(program);
    trust.SetState(longProgram.empty() ? program : longProgram, 1);
    written = written && trust.Store();

    CCurrentEntries entries(JoinPath(folder, "autostart.dat"));
    entries.Refresh(false);
    for (const AutostartEntry& entry : entries.GetEntries()) {
        entries.GetAccepted().SetState(entry.path, 1);
    }
    written = written && entries.GetAccepted().Store();
    return written ? rows.size() + 1 + entries.GetEntries().size() : 0;
}

} // namespace testsupport
