#pragma once
// The model behind the Processes page: one row per running process, rebuilt
// from the system on request, sampled for processor use, kept in the order of
// the column the user chose, and joined to the trusted processes stored in
// "processes.dat".
#include "app/AcceptedList.h"
#include "app/Signature.h"
#include "app/SortOrder.h"
#include "app/SystemFunctions.h"
#include "app/UnacceptedCheck.h"
#include "app/WarningGate.h"
#include "process/ProcessColumns.h"
#include "process/ProcessEnumerator.h"
#include "process/ProcessRow.h"

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CProcessTable {
  public:
    // The trust list is "processes.dat" beside the program.
    CProcessTable();
    // The trust list is the given file; the system functions may be stand-ins.
    explicit CProcessTable(const std::string& trustFile,
                           const SystemFunctions& functions = GetSystemFunctions());
    CProcessTable(const CProcessTable&) = delete;
    CProcessTable& operator=(const CProcessTable&) = delete;

    // The processes as the system shows them now, in the enumerator's order.
    ProcessRowList BuildSnapshot();
    // Rebuilds the rows from a new snapshot.
    void Refresh();
    // While no one sees the rows: the processes that ended leave, the new
    // ones come in whole, and the rows of the processes still running (same
    // id and name) keep what they showed, to be brought up to date by the
    // next Refresh. Then all are sorted.
    void RefreshNewProcesses();
    // Takes snapshot as the new rows: each keeps the CPU history of the row
    // of the same process (same id and name), then all are sorted.
    void Adopt(ProcessRowList snapshot);
    // Adds one CPU reading to every row, then sorts.
    void SampleCpu();
    void Sort();
    // Verifies the signatures of the rows' files that are not known yet, one
    // file after another until the deadline passes; true when some are left.
    // Sorts again when the rows are in signature order.
    bool FillSignatures(std::chrono::steady_clock::time_point deadline);
    // From a header click: a column outside 1 to 8 counts as 0; the same
    // column again turns the order round, another starts ascending.
    void SetSortColumn(int column);
    int GetSortColumn() const { return m_order.column; }
    bool IsAscending() const { return m_order.ascending; }

    const ProcessRowList& GetRows() const { return m_rows; }
    // The index of the first row of the process, or -1.
    int FindRowByProcessId(uint32_t processId) const;
    // The indexes of the rows whose path is the same path.
    std::vector<size_t> FindRowsWithPath(const std::string& path) const;

    // 1 when the row's path is trusted and its file has not changed since, else 0.
    int32_t IsAccepted(const ProcessRow& row) const;
    // Marks the paths of the rows at the indexes (1 accepted, with their
    // files' identities now; 0 not) and writes the trust list's file; false when the file could not
    // be written.
    bool SetAccepted(const std::vector<size_t>& rowIndexes, int32_t value);
    const CAcceptedList& GetTrustList() const { return m_trust; }
    // Writes the trust list's file (when the page closes).
    bool StoreTrustList() const { return m_trust.Store(); }

    static double GetLatestCpu(const ProcessRow& row) { return ::GetLatestCpu(row); }
    // The "More information" text of the row at the index; empty past the end.
    std::string GetInfoText(size_t rowIndex) const;
    // The process section of the system report.
    std::string GetReportText(const std::string& separator) const;

    // True when any row is not accepted; opens a warning for each such row
    // the gate lets through. The rows not accepted are kept from the last
    // check while neither the rows nor the trust list changed.
    bool CheckUnaccepted(IWarningGate& warnings) const;

  private:
    using LongPaths = std::unordered_map<std::string, std::string>;
    // The long form of a module path, looked up once while processes of it run.
    const std::string& LongFormOf(const std::string& path, LongPaths& seen);
    // The row of one enumerated process, read from the system.
    ProcessRow ReadRow(const ProcessEntry& entry, const CWindowsTexts& windowsTexts,
                       LongPaths& seen);
    void SetRows(ProcessRowList rows);
    void CheckNewFiles(const ProcessRowList& before, const ProcessRowList& after);

    SystemFunctions m_functions;
    CAcceptedList m_trust;
    ProcessRowList m_rows;
    // Counts up whenever the rows change or move.
    uint64_t m_rowsVersion = 0;
    mutable CUnacceptedCheck m_check;
    SortOrder m_order{kColumnName, true};
    // Module path to its long form (empty: none), for the paths of the last snapshot.
    LongPaths m_longPaths;
    // Known signatures by file identity, shared with the information texts.
    CSignatureCache& m_signatures = GetSignatureCache();
};

// What a warning about the process names and needs to kill it.
WarningSubject WarningSubjectOf(const ProcessRow& row);

// Every top-level window with its process and title, in the system's order.
std::vector<TopLevelWindow> GetTopLevelWindows();
