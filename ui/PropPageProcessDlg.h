#pragma once
// The Processes page: the running processes with their figures, commands on
// the selected ones, and the check for processes the user has not accepted.
#include "app/Csv.h"
#include "process/ProcessTable.h"
#include "res/resource.h"
#include "ui/EntryProcessLinks.h"
#include "ui/FilterControls.h"
#include "ui/OrvCommonDlg.h"
#include "ui/OrvPage.h"
#include "ui/PageCommands.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

class CPropPageProcessDlg : public COrvPage, public IPageCommands {
  public:
    CPropPageProcessDlg();

    CProcessTable& GetTable() { return m_table; }
    const CProcessTable& GetTable() const { return m_table; }
    // The full refresh: a new snapshot of the running processes, keeping the
    // selection, the focus and the scroll position.
    void RefreshList();
    // The warning's "Accept it": accepts every row of the path (IsSamePath),
    // writes "processes.dat" and redraws the rows.
    void AcceptPath(const std::string& path);
    // The process section of the system report, from current rows.
    std::string GetReportText(const std::string& separator);
    // The rows as the saved report's CSV table has them, brought up to date first.
    std::vector<CsvRecord> GetCsvRecords();
    // Commands 1 to 8; every one but New needs a selected row. The list has
    // the keyboard focus afterwards.
    void RunCommand(int command) override;
    // The sheet's way to the Autostart page.
    void SetJumps(IPageJumps* jumps) { m_jumps = jumps; }
    // Selects the process's row alone, when it is listed.
    void SelectProcess(uint32_t processId);

  protected:
    BOOL OnInitDialog() override;
    // Rows that waited while no one saw them are brought up to date.
    void ComeIntoView() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // Which rows the user has selected and focused, by process id, so that
    // they stay marked when the rows are rebuilt or move.
    struct Marks {
        std::vector<uint32_t> selected;
        uint32_t focused = 0;
        bool hasFocus = false;
    };

    void InsertColumns();
    // Reads the filter field and the switch, keeps them in the settings and
    // shows the rows they let through; the selected processes stay selected.
    void ApplyFilter();
    // The row an item stands for; rows.size() for no item.
    size_t RowOfItem(int item) const;
    // The item that shows the row; -1 while the filter hides it.
    int ItemOfRow(size_t row) const;
    void PlaceActionBar();
    void OnTimerTick();
    void ClockTick() override { OnTimerTick(); }
    // Verifies rows' signatures for one short turn and shows them.
    void VerifySignatureTurn();
    // Brings the items in line with the rows and puts the marks back; the
    // rows whose drawing changed repaint at the next paint. True when the
    // number of items changed (the whole list repaints then).
    bool ShowRows(const Marks& marks);
    void InvalidateChangedRows(bool all);
    // The rows are about to change while no one sees the list: the marks are
    // kept by process until the list is brought up to date.
    void LeaveListBehind();
    void BringRowsUpToDate();
    void ResortKeepingMarks();
    Marks RememberMarks() const;
    void RestoreMarks(const Marks& marks);
    // Brings the items in line with the table's rows: as many items as rows,
    // texts set only where another process stands now.
    void SyncItems();
    void SetItemTexts(int index, const ProcessRow& row);
    void DrawRow(const DRAWITEMSTRUCT& item);
    void RunCommandOnSelection(int command);
    void ShowContextMenu();
    void RunMenuChoice(int64_t choice);
    void UpdateInfoText();
    void ShowEntryOfSelected(const ProcessRow& row);
    void UpdateCpuDiagram();
    // The rows that are selected, in display order.
    std::vector<size_t> SelectedRows() const;
    ProcessRowList SelectedRowCopies() const;
    void SetAcceptedOfSelected(int32_t value);
    void SetPriorityOfSelected(uint32_t priorityClass);

    // Looked up once: asking the dialog for its item costs a trip to the
    // window server under Wine, and rows are drawn and marked item by item.
    HWND List() const { return m_list; }

    CProcessTable m_table;
    IPageJumps* m_jumps = nullptr;
    HWND m_list = nullptr;
    COrvCommonDlg m_actionBar;
    // The process ids the list's items stand for, in their order.
    std::vector<uint32_t> m_listedIds;
    CFilterControls m_filter{IDC_PROC_FILTER, IDC_PROC_HIDE_SYSTEM, "ProcessesFilter",
                             "ProcessesHideWindowsOwn"};
    // The row index of each item, as the filter lets them through.
    std::vector<size_t> m_shownRows;
    // Processes the filter hides while they are selected: selected again when shown.
    std::vector<uint32_t> m_hiddenSelected;
    // What their signature cells were given.
    std::vector<SignatureState> m_listedSignatures;
    // Set while a context menu is open, so the timer leaves the rows alone.
    bool m_paused = false;
    // Set while the list's items no longer stand for the rows, which may
    // also show figures of an earlier refresh; the marks wait meanwhile.
    bool m_listBehind = false;
    // Readings skipped while the page could not be seen: one reading on
    // coming into view covers the whole time.
    bool m_cpuBehind = false;
    Marks m_behindMarks;
    // What each item was last drawn with (DrawnLook), to repaint only changes.
    std::vector<std::string> m_drawnRows;
};
