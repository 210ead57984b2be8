#include "ui/PropPageAutostartDlg.h"

#include "app/Log.h"
#include "app/PathHelpers.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartScan.h"
#include "autostart/EntryFilter.h"
#include "autostart/EntryTexts.h"
#include "autostart/StartupApproved.h"
#include "autostart/SystemPlaces.h"
#include "ui/AppWindow.h"
#include "ui/DpiScale.h"
#include "ui/EntryProcessLinks.h"
#include "ui/EntryActions.h"
#include "ui/FileIcons.h"
#include "ui/NewAutostartItemDlg.h"
#include "ui/PageKeys.h"
#include "ui/QuickMenu.h"
#include "ui/ScreenDpi.h"
#include "win/LoopWaits.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <iterator>

namespace {

constexpr UINT kRescanPeriodMs = 30000;
// A program writes its entry in a burst of changes: one rescan when they settle.
constexpr UINT_PTR kChangeTimerId = 1;
constexpr UINT kChangeSettleMs = 150;
// Signatures are verified in short turns while the page is seen, so a big
// file never holds the page up for long.
constexpr UINT_PTR kSignatureTimerId = 2;
constexpr UINT kSignatureTurnGapMs = 20;
constexpr std::chrono::milliseconds kSignatureTurn{100};

constexpr COLORREF kUnacceptedText = RGB(200, 0, 0);
constexpr COLORREF kUnacceptedHighlightedText = RGB(255, 220, 220);

// The current entries' context menu items.
enum CurrentEntriesMenuItem : UINT {
    kMenuRemove = 1,
    kMenuAccept = 2,
    kMenuUnaccept = 3,
    kMenuOpenFolder = 10,
    kMenuProperties = 11,
    kMenuMoreInfo = 12,
    kMenuShowProcess = 13,
};
constexpr UINT kMenuRestore = 1;

struct Column {
    const char* title;
    int width;
};
constexpr Column kCurrentColumns[] = {
    {"Name", 100}, {"Path", 350}, {"Location", 350}, {"Signature", 200}};
constexpr Column kRemovedColumns[] = {
    {"Name", 100}, {"Original location", 350}, {"Current location", 350}};

template <size_t N> void InsertColumns(HWND list, const Column (&columns)[N]) {
    const int dpi = WindowDpi(list);
    for (size_t i = 0; i < N; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = ScaleForDpi(columns[i].width, dpi);
        column.pszText = const_cast<char*>(columns[i].title);
        column.iSubItem = static_cast<int>(i);
        ::SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void SetCellText(HWND list, int index, int column, const std::string& text) {
    LVITEMA subItem{};
    subItem.iSubItem = column;
    subItem.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&subItem));
}

// Appends a row of texts at the end of the list; the image is asked for when
// the row is drawn.
void AppendRow(HWND list, const std::string& first, const std::string& second,
               const std::string& third, const std::string& fourth = std::string()) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(first.c_str());
    item.iImage = I_IMAGECALLBACK;
    const int index =
        static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        return;
    }
    SetCellText(list, index, 1, second);
    SetCellText(list, index, 2, third);
    if (!fourth.empty()) {
        SetCellText(list, index, 3, fourth);
    }
}

// Empties the list with its drawing switched off; the caller refills it and
// then calls EndRebuild.
void BeginRebuild(HWND list) {
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

void EndRebuild(HWND list) {
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int NextSelected(HWND list, int item) {
    return static_cast<int>(
        ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED));
}

int FirstSelected(HWND list) {
    return NextSelected(list, -1);
}

// The same place and name: the same entry, whatever its path or order.
bool IsSameEntry(const AutostartEntry& a, const AutostartEntry& b) {
    return a.root == b.root && a.location == b.location && a.name == b.name;
}

// The item alone selected and focused, in sight, with the keys on the list.
void SelectOnly(HWND list, int item) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list, item);
    ListView_EnsureVisible(list, item, FALSE);
    ::SetFocus(list);
}

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

void DrawCell(HDC dc, const std::string& text, RECT rect) {
    // One line per cell, cut at its edges; "&" is shown, not taken as a prefix.
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void OpenMenuWindow(CQuickMenu& menu) {
    menu.AttachMenu(::CreatePopupMenu());
    menu.CreateMenuWindow(GetAppMainWindow());
}

} // namespace

void AppendCurrentEntriesMenuItems(CQuickMenu& menu) {
    menu.AppendItem(0, kMenuAccept, "Accept (I trust this application)");
    menu.AppendItem(0, kMenuUnaccept, "Unaccept (I have doubts about it)");
    menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
    menu.AppendItem(0, kMenuOpenFolder, "Open folder containing...");
    menu.AppendItem(0, kMenuProperties, "Properties...\t(Alt+Enter)");
    menu.AppendItem(0, kMenuMoreInfo, "More info...\t(F3)");
    menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
    menu.AppendItem(0, kMenuRemove, "Remove\t(Delete)");
    menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
    menu.AppendItem(0, kMenuShowProcess, "Show its process");
}

int CommandOfCurrentEntriesMenuItem(int64_t item) {
    switch (item) {
    case kMenuRemove:
        return kCommandRemove;
    case kMenuAccept:
        return kCommandAccept;
    case kMenuUnaccept:
        return kCommandUnaccept;
    case kMenuOpenFolder:
        return kCommandOpenFolder;
    case kMenuProperties:
        return kCommandProperties;
    case kMenuMoreInfo:
        return kCommandOnlineInfo;
    case kMenuShowProcess:
        return kCommandShowLinked;
    default:
        return 0;
    }
}

CPropPageAutostartDlg::CPropPageAutostartDlg()
    : COrvPage(IDD_PAGE_AUTOSTART), m_current(JoinPath(GetExeDir(), "autostart.dat")) {}

BOOL CPropPageAutostartDlg::OnInitDialog() {
    InitLists();
    m_filter.Restore(m_hWnd);
    m_current.GetAccepted().Reload();

    const std::string removedFolder = GetFolderOfRemovedItems();
    LogLine("GetFolderOfRemovedItems():" + removedFolder);
    LogLine("GetFileOfRemovedInfoDataBase():" + GetFileOfRemovedInfoDataBase());
    // An existing folder makes this fail, which is as good as success.
    ::CreateDirectoryA(removedFolder.c_str(), nullptr);
    LogValue("removed items. dir exists?: ", FileExists(removedFolder) ? 1 : 0);

    RefreshEntries(true);
    RefreshRemovedList();
    StartClock(kRescanPeriodMs);
    WatchForChanges();
    CreateActionBar();
    RecordLayout();
    return TRUE;
}

void CPropPageAutostartDlg::ClockTick() {
    RefreshEntries(true);
}

void CPropPageAutostartDlg::WatchForChanges() {
    // The system's own on/off switches too: switching one changes how its entry shows.
    std::vector<AutostartLocation> places = GetAutostartLocations();
    const std::vector<AutostartLocation> switches = GetStartupApprovedLocations();
    places.insert(places.end(), switches.begin(), switches.end());
    const std::vector<AutostartLocation> system = GetSystemPlacesToWatch();
    places.insert(places.end(), system.begin(), system.end());
    m_watch = std::make_unique<CAutostartWatch>(places);
    LogValue("Autostart places not watched:", static_cast<uint32_t>(m_watch->Unwatched()));
    win::SetLoopWaits(m_watch->Events(), [this](size_t index) { OnWatchSignalled(index); });
}

void CPropPageAutostartDlg::OnWatchSignalled(size_t index) {
    // Watched again before the rescan reads, so nothing written meanwhile is missed.
    if (m_watch && m_watch->Rearm(index)) {
        ::SetTimer(m_hWnd, kChangeTimerId, kChangeSettleMs, nullptr);
    }
}

void CPropPageAutostartDlg::InitLists() {
    InsertColumns(CurrentList(), kCurrentColumns);
    PassAltEnterToPage(CurrentList(), *this);
    if (SystemImageList != nullptr) {
        ::SendMessageA(CurrentList(), LVM_SETIMAGELIST, LVSIL_SMALL,
                       reinterpret_cast<LPARAM>(SystemImageList));
    }
    InsertColumns(RemovedList(), kRemovedColumns);
}

void CPropPageAutostartDlg::CreateActionBar() {
    if (!m_bar.Create(m_hWnd)) {
        return;
    }
    m_bar.SetAutostartPage(this);
    ::ShowWindow(m_bar.GetHwnd(), SW_SHOW);
    HWND place = GetItem(IDC_AUTOSTART_BAR_PLACE);
    if (place == nullptr) {
        return;
    }
    RECT rect{};
    ::GetWindowRect(place, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    ::MoveWindow(m_bar.GetHwnd(), rect.left + 3, rect.top + 10, rect.right - rect.left - 6,
                 rect.bottom - rect.top - 13, TRUE);
}

bool CPropPageAutostartDlg::CheckUnaccepted(IWarningGate& warnings) const {
    return m_current.CheckUnaccepted(warnings);
}

void CPropPageAutostartDlg::AcceptPath(const std::string& path) {
    m_current.AcceptPath(path);
    ::InvalidateRect(CurrentList(), nullptr, TRUE);
}

void CPropPageAutostartDlg::RefreshEntries(bool onlyIfChanged) {
    if (m_current.Refresh(onlyIfChanged)) {
        FillCurrentList();
    } else if (m_current.GetAccepted().GetVersion() != m_drawnAcceptedVersion) {
        // A file found changed turns its row red.
        ::InvalidateRect(CurrentList(), nullptr, TRUE);
    }
    m_drawnAcceptedVersion = m_current.GetAccepted().GetVersion();
}

AutostartEntryList CPropPageAutostartDlg::SelectedEntries(const AutostartEntryList& listed) const {
    AutostartEntryList selected = m_hiddenSelected;
    HWND list = CurrentList();
    for (int item = FirstSelected(list); item >= 0 && static_cast<size_t>(item) < m_shown.size() &&
                                         m_shown[static_cast<size_t>(item)] < listed.size();
         item = NextSelected(list, item)) {
        selected.push_back(listed[m_shown[static_cast<size_t>(item)]]);
    }
    return selected;
}

void CPropPageAutostartDlg::FillCurrentList(const AutostartEntryList& selected) {
    HWND list = CurrentList();
    if (list == nullptr) {
        return;
    }
    m_hiddenSelected.clear();
    const AutostartEntryList& entries = m_current.GetEntries();
    m_shown = FilterEntries(entries, m_filter.Filter());
    m_rebuilding = true;
    BeginRebuild(list);
    for (size_t index : m_shown) {
        const AutostartEntry& entry = entries[index];
        AppendRow(list, entry.name, entry.path, GetLocationDisplayText(entry),
                  FormatSignature(entry.signature));
    }
    int first = -1;
    for (const AutostartEntry& wanted : selected) {
        const int item = ItemOfEntry(wanted);
        if (item >= 0) {
            ListView_SetItemState(list, item, LVIS_SELECTED, LVIS_SELECTED);
            first = first < 0 ? item : std::min(first, item);
        } else if (std::any_of(entries.begin(), entries.end(), [&](const AutostartEntry& entry) {
                       return IsSameEntry(entry, wanted);
                   })) {
            m_hiddenSelected.push_back(wanted);
        }
    }
    if (first >= 0) {
        ListView_SetItemState(list, first, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_SetSelectionMark(list, first);
    }
    EndRebuild(list);
    m_rebuilding = false;
    if (first >= 0) {
        ListView_EnsureVisible(list, first, FALSE);
    }
    ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
}

const AutostartEntry* CPropPageAutostartDlg::EntryOfItem(int item) const {
    const AutostartEntryList& entries = m_current.GetEntries();
    if (item < 0 || static_cast<size_t>(item) >= m_shown.size() ||
        m_shown[static_cast<size_t>(item)] >= entries.size()) {
        return nullptr;
    }
    return &entries[m_shown[static_cast<size_t>(item)]];
}

int CPropPageAutostartDlg::ItemOfEntry(const AutostartEntry& entry) const {
    for (int item = 0; EntryOfItem(item) != nullptr; ++item) {
        if (IsSameEntry(*EntryOfItem(item), entry)) {
            return item;
        }
    }
    return -1;
}

void CPropPageAutostartDlg::ApplyFilter() {
    m_filter.Read(m_hWnd);
    FillCurrentList(SelectedEntries(m_current.GetEntries()));
    UpdateInfoText();
}

void CPropPageAutostartDlg::ShowEveryEntryIfHidden(const AutostartEntry& entry) {
    const AutostartEntryList& entries = m_current.GetEntries();
    const bool listed = std::any_of(entries.begin(), entries.end(),
                                    [&](const AutostartEntry& e) { return IsSameEntry(e, entry); });
    if (!listed || ItemOfEntry(entry) >= 0) {
        return;
    }
    m_filter.Clear(m_hWnd);
    ApplyFilter();
}

void CPropPageAutostartDlg::VerifySignatureTurn() {
    ::KillTimer(m_hWnd, kSignatureTimerId);
    // Hidden, nothing waits for them: coming into view starts the turns again.
    if (!::IsWindowVisible(m_hWnd)) {
        return;
    }
    const AutostartEntryList before = m_current.GetEntries();
    const bool left = m_current.FillSignatures(std::chrono::steady_clock::now() + kSignatureTurn);
    const AutostartEntryList& entries = m_current.GetEntries();
    // Sorted by signature the order moves; the switch hides the system's own
    // as they become known.
    if (!SameEntries(before, entries) || FilterEntries(entries, m_filter.Filter()) != m_shown) {
        FillCurrentList(SelectedEntries(before));
        return;
    }
    HWND list = CurrentList();
    for (size_t item = 0; item < m_shown.size(); ++item) {
        const size_t i = m_shown[item];
        if (entries[i].signature.state != before[i].signature.state) {
            SetCellText(list, static_cast<int>(item), kEntryColumnSignature,
                        FormatSignature(entries[i].signature));
            ::SendMessageA(list, LVM_REDRAWITEMS, item, item);
        }
    }
    if (left) {
        ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
    }
}

void CPropPageAutostartDlg::ComeIntoView() {
    ::SetTimer(m_hWnd, kSignatureTimerId, kSignatureTurnGapMs, nullptr);
}

void CPropPageAutostartDlg::RefreshRemovedList() {
    // Item i of list 1002 is record i: Restore relies on it.
    m_removed.clear();
    ReadRemovedIndex(m_removed, GetFileOfRemovedInfoDataBase());
    m_disabled.clear();
    ReadDisabledEntries(m_disabled, GetDisabledStoreIn(GetRemovedFolder()));
    HWND list = RemovedList();
    if (list == nullptr) {
        return;
    }
    BeginRebuild(list);
    for (const RemovedEntry& record : m_removed) {
        AppendRow(list, record.name, GetRemovedOriginalText(record), GetRemovedCurrentText(record));
    }
    // The switched-off services and hooks follow, in their store's order.
    for (const DisabledEntry& record : m_disabled) {
        AppendRow(list, record.name, GetDisabledOriginalText(record),
                  GetDisabledCurrentText(record));
    }
    EndRebuild(list);
}

void CPropPageAutostartDlg::RefreshAfterChange() {
    RefreshEntries(false);
    RefreshRemovedList();
    UpdateInfoText();
}

void CPropPageAutostartDlg::ShowMessage(const std::string& text) {
    ShowChangeFailure(text);
}

void CPropPageAutostartDlg::UpdateInfoText() {
    HWND info = GetItem(IDC_AUTOSTART_INFO);
    if (info == nullptr) {
        return;
    }
    HWND list = CurrentList();
    const int mark = static_cast<int>(::SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
    const bool describe = EntryOfItem(mark) != nullptr && list != nullptr && ::GetFocus() == list;
    ::SetWindowTextA(
        info, describe ? DescribeEntry(static_cast<int>(m_shown[static_cast<size_t>(mark)])).c_str()
                       : "");
}

std::string CPropPageAutostartDlg::DescribeEntry(int index) const {
    const AutostartEntryList& entries = m_current.GetEntries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) {
        return {};
    }
    const AutostartEntry& entry = entries[static_cast<size_t>(index)];
    // The reason first, where the box shows it without scrolling.
    std::string text = (m_current.GetAccepted().IsChanged(entry.path)
                            ? std::string(kChangedSinceAcceptedNote) + "\r\n"
                            : std::string()) +
                       DescribeAutostartEntry(entry);
    if (m_jumps != nullptr) {
        text += "\r\n" + DescribeProcessesOfEntry(entry, m_jumps->RunningProcesses());
    }
    return text;
}

void CPropPageAutostartDlg::ShowProcessOfSelected() {
    const AutostartEntry* entry = EntryOfItem(FirstSelected(CurrentList()));
    if (m_jumps == nullptr || entry == nullptr) {
        return;
    }
    const ProcessRowList& rows = m_jumps->RunningProcesses();
    const std::vector<size_t> running = FindProcessesOfEntry(*entry, rows);
    if (running.empty()) {
        AppMessageBox("Its program is not running now.");
        return;
    }
    m_jumps->ShowProcess(rows[running.front()].processId);
}

void CPropPageAutostartDlg::SelectEntry(const AutostartEntry& wanted) {
    // Asked for by name, it is shown even where the filter hid it.
    ShowEveryEntryIfHidden(wanted);
    const int item = ItemOfEntry(wanted);
    if (item >= 0) {
        SelectOnly(CurrentList(), item);
        UpdateInfoText();
    }
}

std::string CPropPageAutostartDlg::GetReportText(const std::string& separator) const {
    return GetAutostartReportText(m_current.GetEntries(), separator);
}

void CPropPageAutostartDlg::CollectSelectedPaths(std::vector<std::string>& paths) const {
    HWND list = CurrentList();
    for (int item = FirstSelected(list); EntryOfItem(item) != nullptr;
         item = NextSelected(list, item)) {
        paths.push_back(EntryOfItem(item)->path);
    }
}

void CPropPageAutostartDlg::RunCommand(int command) {
    if (command == kCommandNew) {
        COrvNewAutostartItemDlg dialog;
        dialog.DoModal(m_hWnd);
        RefreshAfterChange();
        return;
    }
    if (command == kCommandRefresh) {
        RefreshAfterChange();
        return;
    }
    if (command == kCommandShowLinked) {
        ShowProcessOfSelected();
        return;
    }
    // Only list 1001 takes commands; the removed list has its own menu.
    if (command < kCommandRemove || command > kCommandOnlineInfo || ::GetFocus() == RemovedList()) {
        return;
    }
    LogValue("Invoke action:", static_cast<uint32_t>(command));
    std::vector<std::string> paths;
    CollectSelectedPaths(paths);
    if (paths.empty()) {
        LogLine(" Nothing selected");
        AppMessageBox("Nothing selected");
        return;
    }
    switch (command) {
    case kCommandRemove:
        RemoveFirstSelected();
        break;
    case kCommandAccept:
    case kCommandUnaccept:
        SetSelectedState(command == kCommandAccept ? 1 : 0);
        break;
    case kCommandOpenFolder:
        OpenContainingFolder(m_hWnd, CommandLineToFilePath(paths.front()));
        break;
    case kCommandProperties:
        for (std::string& path : paths) {
            path = CommandLineToFilePath(path);
        }
        ShowShellPropertiesOfList(paths);
        break;
    case kCommandOnlineInfo:
        OpenOnlineInfo(CommandLineToFilePath(paths.front()));
        break;
    default:
        break;
    }
}

void CPropPageAutostartDlg::RemoveFirstSelected() {
    if (::MessageBoxA(m_hWnd, "Are you sure you want to remove selected items?", "", MB_YESNO) !=
        IDYES) {
        LogLine(" User aborts");
        return;
    }
    // The timer may have rebuilt the list while the question was open; a
    // rebuild drops the selection.
    const AutostartEntry* selected = EntryOfItem(FirstSelected(CurrentList()));
    if (selected == nullptr) {
        LogLine(" No item was selected");
        return;
    }
    // A copy: the removal ends by rescanning, which replaces the entries.
    const AutostartEntry entry = *selected;
    RemoveEntry(*this, entry);
}

void CPropPageAutostartDlg::SetSelectedState(int32_t state) {
    std::vector<std::string> paths;
    CollectSelectedPaths(paths);
    const CAcceptedList& accepted = m_current.GetAccepted();
    if (!m_current.SetAccepted(paths, state)) {
        LogLine(" Failed to save the accepted entries");
        ShowFileNotSaved(accepted.GetFile(), kChangeHeldForThisRun);
    }
    HWND list = CurrentList();
    const LRESULT count = ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    ::SendMessageA(list, LVM_REDRAWITEMS, 0, count);
}

void CPropPageAutostartDlg::DrawEntry(const DRAWITEMSTRUCT& draw) const {
    const AutostartEntry* shown = EntryOfItem(static_cast<int>(draw.itemID));
    if (shown == nullptr) {
        return;
    }
    const AutostartEntry& entry = *shown;
    HDC dc = draw.hDC;
    RECT rect = draw.rcItem;
    const bool highlighted = (draw.itemState & (ODS_SELECTED | ODS_FOCUS)) != 0;
    ::FillRect(dc, &rect, ::GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    COLORREF text = ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    if (entry.switchedOff) {
        if (!highlighted) {
            text = ::GetSysColor(COLOR_GRAYTEXT);
        }
    } else if (!m_current.GetAccepted().IsAccepted(entry.path)) {
        text = highlighted ? kUnacceptedHighlightedText : kUnacceptedText;
    }
    const int savedDc = ::SaveDC(dc);
    ::SetTextColor(dc, text);
    // The cells go over the highlight, not over a box of their own.
    ::SetBkMode(dc, TRANSPARENT);

    const int icon = GetFileIconIndex(entry.path);
    if (SystemImageList != nullptr && icon >= 0) {
        ::ImageList_Draw(SystemImageList, icon, dc, rect.left, rect.top, ILD_TRANSPARENT);
    }
    HWND list = draw.hwndItem;
    const std::string texts[] = {entry.name, entry.path, GetLocationDisplayText(entry),
                                 FormatSignature(entry.signature)};
    const int margin = ScaleForDpi(5, WindowDpi(list));
    int left = rect.left;
    for (int column = 0; column < static_cast<int>(std::size(texts)); ++column) {
        const int width = ColumnWidth(list, column);
        const int icon = column == 0 ? SystemImageListIconWidth() : 0;
        DrawCell(dc, texts[column],
                 RECT{left + margin + icon, rect.top, left + width, rect.bottom});
        left += width;
    }
    ::RestoreDC(dc, savedDc);
}

void CPropPageAutostartDlg::ShowCurrentEntriesMenu() {
    UpdateInfoText();
    CQuickMenu menu;
    OpenMenuWindow(menu);
    AppendCurrentEntriesMenuItems(menu);
    const int command = CommandOfCurrentEntriesMenuItem(menu.Track(0, -1, -1, 0));
    if (command != 0) {
        RunCommand(command);
    }
}

void CPropPageAutostartDlg::ShowRemovedEntriesMenu() {
    CQuickMenu menu;
    OpenMenuWindow(menu);
    menu.AppendItem(0, kMenuRestore, "Restore");
    if (menu.Track(0, -1, -1, 0) != kMenuRestore) {
        return;
    }
    const int index = FirstSelected(RemovedList());
    const size_t removed = m_removed.size();
    if (index >= 0 && static_cast<size_t>(index) < removed) {
        RestoreEntry(*this, index);
    } else if (index >= 0 && static_cast<size_t>(index) - removed < m_disabled.size()) {
        // A copy: restoring refreshes the list it comes from.
        const DisabledEntry record = m_disabled[static_cast<size_t>(index) - removed];
        RestoreDisabledEntry(*this, record);
    }
}

bool CPropPageAutostartDlg::OnCurrentListNotify(NMHDR& header) {
    switch (header.code) {
    case LVN_COLUMNCLICK:
        m_current.SetSortColumn(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        RefreshEntries(true);
        return true;
    case NM_RCLICK:
        ShowCurrentEntriesMenu();
        return true;
    case NM_CLICK:
    case LVN_ITEMCHANGED:
        if (!m_rebuilding) {
            UpdateInfoText();
        }
        return true;
    case LVN_KEYDOWN: {
        const int command = KeyToCommand(reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
        if (command != 0) {
            RunCommand(command);
        }
        return true;
    }
    case LVN_ODSTATECHANGED:
        return true;
    default:
        return false;
    }
}

bool CPropPageAutostartDlg::OnNotify(NMHDR& header, LRESULT& result) {
    bool handled = false;
    if (header.idFrom == IDC_AUTOSTART_CURRENT) {
        handled = OnCurrentListNotify(header);
    } else if (header.idFrom == IDC_AUTOSTART_REMOVED) {
        if (header.code == NM_RCLICK) {
            ShowRemovedEntriesMenu();
            handled = true;
        } else if (header.code == NM_SETFOCUS) {
            UpdateInfoText();
            handled = true;
        }
    }
    if (handled) {
        result = 0;
        return true;
    }
    return COrvPage::OnNotify(header, result);
}

bool CPropPageAutostartDlg::OnCommand(WORD id, WORD code, HWND) {
    if (!m_filter.IsChange(id, code)) {
        return false;
    }
    ApplyFilter();
    return true;
}

bool CPropPageAutostartDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kChangeTimerId) {
            ::KillTimer(m_hWnd, kChangeTimerId);
        }
        if (wParam == kPageClockId || wParam == kChangeTimerId) {
            RefreshEntries(true);
        }
        if (wParam == kSignatureTimerId) {
            VerifySignatureTurn();
        }
        return false;
    case WM_DRAWITEM:
        if (wParam != IDC_AUTOSTART_CURRENT) {
            return false;
        }
        DrawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    case WM_DESTROY:
        win::SetLoopWaits({}, nullptr);
        m_watch.reset();
        m_current.GetAccepted().Store();
        return false;
    default:
        return false;
    }
}
