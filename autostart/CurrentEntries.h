#pragma once
// What the Autostart page shows and checks, apart from its windows: the
// entries registered now, in the order of the chosen column, and the paths
// the user accepted ("autostart.dat").
#include "app/AcceptedList.h"
#include "app/SortOrder.h"
#include "app/UnacceptedCheck.h"
#include "app/WarningGate.h"
#include "autostart/AutostartEntry.h"
#include "autostart/AutostartEntrySort.h"

#include <chrono>
#include <string>
#include <vector>

class CCurrentEntries {
  public:
    explicit CCurrentEntries(std::string acceptedFile = std::string());

    // Rescans and sorts. With onlyIfChanged, a scan that matches the entries
    // held (name, path, location, switch, kind and state, byte for byte, in order, and
    // what is known of their signatures) is dropped. Either way the files of
    // the accepted entries are checked against their identities. True when
    // the entries were replaced.
    bool Refresh(bool onlyIfChanged);

    // From a header click: the same column again turns the order round;
    // another column (anything but path, location and signature counts as
    // name) starts
    // ascending. The caller refreshes afterwards.
    void SetSortColumn(int clickedColumn);
    int GetSortColumn() const { return m_order.column; }
    bool IsAscending() const { return m_order.ascending; }

    // Verifies the signatures of the entries' files not known yet, one file
    // after another until the deadline passes; true when some are left.
    // Entries in signature order are sorted again.
    bool FillSignatures(std::chrono::steady_clock::time_point deadline);

    const AutostartEntryList& GetEntries() const { return m_entries; }
    CAcceptedList& GetAccepted() { return m_accepted; }
    const CAcceptedList& GetAccepted() const { return m_accepted; }

    // True when some entry the system will start is not accepted; opens a warning for each one the
    // gate lets through. The entries not accepted are kept from the last
    // check while neither the entries nor the accepted list changed.
    bool CheckUnaccepted(IWarningGate& warnings) const;

    // The warning's "Accept it": every entry held whose path is the same path
    // (IsSamePath) becomes accepted; the list is written to its own file
    // either way. False when the file could not be written.
    bool AcceptPath(const std::string& path);
    // The page's Accept (1) and Unaccept (0) of the entries with these paths;
    // the list is written to its own file. False when it could not be.
    bool SetAccepted(const std::vector<std::string>& paths, int32_t state);

  private:
    void CheckFiles();

    AutostartEntryList m_entries;
    // Those the system will start: one switched off in its startup settings
    // is not warned about while it stays off.
    AutostartEntryList m_startingEntries;
    // Counts up whenever the entries are replaced.
    uint64_t m_entriesVersion = 0;
    CAcceptedList m_accepted;
    SortOrder m_order{kEntryColumnName, true};
    mutable CUnacceptedCheck m_check;
};

// The file an entry starts (its path is in long form already).
std::string GetEntryFile(const AutostartEntry& entry);

// What a warning about the entry names and needs to remove it.
WarningSubject WarningSubjectOf(const AutostartEntry& entry);

// True when the two lists show the same entries in the same order; the hive
// is not compared.
bool SameEntries(const AutostartEntryList& a, const AutostartEntryList& b);
