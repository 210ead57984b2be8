#include "ui/EntryProcessLinks.h"

#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "autostart/AutostartLocations.h"
#include "process/ProcessColumns.h"

std::string ProgramFileOfEntry(const AutostartEntry& entry) {
    const std::string file = CommandLineToFilePath(entry.path);
    const std::string longForm = GetLongPath(file);
    return longForm.empty() ? file : longForm;
}

std::vector<size_t> FindProcessesOfEntry(const AutostartEntry& entry, const ProcessRowList& rows) {
    std::vector<size_t> found;
    const std::string file = ProgramFileOfEntry(entry);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!file.empty() && !rows[i].path.empty() && IsSamePath(rows[i].path, file)) {
            found.push_back(i);
        }
    }
    return found;
}

std::vector<size_t> FindEntriesOfProcess(const ProcessRow& row, const AutostartEntryList& entries) {
    std::vector<size_t> found;
    for (size_t i = 0; i < entries.size() && !row.path.empty(); ++i) {
        if (IsSamePath(ProgramFileOfEntry(entries[i]), row.path)) {
            found.push_back(i);
        }
    }
    return found;
}

std::string DescribeProcessesOfEntry(const AutostartEntry& entry, const ProcessRowList& rows) {
    std::string text;
    for (size_t index : FindProcessesOfEntry(entry, rows)) {
        const ProcessRow& row = rows[index];
        text += (text.empty() ? "" : "\r\n") + std::string("Running: ") + row.name + " (" +
                GetProcessCellText(row, kColumnId) + ")";
    }
    return text.empty() ? "Running: no" : text;
}

std::string DescribeEntriesOfProcess(const ProcessRow& row, const AutostartEntryList& entries) {
    std::string text;
    for (size_t index : FindEntriesOfProcess(row, entries)) {
        text += (text.empty() ? "" : "\r\n") + std::string("Autostart entry: ") +
                entries[index].name + " (" + GetLocationDisplayText(entries[index]) + ")";
    }
    return text.empty() ? "Autostart entry: none" : text;
}
