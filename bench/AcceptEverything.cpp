// Accepts what runs and what starts with the system now, as a user who has
// looked at every process and autostart entry once: writes processes.dat and
// autostart.dat into the folder given, holding the paths the program in that
// folder will see. The program's own path is given as well, as it is not
// running yet. The idle benchmark uses it for a tray with nothing to flash.
// Usage: accept_everything.exe FOLDER PROGRAM (both as Windows paths)
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "autostart/CurrentEntries.h"
#include "process/ProcessTable.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: accept_everything.exe FOLDER PROGRAM\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string program = GetLongPath(argv[2]).empty() ? argv[2] : GetLongPath(argv[2]);

    CProcessTable processes(JoinPath(folder, "processes.dat"));
    processes.Refresh();
    std::vector<size_t> rows;
    for (size_t i = 0; i < processes.GetRows().size(); ++i) {
        rows.push_back(i);
    }
    CAcceptedList trust(JoinPath(folder, "processes.dat"));
    bool written = processes.SetAccepted(rows, 1);
    trust.Reload();
    trust.SetState(program, 1);
    written = written && trust.Store();

    CCurrentEntries entries(JoinPath(folder, "autostart.dat"));
    entries.Refresh(false);
    for (const AutostartEntry& entry : entries.GetEntries()) {
        entries.GetAccepted().SetState(entry.path, 1);
    }
    written = written && entries.GetAccepted().Store();

    std::printf("accepted %u processes and %u autostart entries\n",
                static_cast<unsigned>(rows.size() + 1),
                static_cast<unsigned>(entries.GetEntries().size()));
    return written ? 0 : 1;
}
