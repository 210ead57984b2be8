#include "ui/PropPageProcessDlg.h"

#include "app/Elevation.h"
#include "app/ShellShortcut.h"
#include "process/ProcessActions.h"
#include "process/ProcessColumns.h"
#include "ui/ReportExport.h"
#include "ui/AppWindow.h"
#include "ui/DpiScale.h"
#include "ui/EntryActions.h"
#include "ui/FileIcons.h"
#include "ui/PageKeys.h"
#include "ui/QuickMenu.h"
#include "ui/ScreenDpi.h"
#include "ui/UsageDiagram.h"

#include <algorithm>
#include <chrono>

namespace {

// Signatures are verified in short turns while the list is seen, so a big
// file never holds the page up for long.
constexpr UINT_PTR kSignatureTimerId = 1; // beside the page clock (0)
constexpr UINT kSignatureTurnGapMs = 20;
constexpr std::chrono::milliseconds kSignatureTurn{100};
constexpr UINT kProcessTickMs = 1000;
constexpr uint32_t kRefreshEveryTicks = 5;
constexpr uint32_t kSampleEveryTicks = 4;
constexpr int kDiagramWidth = 200;
constexpr int kCellMargin = 5;

constexpr COLORREF kUnacceptedText = 0x0000C8;
constexpr COLORREF kUnacceptedSelectedText = 0x00DCDCFF;

constexpr char kKillQuestion[] = "Are you sure you want to kill selected processes?";

struct ColumnSetup {
    const char* header;
    int width;
};
constexpr ColumnSetup kColumns[kProcessColumnCount] = {
    {"Name", 140},     {"Path", 300}, {"ID", 70},       {"Windows", 100},   {"Memory", 50},
    {"Page File", 50}, {"CPU", 60},   {"Priority", 80}, {"Signature", 200},
};

struct PriorityItem {
    UINT id;
    uint32_t priorityClass;
};
constexpr PriorityItem kPriorityItems[] = {
    {ID_PROC_PRIORITY_REALTIME, kRealtimePriority},
    {ID_PROC_PRIORITY_HIGH, kHighPriority},
    {ID_PROC_PRIORITY_ABOVE_NORMAL, kAboveNormalPriority},
    {ID_PROC_PRIORITY_NORMAL, kNormalPriority},
    {ID_PROC_PRIORITY_BELOW_NORMAL, kBelowNormalPriority},
    {ID_PROC_PRIORITY_IDLE, kIdlePriority},
};

// One count for the program's life, as the page may be created again.
uint32_t g_processTicks = 0;

// Kept for the program's life: a row is drawn on every repaint.
HBRUSH WindowBrush() {
    static const win::UniqueBrush brush(::CreateSolidBrush(::GetSysColor(COLOR_WINDOW)));
    return brush.Get();
}

HBRUSH HighlightBrush() {
    static const win::UniqueBrush brush(::CreateSolidBrush(::GetSysColor(COLOR_HIGHLIGHT)));
    return brush.Get();
}

// Everything a row's drawing shows but its marks: the cells, the icon
// of its path and the colour of a row not accepted.
std::string DrawnLook(const ProcessRow& row, bool accepted) {
    std::string look(1, accepted ? '1' : '0');
    look += row.path;
    for (int column = 0; column < kProcessColumnCount; ++column) {
        look += '\x1f';
        look += GetProcessCellText(row, column);
    }
    return look;
}

// Redraws the list once when it goes out of scope, however the rebuild ended.
class RedrawPause {
  public:
    explicit RedrawPause(HWND list) : m_list(list) {
        ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawPause() { ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0); }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

  private:
    HWND m_list;
};

} // namespace

CPropPageProcessDlg::CPropPageProcessDlg() : COrvPage(IDD_PAGE_PROCESSES) {}

BOOL CPropPageProcessDlg::OnInitDialog() {
    m_list = GetItem(IDC_PROC_LIST);
    InsertColumns();
    HWND list = List();
    // The system's list, shared: the list view must never destroy it.
    ListView_SetImageList(list, SystemImageList, LVSIL_SMALL);
    PassAltEnterToPage(list, *this);
    ListView_SetExtendedListViewStyle(list,
                                      ListView_GetExtendedListViewStyle(list) | LVS_EX_INFOTIP);
    m_filter.Restore(m_hWnd);
    RefreshList();
    StartClock(kProcessTickMs);

    HWND diagram = GetItem(IDC_PROC_CPU_DIAGRAM);
    RECT rect{};
    ::GetWindowRect(diagram, &rect);
    ::SetWindowPos(diagram, nullptr, 0, 0, ScaleForDpi(kDiagramWidth, WindowDpi(diagram)),
                   rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    PlaceActionBar();
    RecordLayout();
    return TRUE;
}

void CPropPageProcessDlg::InsertColumns() {
    const int dpi = WindowDpi(List());
    for (int i = 0; i < kProcessColumnCount; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleForDpi(kColumns[i].width, dpi);
        column.pszText = const_cast<char*>(kColumns[i].header);
        ::SendMessageA(List(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CPropPageProcessDlg::PlaceActionBar() {
    m_actionBar.SetProcessesPage(this);
    if (!m_actionBar.Create(m_hWnd)) {
        return;
    }
    RECT frame{};
    ::GetWindowRect(GetItem(IDC_PROC_BAR_FRAME), &frame);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&frame), 2);
    ::SetWindowPos(m_actionBar.GetHwnd(), nullptr, frame.left + 3, frame.top + 10,
                   frame.right - frame.left - 6, frame.bottom - frame.top - 13,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(m_actionBar.GetHwnd(), SW_SHOW);
}

CPropPageProcessDlg::Marks CPropPageProcessDlg::RememberMarks() const {
    Marks marks;
    const ProcessRowList& rows = m_table.GetRows();
    for (size_t i : SelectedRows()) {
        marks.selected.push_back(rows[i].processId);
    }
    marks.selected.insert(marks.selected.end(), m_hiddenSelected.begin(), m_hiddenSelected.end());
    const size_t focused = RowOfItem(ListView_GetNextItem(List(), -1, LVNI_FOCUSED));
    if (focused < rows.size()) {
        marks.focused = rows[focused].processId;
        marks.hasFocus = true;
    }
    return marks;
}

void CPropPageProcessDlg::RestoreMarks(const Marks& marks) {
    const ProcessRowList& rows = m_table.GetRows();
    constexpr UINT kMarks = LVIS_SELECTED | LVIS_FOCUSED;
    // The selected rows the filter hides wait for it to show them again.
    m_hiddenSelected.clear();
    for (uint32_t selected : marks.selected) {
        const int row = m_table.FindRowByProcessId(selected);
        if (row >= 0 && ItemOfRow(static_cast<size_t>(row)) < 0) {
            m_hiddenSelected.push_back(selected);
        }
    }
    for (size_t i = 0; i < m_shownRows.size(); ++i) {
        const uint32_t id = rows[m_shownRows[i]].processId;
        UINT state = 0;
        for (uint32_t selected : marks.selected) {
            if (selected == id) {
                state |= LVIS_SELECTED;
            }
        }
        if (marks.hasFocus && marks.focused == id) {
            state |= LVIS_FOCUSED;
        }
        // Each change notifies the page: only the items whose marks move.
        const int item = static_cast<int>(i);
        if (ListView_GetItemState(List(), item, kMarks) != state) {
            ListView_SetItemState(List(), item, state, kMarks);
        }
    }
}

void CPropPageProcessDlg::SetItemTexts(int index, const ProcessRow& row) {
    HWND list = List();
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(row.processId);
    item.pszText = const_cast<char*>(row.name.c_str());
    ::SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    // Drawing reads the table; these texts serve tips and accessibility.
    for (int column : {kColumnPath, kColumnId, kColumnWindows, kColumnSignature}) {
        const std::string text = GetProcessCellText(row, column);
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    }
}

void CPropPageProcessDlg::SyncItems() {
    HWND list = List();
    const ProcessRowList& all = m_table.GetRows();
    // Items are added or taken away at the end only: the others keep their
    // place, and with it the scroll position.
    const int shown = static_cast<int>(m_shownRows.size());
    for (int count = ListView_GetItemCount(list); count > shown; --count) {
        ListView_DeleteItem(list, count - 1);
    }
    for (int count = ListView_GetItemCount(list); count < shown; ++count) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = count;
        item.iImage = -1;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    m_listedIds.resize(m_shownRows.size(), 0);
    m_listedSignatures.resize(m_shownRows.size(), SignatureState::Unverified);
    // Only the items where another process stands now get new texts, and
    // those whose signature became known.
    for (size_t i = 0; i < m_shownRows.size(); ++i) {
        const ProcessRow& row = all[m_shownRows[i]];
        if (m_listedIds[i] != row.processId) {
            SetItemTexts(static_cast<int>(i), row);
            m_listedIds[i] = row.processId;
        } else if (m_listedSignatures[i] != row.signature.state) {
            const std::string text = GetProcessCellText(row, kColumnSignature);
            LVITEMA sub{};
            sub.iSubItem = kColumnSignature;
            sub.pszText = const_cast<char*>(text.c_str());
            ::SendMessageA(list, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&sub));
        }
        m_listedSignatures[i] = row.signature.state;
    }
}

void CPropPageProcessDlg::RefreshList() {
    HWND list = List();
    if (list == nullptr) {
        m_table.Refresh();
        return;
    }
    // Read before the rows change: the marks follow the processes.
    const Marks marks = m_listBehind ? m_behindMarks : RememberMarks();
    m_table.Refresh();
    m_listBehind = false;
    ShowRows(marks);
    if (ListView_GetSelectionMark(list) < 0) {
        UpdateInfoText();
    }
    ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
}

void CPropPageProcessDlg::VerifySignatureTurn() {
    ::KillTimer(m_hWnd, kSignatureTimerId);
    // Hidden, nothing waits for them: coming into view starts the turns again.
    if (m_paused || m_listBehind || !::IsWindowVisible(m_hWnd)) {
        return;
    }
    const Marks marks = RememberMarks();
    const bool left = m_table.FillSignatures(std::chrono::steady_clock::now() + kSignatureTurn);
    ShowRows(marks);
    if (left) {
        ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
    }
}

bool CPropPageProcessDlg::ShowRows(const Marks& marks) {
    HWND list = List();
    m_shownRows = FilterProcessRows(m_table.GetRows(), m_filter.Filter());
    const bool reinsert = static_cast<size_t>(ListView_GetItemCount(list)) != m_shownRows.size();
    if (reinsert) {
        RedrawPause pause(list);
        SyncItems();
        RestoreMarks(marks);
    } else {
        // Each item that changes its marks or texts repaints itself.
        SyncItems();
        RestoreMarks(marks);
    }
    InvalidateChangedRows(reinsert);
    return reinsert;
}

void CPropPageProcessDlg::InvalidateChangedRows(bool all) {
    HWND list = List();
    const ProcessRowList& rows = m_table.GetRows();
    m_drawnRows.resize(m_shownRows.size());
    for (size_t i = 0; i < m_shownRows.size(); ++i) {
        const ProcessRow& row = rows[m_shownRows[i]];
        std::string look = DrawnLook(row, m_table.IsAccepted(row) != 0);
        if (look != m_drawnRows[i]) {
            m_drawnRows[i] = std::move(look);
            if (!all) {
                ListView_RedrawItems(list, static_cast<int>(i), static_cast<int>(i));
            }
        }
    }
    if (all) {
        ::InvalidateRect(list, nullptr, FALSE);
    }
}

void CPropPageProcessDlg::ResortKeepingMarks() {
    BringRowsUpToDate();
    // Read before the rows move: the marks follow the processes.
    const Marks marks = RememberMarks();
    m_table.SampleCpu();
    m_cpuBehind = false;
    ShowRows(marks);
    ::UpdateWindow(List());
    UpdateCpuDiagram();
}

void CPropPageProcessDlg::LeaveListBehind() {
    if (!m_listBehind) {
        m_behindMarks = RememberMarks();
        m_listBehind = true;
    }
}

void CPropPageProcessDlg::BringRowsUpToDate() {
    if (m_listBehind) {
        RefreshList();
    }
}

void CPropPageProcessDlg::ComeIntoView() {
    BringRowsUpToDate();
    if (m_cpuBehind) {
        ResortKeepingMarks();
    }
    ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
}

std::string CPropPageProcessDlg::GetReportText(const std::string& separator) {
    BringRowsUpToDate();
    if (m_cpuBehind) {
        m_table.SampleCpu();
        m_cpuBehind = false;
    }
    return m_table.GetReportText(separator);
}

std::vector<CsvRecord> CPropPageProcessDlg::GetCsvRecords() {
    BringRowsUpToDate();
    return ProcessCsvRecords(m_table);
}

void CPropPageProcessDlg::OnTimerTick() {
    ++g_processTicks;
    if (m_paused) {
        return;
    }
    // While the page cannot be seen (the sheet in the tray, or another page
    // in front) its list is left as it is, and the checks need only the new
    // processes' paths. Nobody reads the CPU figures then: opening every
    // process for its times waits until the page shows again.
    const bool seen = ::IsWindowVisible(m_hWnd) != FALSE;
    if (g_processTicks % kRefreshEveryTicks == 0) {
        if (seen) {
            RefreshList();
        } else {
            LeaveListBehind();
            m_table.RefreshNewProcesses();
        }
    }
    if (g_processTicks % kSampleEveryTicks == 0 && !m_paused) {
        if (seen) {
            ResortKeepingMarks();
        } else {
            m_cpuBehind = true;
        }
    }
}

std::vector<size_t> CPropPageProcessDlg::SelectedRows() const {
    std::vector<size_t> selected;
    const size_t rows = m_table.GetRows().size();
    for (int i = ListView_GetNextItem(List(), -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(List(), i, LVNI_SELECTED)) {
        if (RowOfItem(i) < rows) {
            selected.push_back(RowOfItem(i));
        }
    }
    return selected;
}

size_t CPropPageProcessDlg::RowOfItem(int item) const {
    if (item < 0 || static_cast<size_t>(item) >= m_shownRows.size()) {
        return m_table.GetRows().size();
    }
    return std::min(m_shownRows[static_cast<size_t>(item)], m_table.GetRows().size());
}

int CPropPageProcessDlg::ItemOfRow(size_t row) const {
    const auto shown = std::find(m_shownRows.begin(), m_shownRows.end(), row);
    return shown == m_shownRows.end() ? -1 : static_cast<int>(shown - m_shownRows.begin());
}

void CPropPageProcessDlg::ApplyFilter() {
    BringRowsUpToDate();
    const Marks marks = RememberMarks();
    m_filter.Read(m_hWnd);
    ShowRows(marks);
    // The first selected row in sight, as the rows above it may have gone or come.
    const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    if (first >= 0) {
        ListView_EnsureVisible(List(), first, FALSE);
    }
    UpdateInfoText();
}

ProcessRowList CPropPageProcessDlg::SelectedRowCopies() const {
    ProcessRowList copies;
    for (size_t index : SelectedRows()) {
        copies.push_back(m_table.GetRows()[index]);
    }
    return copies;
}

void CPropPageProcessDlg::SetAcceptedOfSelected(int32_t value) {
    const std::vector<size_t> selected = SelectedRows();
    if (selected.empty()) {
        return;
    }
    if (!m_table.SetAccepted(selected, value)) {
        ShowFileNotSaved(m_table.GetTrustList().GetFile(), kChangeHeldForThisRun);
    }
    ::InvalidateRect(List(), nullptr, TRUE);
    ::SetFocus(List());
}

void CPropPageProcessDlg::AcceptPath(const std::string& path) {
    m_table.SetAccepted(m_table.FindRowsWithPath(path), 1);
    ::InvalidateRect(List(), nullptr, TRUE);
}

void CPropPageProcessDlg::SetPriorityOfSelected(uint32_t priorityClass) {
    const ProcessRowList rows = SelectedRowCopies();
    if (rows.empty()) {
        return;
    }
    size_t refused = 0;
    SetProcessesPriority(rows, priorityClass, &refused);
    RefreshList();
    if (refused > 0) {
        ShowChangeFailure(kProcessNeedsAdministrator, m_hWnd);
    }
}

void CPropPageProcessDlg::RunCommand(int command) {
    RunCommandOnSelection(command);
    // Whatever the command did, or if it had no row to act on, the keys go on
    // to the list.
    ::SetFocus(List());
}

void CPropPageProcessDlg::RunCommandOnSelection(int command) {
    if (command == kCommandNew) {
        ShowRunDialog();
        return;
    }
    BringRowsUpToDate();
    const ProcessRowList rows = SelectedRowCopies();
    if (rows.empty()) {
        return;
    }
    switch (command) {
    case kCommandRemove:
        if (::MessageBoxA(m_hWnd, kKillQuestion, "", MB_YESNO) == IDYES) {
            size_t refused = 0;
            KillProcesses(rows, &refused);
            if (refused > 0) {
                ShowChangeFailure(kProcessNeedsAdministrator, m_hWnd);
            }
        }
        break;
    case kCommandAccept:
        SetAcceptedOfSelected(1);
        break;
    case kCommandUnaccept:
        SetAcceptedOfSelected(0);
        break;
    case kCommandOpenFolder:
        OpenContainingFolder(m_hWnd, rows.front().path);
        break;
    case kCommandProperties: {
        std::vector<std::string> paths;
        for (const ProcessRow& row : rows) {
            paths.push_back(row.path);
        }
        ShowShellPropertiesOfList(paths);
        break;
    }
    case kCommandOnlineInfo:
        OpenOnlineInfo(rows.front().path);
        break;
    case kCommandRefresh:
        RefreshList();
        break;
    case kCommandShowLinked:
        ShowEntryOfSelected(rows.front());
        break;
    default:
        break;
    }
}

void CPropPageProcessDlg::ShowEntryOfSelected(const ProcessRow& row) {
    if (m_jumps == nullptr) {
        return;
    }
    const AutostartEntryList& entries = m_jumps->AutostartEntries();
    const std::vector<size_t> starting = FindEntriesOfProcess(row, entries);
    if (starting.empty()) {
        AppMessageBox("No autostart entry starts this program.");
        return;
    }
    // A copy: the other page may rescan its entries when it comes into view.
    const AutostartEntry entry = entries[starting.front()];
    m_jumps->ShowEntry(entry);
}

void CPropPageProcessDlg::SelectProcess(uint32_t processId) {
    BringRowsUpToDate();
    const int row = m_table.FindRowByProcessId(processId);
    if (row < 0) {
        return;
    }
    // Asked for by name, it is shown even where the filter hid it.
    int index = ItemOfRow(static_cast<size_t>(row));
    if (index < 0) {
        m_filter.Clear(m_hWnd);
        ApplyFilter();
        index = ItemOfRow(static_cast<size_t>(row));
    }
    if (index < 0) {
        return;
    }
    constexpr UINT kMarks = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(List(), -1, 0, kMarks);
    ListView_SetItemState(List(), index, kMarks, kMarks);
    ListView_SetSelectionMark(List(), index);
    ListView_EnsureVisible(List(), index, FALSE);
    ::SetFocus(List());
    UpdateInfoText();
}

void CPropPageProcessDlg::UpdateInfoText() {
    const size_t mark = RowOfItem(ListView_GetSelectionMark(List()));
    if (mark >= m_table.GetRows().size()) {
        SetItemText(IDC_PROC_INFO, "");
        return;
    }
    std::string text = m_table.GetInfoText(mark);
    if (m_jumps != nullptr && !text.empty()) {
        text +=
            "\r\n" + DescribeEntriesOfProcess(m_table.GetRows()[mark], m_jumps->AutostartEntries());
    }
    SetItemText(IDC_PROC_INFO, text);
    UpdateCpuDiagram();
}

void CPropPageProcessDlg::UpdateCpuDiagram() {
    std::vector<uint32_t> series;
    const ProcessRowList& rows = m_table.GetRows();
    // The first row that is selected or has the focus.
    for (int item = 0; RowOfItem(item) < rows.size(); ++item) {
        if (ListView_GetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED)) {
            series = GetCpuDiagramSeries(rows[RowOfItem(item)].cpuHistory);
            break;
        }
    }
    // Nothing is drawn while the page cannot be seen (the sheet lives in the tray).
    const bool hidden = ::IsWindowVisible(m_hWnd) == FALSE;
    DrawUsageDiagram(GetItem(IDC_PROC_CPU_DIAGRAM), series, false, hidden);
}

void CPropPageProcessDlg::DrawRow(const DRAWITEMSTRUCT& item) {
    const ProcessRowList& rows = m_table.GetRows();
    const size_t shown = RowOfItem(static_cast<int>(item.itemID));
    if (shown >= rows.size()) {
        return;
    }
    const ProcessRow& row = rows[shown];
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    ::FillRect(dc, &area, WindowBrush());
    const UINT state =
        ListView_GetItemState(List(), static_cast<int>(item.itemID), LVIS_SELECTED | LVIS_FOCUSED);
    const bool marked = state != 0;
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    if (marked) {
        ::FillRect(dc, &area, HighlightBrush());
        text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (m_table.IsAccepted(row) == 0) {
        text = marked ? kUnacceptedSelectedText : kUnacceptedText;
    }
    const COLORREF oldText = ::SetTextColor(dc, text);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    if (!row.path.empty()) {
        ImageList_Draw(SystemImageList, GetFileIconIndex(row.path), dc, area.left, area.top,
                       ILD_TRANSPARENT);
    }
    const int margin = ScaleForDpi(kCellMargin, WindowDpi(item.hwndItem));
    const int icon = SystemImageListIconWidth();
    int left = area.left;
    for (int column = 0; column < kProcessColumnCount; ++column) {
        const int width = ListView_GetColumnWidth(List(), column);
        RECT cell{left + margin + (column == 0 ? icon : 0), area.top, left + width, area.bottom};
        const std::string cellText = GetProcessCellText(row, column);
        ::DrawTextA(dc, cellText.c_str(), static_cast<int>(cellText.size()), &cell, DT_VCENTER);
        left += width;
    }
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldText);
}

void CPropPageProcessDlg::ShowContextMenu() {
    const bool wasPaused = m_paused;
    m_paused = true;
    UpdateInfoText();
    win::UniqueMenu resource(
        ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_PROCESS_MENU)));
    int64_t choice = -1;
    if (resource) {
        CQuickMenu menu;
        menu.CreateMenuWindow(m_hWnd);
        // The quick menu destroys what it holds: it gets the popup taken out
        // of the loaded menu, which is destroyed on its own.
        HMENU popup = ::GetSubMenu(resource.Get(), 0);
        ::RemoveMenu(resource.Get(), 0, MF_BYPOSITION);
        menu.AttachMenu(popup);
        choice = menu.Track(8, -1, -1, 0);
    }
    RunMenuChoice(choice);
    m_paused = wasPaused;
}

void CPropPageProcessDlg::RunMenuChoice(int64_t choice) {
    switch (choice) {
    case ID_PROC_ACCEPT:
        SetAcceptedOfSelected(1);
        return;
    case ID_PROC_UNACCEPT:
        SetAcceptedOfSelected(0);
        return;
    case ID_PROC_OPEN_FOLDER:
        RunCommand(kCommandOpenFolder);
        return;
    case ID_PROC_PROPERTIES:
        RunCommand(kCommandProperties);
        return;
    case ID_PROC_MORE_INFO:
        RunCommand(kCommandOnlineInfo);
        return;
    case ID_PROC_KILL:
        RunCommand(kCommandRemove);
        return;
    case ID_PROC_SHOW_ENTRY:
        RunCommand(kCommandShowLinked);
        return;
    default:
        break;
    }
    for (const PriorityItem& priority : kPriorityItems) {
        if (choice == priority.id) {
            SetPriorityOfSelected(priority.priorityClass);
        }
    }
}

bool CPropPageProcessDlg::OnCommand(WORD id, WORD code, HWND) {
    if (id == IDC_PROC_KILL && code == BN_CLICKED) {
        RunCommand(kCommandRemove);
        return true;
    }
    if (m_filter.IsChange(id, code)) {
        ApplyFilter();
        return true;
    }
    return false;
}

bool CPropPageProcessDlg::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_PROC_LIST) {
        return COrvPage::OnNotify(header, result);
    }
    result = 0;
    switch (header.code) {
    case LVN_COLUMNCLICK:
        m_table.SetSortColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        RefreshList();
        return true;
    case NM_CLICK:
    case LVN_ITEMCHANGED:
        UpdateInfoText();
        return true;
    case LVN_KEYDOWN:
        if (const int command = KeyToCommand(reinterpret_cast<NMLVKEYDOWN&>(header).wVKey)) {
            RunCommand(command);
        }
        return true;
    case NM_RCLICK:
        ShowContextMenu();
        return true;
    default:
        return false;
    }
}

bool CPropPageProcessDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kPageClockId) {
            OnTimerTick();
        } else if (wParam == kSignatureTimerId) {
            VerifySignatureTurn();
        }
        result = 0;
        return true;
    case WM_DRAWITEM:
        if (wParam == IDC_PROC_LIST) {
            DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            result = TRUE;
            return true;
        }
        return false;
    case WM_DESTROY:
        m_table.StoreTrustList();
        m_list = nullptr;
        return false;
    default:
        return false;
    }
}
