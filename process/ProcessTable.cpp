#include "process/ProcessTable.h"

#include "app/FileInfo.h"
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"
#include "process/ProcessActions.h"
#include "win/Handle.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

constexpr char kTrustFileName[] = "processes.dat";
constexpr int kTitleBufferSize = 1000;

#ifndef _WIN64
static_assert(sizeof(PROCESS_MEMORY_COUNTERS) == 40, "the counters record of 32-bit PSAPI");
#endif

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    try {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    } catch (...) {
        return FALSE; // out of memory: stop listing
    }
    return TRUE;
}

void ReadMemory(const SystemFunctions& psapi, HANDLE process, ProcessRow& row) {
    if (!psapi.GetProcessMemoryInfo || !process) {
        return;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (psapi.GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        row.workingSet = counters.WorkingSetSize;
        row.pageFile = counters.PagefileUsage;
    }
}

} // namespace

std::vector<TopLevelWindow> GetTopLevelWindows() {
    std::vector<HWND> handles;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&handles));
    std::vector<TopLevelWindow> windows;
    windows.reserve(handles.size());
    char title[kTitleBufferSize];
    for (HWND handle : handles) {
        DWORD processId = 0;
        if (::GetWindowThreadProcessId(handle, &processId) == 0) {
            continue;
        }
        title[0] = '\0';
        const int length = ::GetWindowTextA(handle, title, kTitleBufferSize);
        TopLevelWindow window;
        window.handle = reinterpret_cast<uintptr_t>(handle);
        window.processId = processId;
        window.title.assign(title, length > 0 ? static_cast<size_t>(length) : 0);
        windows.push_back(std::move(window));
    }
    return windows;
}

CProcessTable::CProcessTable() : CProcessTable(JoinPath(GetExeDir(), kTrustFileName)) {}

CProcessTable::CProcessTable(const std::string& trustFile, const SystemFunctions& functions)
    : m_functions(functions), m_trust(trustFile) {
    m_trust.Reload();
}

// Asking the file system for a long form costs more than all else a row
// needs, and most executables run on from one snapshot to the next.
const std::string& CProcessTable::LongFormOf(const std::string& path, LongPaths& seen) {
    const auto [entry, added] = seen.try_emplace(path);
    if (added) {
        const auto known = m_longPaths.find(path);
        entry->second = known != m_longPaths.end() ? known->second : GetLongPath(path);
    }
    return entry->second;
}

ProcessRow CProcessTable::ReadRow(const ProcessEntry& entry, const CWindowsTexts& windowsTexts,
                                  LongPaths& seen) {
    ProcessRow row;
    row.name = entry.name;
    row.processId = entry.processId;
    win::UniqueHandle process = OpenProcessToAsk(entry.processId);
    row.path = ReadProcessImagePath(process.Get(), m_functions);
    const std::string& longPath = LongFormOf(row.path, seen);
    if (!longPath.empty()) {
        row.path = longPath;
    }
    ReadMemory(m_functions, process.Get(), row);
    row.priorityClass = process ? ::GetPriorityClass(process.Get()) : 0;
    row.creationTime = process ? ReadCreationTime(process.Get()) : 0;
    row.windows = windowsTexts.Of(row.processId);
    return row;
}

ProcessRowList CProcessTable::BuildSnapshot() {
    const CWindowsTexts windowsTexts(GetTopLevelWindows());
    LongPaths seen;

    ProcessRowList rows;
    CProcessEnumerator enumerator(m_functions);
    // Tool-help alone: the 16-bit task listing is not wanted here.
    enumerator.SelectApi(CProcessEnumerator::ENUM_TOOLHELP);
    ProcessEntry entry;
    for (bool more = enumerator.GetFirstProcess(entry); more;
         more = enumerator.GetNextProcess(entry)) {
        rows.push_back(ReadRow(entry, windowsTexts, seen));
    }
    m_longPaths = std::move(seen);
    return rows;
}

void CProcessTable::Refresh() {
    Adopt(BuildSnapshot());
}

void CProcessTable::RefreshNewProcesses() {
    std::unordered_map<uint32_t, const ProcessRow*> known;
    known.reserve(m_rows.size());
    for (const ProcessRow& row : m_rows) {
        known.emplace(row.processId, &row); // the first row of an id wins
    }
    // The row that stays for the process, or nullptr: a row without a path
    // (a process caught while starting, or one that cannot be opened) is read
    // again, as the checks go by the path.
    const auto keptRowOf = [&known](const ProcessEntry& running) -> const ProcessRow* {
        const auto found = known.find(running.processId);
        if (found == known.end() || found->second->name != running.name ||
            found->second->path.empty()) {
            return nullptr;
        }
        return found->second;
    };

    // One request where the system answers it: this runs every few seconds
    // while the program sits in the tray.
    std::vector<ProcessEntry> entries;
    if (!ListProcessesAtOnce(m_functions, entries)) {
        CProcessEnumerator enumerator(m_functions);
        enumerator.SelectApi(CProcessEnumerator::ENUM_TOOLHELP);
        ProcessEntry entry;
        for (bool more = enumerator.GetFirstProcess(entry); more;
             more = enumerator.GetNextProcess(entry)) {
            entries.push_back(entry);
        }
    }
    const bool anyNew = std::any_of(entries.begin(), entries.end(),
                                    [&](const ProcessEntry& e) { return keptRowOf(e) == nullptr; });
    if (!anyNew && entries.size() == m_rows.size()) {
        return; // the same processes: nothing to read, sort or check again
    }
    // The window list is taken only for the rows read anew.
    const CWindowsTexts windowsTexts(anyNew ? GetTopLevelWindows() : std::vector<TopLevelWindow>());
    LongPaths seen;
    ProcessRowList rows;
    rows.reserve(entries.size());
    for (const ProcessEntry& running : entries) {
        const ProcessRow* kept = keptRowOf(running);
        rows.push_back(kept ? *kept : ReadRow(running, windowsTexts, seen));
    }
    m_longPaths.merge(seen);
    Adopt(std::move(rows));
}

void CProcessTable::SetRows(ProcessRowList rows) {
    CheckNewFiles(m_rows, rows);
    m_rows = std::move(rows);
    ++m_rowsVersion;
}

// Only the files of processes that were not running before: a running
// program's file cannot be replaced, and a new start is where a replaced
// file shows.
void CProcessTable::CheckNewFiles(const ProcessRowList& before, const ProcessRowList& after) {
    std::unordered_set<uint32_t> running;
    running.reserve(before.size());
    for (const ProcessRow& row : before) {
        running.insert(row.processId);
    }
    std::unordered_set<std::string> checked;
    for (const ProcessRow& row : after) {
        if (!row.path.empty() && running.count(row.processId) == 0 &&
            m_trust.GetState(row.path) != 0 && checked.insert(row.path).second) {
            m_trust.CheckFile(row.path, row.path);
        }
    }
}

void CProcessTable::Adopt(ProcessRowList snapshot) {
    CarryCpuHistories(m_rows, snapshot);
    // What is known of a file unchanged since it was verified, without verifying.
    for (ProcessRow& row : snapshot) {
        if (row.signature.state == SignatureState::Unverified) {
            row.signature = m_signatures.Find(row.path);
        }
    }
    SortProcessRows(snapshot, m_order.column, m_order.ascending);
    SetRows(std::move(snapshot));
}

void CProcessTable::SampleCpu() {
    for (ProcessRow& row : m_rows) {
        row.cpuHistory.SampleProcess(row.processId);
    }
    Sort();
}

void CProcessTable::Sort() {
    SortProcessRows(m_rows, m_order.column, m_order.ascending);
    ++m_rowsVersion;
}

bool CProcessTable::FillSignatures(std::chrono::steady_clock::time_point deadline) {
    const SignatureTurn turn = ::FillSignatures(
        m_rows, [](const ProcessRow& row) { return row.path; }, m_signatures, deadline);
    if (turn.filled && m_order.column == kColumnSignature) {
        Sort();
    }
    return turn.left;
}

void CProcessTable::SetSortColumn(int column) {
    if (column < kColumnPath || column >= kProcessColumnCount) {
        column = kColumnName;
    }
    m_order.Click(column);
}

int CProcessTable::FindRowByProcessId(uint32_t processId) const {
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].processId == processId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<size_t> CProcessTable::FindRowsWithPath(const std::string& path) const {
    std::vector<size_t> found;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (IsSamePath(m_rows[i].path, path)) {
            found.push_back(i);
        }
    }
    return found;
}

int32_t CProcessTable::IsAccepted(const ProcessRow& row) const {
    return m_trust.IsAccepted(row.path) ? 1 : 0;
}

bool CProcessTable::SetAccepted(const std::vector<size_t>& rowIndexes, int32_t value) {
    for (size_t index : rowIndexes) {
        if (index >= m_rows.size()) {
            continue;
        }
        const std::string& path = m_rows[index].path;
        if (value != 0) {
            m_trust.Accept(path, path);
        } else {
            m_trust.SetState(path, value);
        }
    }
    return m_trust.WriteTo(m_trust.GetFile());
}

std::string CProcessTable::GetInfoText(size_t rowIndex) const {
    if (rowIndex >= m_rows.size()) {
        return {};
    }
    const ProcessRow& row = m_rows[rowIndex];
    const std::string longPath = GetLongPath(row.path);
    // The reason first, where the box shows it without scrolling.
    return (m_trust.IsChanged(row.path) ? std::string(kChangedSinceAcceptedNote) + "\r\n"
                                        : std::string()) +
           FormatProcessInfo(row, GetFileInfoText(longPath.empty() ? row.path : longPath));
}

std::string CProcessTable::GetReportText(const std::string& separator) const {
    std::string text;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        text += FormatReportSectionHeader("Process", i + 1);
        text += GetInfoText(i);
        text += separator;
    }
    return text;
}

WarningSubject WarningSubjectOf(const ProcessRow& row) {
    WarningSubject subject;
    subject.kind = WarningSubjectKind::Process;
    subject.name = row.name;
    subject.path = row.path;
    subject.processId = row.processId;
    subject.processCreationTime = row.creationTime;
    return subject;
}

bool CProcessTable::CheckUnaccepted(IWarningGate& warnings) const {
    return m_check.Check(m_rows, m_rowsVersion, m_trust, warnings,
                         [](const ProcessRow& row) { return WarningSubjectOf(row); });
}
