// The Processes page's list across its refreshes: processes come and go while
// the user has scrolled, selected and focused rows, and the list changes only
// where the processes did.
#include "app/SettingsStore.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/ListCallCounter.h"
#include "ui/AppWindow.h"
#include "ui/PropPageProcessDlg.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <vector>

namespace {

// The page as the sheet holds it, noting each command it is asked to run.
class CommandNotingPage : public CPropPageProcessDlg {
  public:
    void RunCommand(int command) override {
        commands.push_back(command);
        CPropPageProcessDlg::RunCommand(command);
    }
    std::vector<int> commands;
};

class ProcessesPage : public ::testing::Test {
  protected:
    void SetUp() override {
        // Enough processes that the list scrolls.
        for (int i = 0; i < 30; ++i) {
            m_helpers.push_back(std::make_unique<HelperProcess>());
            ASSERT_TRUE(m_helpers.back()->Start("--lifetime=120000"));
        }
        SHFILEINFOA info{};
        SystemImageList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("c:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        m_sheet = testsupport::CreateSheetAround(m_page, "Processes page test");
        ASSERT_NE(m_sheet, nullptr);
        testsupport::PumpMessages();
        m_list = m_page.GetItem(IDC_PROC_LIST);
        ASSERT_NE(m_list, nullptr);
        m_counter = std::make_unique<ListCallCounter>(m_list, m_page.GetHwnd());
    }

    void TearDown() override {
        // Unfiltered for the tests after this one.
        GetSettings().SetText("Options", "ProcessesFilter", "");
        GetSettings().SetBool("Options", "ProcessesHideWindowsOwn", false);
        m_counter.reset();
        if (m_sheet != nullptr) {
            DestroyWindow(m_sheet);
            testsupport::PumpMessages();
        }
    }

    int ItemOf(DWORD processId) const {
        LVFINDINFOA find{};
        find.flags = LVFI_PARAM;
        find.lParam = static_cast<LPARAM>(processId);
        return ListView_FindItem(m_list, -1, &find);
    }

    DWORD ProcessAt(int item) const {
        LVITEMA lvItem{};
        lvItem.mask = LVIF_PARAM;
        lvItem.iItem = item;
        ListView_GetItem(m_list, &lvItem);
        return static_cast<DWORD>(lvItem.lParam);
    }

    // Every item stands for the row of the table at its place.
    void ExpectItemsFollowTheRows() {
        const ProcessRowList& rows = m_page.GetTable().GetRows();
        ASSERT_EQ(ListView_GetItemCount(m_list), static_cast<int>(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(ProcessAt(static_cast<int>(i)), rows[i].processId) << "item " << i;
        }
    }

    std::vector<std::unique_ptr<HelperProcess>> m_helpers;
    CommandNotingPage m_page;
    HWND m_sheet = nullptr;
    HWND m_list = nullptr;
    std::unique_ptr<ListCallCounter> m_counter;
};

TEST_F(ProcessesPage, RefreshKeepsScrollSelectionAndFocusAndTouchesOnlyWhatChanged) {
    ExpectItemsFollowTheRows();
    const int count = ListView_GetItemCount(m_list);
    ASSERT_GT(ListView_GetCountPerPage(m_list), 0);
    ASSERT_GT(count, ListView_GetCountPerPage(m_list) + 5) << "the list must scroll";

    // Nothing came or went: no item is inserted or deleted.
    m_page.RefreshList();
    EXPECT_EQ(m_counter->counts.inserts, 0);
    EXPECT_EQ(m_counter->counts.deletes + m_counter->counts.clears, 0);

    // The user scrolls down, short of the end, and selects a helper's row,
    // focusing another.
    ListView_EnsureVisible(m_list, count - 1, FALSE);
    RECT row{};
    ListView_GetItemRect(m_list, 0, &row, LVIR_BOUNDS);
    ListView_Scroll(m_list, 0, -3 * (row.bottom - row.top));
    const int top = ListView_GetTopIndex(m_list);
    ASSERT_GT(top, 0);
    const int selectedItem = top + 1;
    const DWORD selected = ProcessAt(selectedItem);
    const DWORD focused = ProcessAt(top + 2);
    ListView_SetItemState(m_list, selectedItem, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(m_list, top + 2, LVIS_FOCUSED, LVIS_FOCUSED);

    // One helper ends, one starts: one item goes, one comes, none is rebuilt.
    const DWORD gone = m_helpers.front()->Id();
    ASSERT_NE(gone, selected);
    ASSERT_NE(gone, focused);
    m_helpers.front()->Kill();
    m_page.RefreshList();
    EXPECT_EQ(ItemOf(gone), -1) << "the ended process leaves the list";
    EXPECT_EQ(ListView_GetItemCount(m_list), count - 1);
    EXPECT_EQ(m_counter->counts.clears, 0);
    EXPECT_EQ(m_counter->counts.deletes, 1);
    EXPECT_EQ(m_counter->counts.inserts, 0);
    ExpectItemsFollowTheRows();

    auto started = std::make_unique<HelperProcess>();
    ASSERT_TRUE(started->Start("--lifetime=120000"));
    m_page.RefreshList();
    EXPECT_GE(ItemOf(started->Id()), 0) << "the new process is listed";
    EXPECT_EQ(m_counter->counts.inserts, 1);
    EXPECT_EQ(m_counter->counts.clears, 0);
    ExpectItemsFollowTheRows();

    EXPECT_EQ(ListView_GetTopIndex(m_list), top) << "the list did not scroll";
    const int selectedNow = ItemOf(selected);
    ASSERT_GE(selectedNow, 0);
    EXPECT_EQ(ListView_GetItemState(m_list, selectedNow, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(ListView_GetSelectedCount(m_list), 1u) << "no other row took the selection";
    EXPECT_EQ(ListView_GetNextItem(m_list, -1, LVNI_FOCUSED), ItemOf(focused));
}

TEST_F(ProcessesPage, AltEnterAsksForPropertiesFocusStaysOnTheListAndTheSystemIconsAreShared) {
    ListView_SetItemState(m_list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(m_list);
    // Alt held for real, as the page asks the keyboard whether it is.
    INPUT alt{};
    alt.type = INPUT_KEYBOARD;
    alt.ki.wVk = VK_MENU;
    SendInput(1, &alt, sizeof alt);
    SendMessageA(m_list, WM_SYSKEYDOWN, VK_RETURN, 0x20000000);
    alt.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &alt, sizeof alt);
    testsupport::PumpMessages();
    EXPECT_EQ(m_page.commands, std::vector<int>{kCommandProperties}) << "Alt+Enter";

    // A command that finds no row selected still hands the keys back to the list.
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED);
    SetFocus(FindWindowExA(m_sheet, nullptr, "SysTabControl32", nullptr));
    ASSERT_NE(GetFocus(), m_list);
    m_page.RunCommand(kCommandAccept);
    EXPECT_EQ(GetFocus(), m_list);

    // The list draws with the system's icons: a list view destroys the image
    // lists it was given when it goes, unless told they are shared.
    EXPECT_NE(GetWindowLongPtrA(m_list, GWL_STYLE) & LVS_SHAREIMAGELISTS, 0);
}

TEST_F(ProcessesPage, FilterByIdNarrowsAsOneTypesIsKeptAndClearingKeepsTheSelection) {
    // Two rows at the end, below the first page.
    const int count = ListView_GetItemCount(m_list);
    ASSERT_GT(count, ListView_GetCountPerPage(m_list) + 5);
    const DWORD wanted = ProcessAt(count - 2);
    const DWORD other = ProcessAt(count - 1);
    for (DWORD id : {wanted, other}) {
        ListView_SetItemState(m_list, ItemOf(id), LVIS_SELECTED, LVIS_SELECTED);
    }

    char id[16] = {};
    wsprintfA(id, "%08x", static_cast<unsigned>(wanted)); // as shown, but in small letters
    testsupport::TypeText(m_page.GetItem(IDC_PROC_FILTER), id);
    ASSERT_EQ(ListView_GetItemCount(m_list), 1);
    EXPECT_EQ(ProcessAt(0), wanted);
    EXPECT_EQ(ListView_GetItemState(m_list, 0, LVIS_SELECTED), LVIS_SELECTED);
    m_page.RefreshList();
    EXPECT_EQ(ListView_GetItemCount(m_list), 1) << "a refresh keeps the filter";

    {
        CPropPageProcessDlg again;
        HWND sheet = testsupport::CreateSheetAround(again, "Processes page again");
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(ListView_GetItemCount(again.GetItem(IDC_PROC_LIST)), 1) << "restored filtered";
        DestroyWindow(sheet);
        testsupport::PumpMessages();
    }

    SetWindowTextA(m_page.GetItem(IDC_PROC_FILTER), "");
    ExpectItemsFollowTheRows();
    EXPECT_EQ(ListView_GetSelectedCount(m_list), 2u);
    EXPECT_EQ(ListView_GetItemState(m_list, ItemOf(other), LVIS_SELECTED), LVIS_SELECTED);
    const int first = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    EXPECT_GE(first, ListView_GetTopIndex(m_list)) << "the first selected row in sight";
    EXPECT_LT(first, ListView_GetTopIndex(m_list) + ListView_GetCountPerPage(m_list));
}

} // namespace
