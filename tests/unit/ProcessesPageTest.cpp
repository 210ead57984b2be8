// The Processes page's list across its refreshes: processes come and go while
// the user has scrolled, selected and focused rows, and the list changes only
// where the processes did.
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/ListCallCounter.h"
#include "ui/PropPageProcessDlg.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

namespace {

class ProcessesPage : public ::testing::Test {
  protected:
    void SetUp() override {
        // Enough processes that the list scrolls.
        for (int i = 0; i < 30; ++i) {
            m_helpers.push_back(std::make_unique<HelperProcess>());
            ASSERT_TRUE(m_helpers.back()->Start("--lifetime=120000"));
        }
        m_sheet = testsupport::CreateSheetAround(m_page, "Processes page test");
        ASSERT_NE(m_sheet, nullptr);
        testsupport::PumpMessages();
        m_list = m_page.GetItem(IDC_PROC_LIST);
        ASSERT_NE(m_list, nullptr);
        m_counter = std::make_unique<ListCallCounter>(m_list, m_page.GetHwnd());
    }

    void TearDown() override {
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
    CPropPageProcessDlg m_page;
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

} // namespace
