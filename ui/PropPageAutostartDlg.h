#pragma once
// The Autostart page: the entries registered now and the removed ones, and the
// check for entries the user has not accepted.
#include "app/WarningGate.h"
#include "autostart/AutostartWatch.h"
#include "autostart/CurrentEntries.h"
#include "autostart/DisabledEntries.h"
#include "autostart/RemoveRestore.h"
#include "res/resource.h"
#include "ui/OrvCommonDlg.h"
#include "ui/EntryProcessLinks.h"
#include "ui/FilterControls.h"
#include "ui/OrvPage.h"
#include "ui/PageCommands.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CQuickMenu;

// The current entries' context menu: Accept, Unaccept, a separator, Open
// folder, Properties, More info, a separator, Remove.
void AppendCurrentEntriesMenuItems(CQuickMenu& menu);
// The page command of an item of that menu; 0 for a dismissed menu.
int CommandOfCurrentEntriesMenuItem(int64_t item);

class CPropPageAutostartDlg : public COrvPage, public IPageCommands, public IRemovedEntriesPage {
  public:
    CPropPageAutostartDlg();

    // True when some current entry is not accepted; may open a warning.
    bool CheckUnaccepted(IWarningGate& warnings) const;
    const CCurrentEntries& GetCurrentEntries() const { return m_current; }
    // The warning's "Accept it": accepts the path when an entry has it,
    // writes "autostart.dat" and redraws the rows.
    void AcceptPath(const std::string& path);

    // Commands 1 to 8 of the action bar, the keys and the context menu.
    void RunCommand(int command) override;

    // Rescans; rebuilds list 1001 when forced or when the sorted scan differs.
    void RefreshEntries(bool onlyIfChanged);
    // Reads the removed records from the index again and rebuilds list 1002.
    void RefreshRemovedList();
    // The selected entry's description when list 1001 has the focus, else empty.
    void UpdateInfoText();
    std::string DescribeEntry(int index) const;
    // The sheet's way to the Processes page.
    void SetJumps(IPageJumps* jumps) { m_jumps = jumps; }
    // Selects the entry of the same place and name, when it is listed.
    void SelectEntry(const AutostartEntry& entry);
    const AutostartEntryList& GetEntries() const { return m_current.GetEntries(); }
    // The autostart section of the system report.
    std::string GetReportText(const std::string& separator) const;
    // The path of every selected entry, in list order.
    void CollectSelectedPaths(std::vector<std::string>& paths) const;
    // The entry list 1001's item stands for; nullptr for no item.
    const AutostartEntry* EntryOfItem(int item) const;

    // IRemovedEntriesPage
    RemovedEntryList& GetRemovedEntries() override { return m_removed; }
    void RefreshAfterChange() override;
    void ShowMessage(const std::string& text) override;

  protected:
    BOOL OnInitDialog() override;
    void ComeIntoView() override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void InitLists();
    void CreateActionBar();
    // Rebuilds list 1001 with the rows the filter lets through, selecting
    // those of the selected entries again, the first in sight.
    void FillCurrentList(const AutostartEntryList& selected = {});
    // The selected entries, hidden ones too; listed is the list the items
    // were made for.
    AutostartEntryList SelectedEntries(const AutostartEntryList& listed) const;
    int ItemOfEntry(const AutostartEntry& entry) const;
    // Reads the filter field and the switch, keeps them in the settings and
    // shows the rows they let through, keeping the selected entries selected.
    void ApplyFilter();
    // Clears the filter and the switch when they hide the entry.
    void ShowEveryEntryIfHidden(const AutostartEntry& entry);
    // Verifies entries' signatures for one short turn and shows them.
    void VerifySignatureTurn();
    void DrawEntry(const DRAWITEMSTRUCT& draw) const;
    bool OnCurrentListNotify(NMHDR& header);
    void ShowCurrentEntriesMenu();
    void ShowRemovedEntriesMenu();
    void RemoveFirstSelected();
    void SetSelectedState(int32_t state);
    void WatchForChanges();
    void OnWatchSignalled(size_t index);
    // The periodic rescan, the net under the watch.
    void ClockTick() override;
    void ShowProcessOfSelected();

    HWND CurrentList() const { return GetItem(IDC_AUTOSTART_CURRENT); }
    HWND RemovedList() const { return GetItem(IDC_AUTOSTART_REMOVED); }

    CCurrentEntries m_current;
    CFilterControls m_filter{IDC_AUTOSTART_FILTER, IDC_AUTOSTART_HIDE_SYSTEM, "AutostartFilter",
                             "AutostartHideWindowsOwn"};
    // The entry index of each item of list 1001.
    std::vector<size_t> m_shown;
    // Entries the filter hides while they are selected: selected again when shown.
    AutostartEntryList m_hiddenSelected;
    // Tells of a change the moment it is written; the periodic rescan stays
    // for what cannot be watched.
    std::unique_ptr<CAutostartWatch> m_watch;
    IPageJumps* m_jumps = nullptr;
    RemovedEntryList m_removed;
    // The switched-off services and hooks, listed after the removed records.
    DisabledEntryList m_disabled;
    COrvCommonDlg m_bar;
    // While list 1001 is rebuilt its notifications are not the user's doing.
    bool m_rebuilding = false;
    // The accepted list's version the rows were last drawn for.
    uint64_t m_drawnAcceptedVersion = 0;
};
