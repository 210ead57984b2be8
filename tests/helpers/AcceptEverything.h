#pragma once
// Accepts what runs and what starts with the system now, as a user who has
// looked at every process and autostart entry once: writes processes.dat and
// autostart.dat into a program's folder, holding the paths that program will
// see. Its own path is accepted as well, as it may not be running yet.
#include "app/AcceptedList.h"
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "autostart/AutostartScan.h"
#include "process/ProcessTable.h"

#include <string>
#include <vector>

namespace testsupport {

// Accepts in the list file every autostart entry registered now and the
// paths besides: the number of paths accepted, -1 when it was not written.
inline int AcceptPresentEntries(const std::string& file, std::vector<std::string> paths = {}) {
    AutostartEntryList present;
    EnumerateAutostartEntries(present);
    for (const AutostartEntry& entry : present) {
        paths.push_back(entry.path);
    }
    CAcceptedList accepted(file);
    accepted.Reload();
    for (const std::string& path : paths) {
        accepted.SetState(path, 1);
    }
    return accepted.Store() ? static_cast<int>(paths.size()) : -1;
}

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

    const int entries = AcceptPresentEntries(JoinPath(folder, "autostart.dat"));
    written = written && entries >= 0;
    return written ? rows.size() + 1 + entries : 0;
}

} // namespace testsupport
