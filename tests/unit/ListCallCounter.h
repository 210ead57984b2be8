#pragma once
// Counts what a page does to its list view and how many rows it draws, by
// subclassing the list and the page, so tests can tell "left alone" from
// "rebuilt" without looking at pixels.
#include <windows.h>
#include <commctrl.h>

struct ListCallCounts {
    int inserts = 0;
    // LVM_DELETEALLITEMS
    int clears = 0;
    // LVM_DELETEITEM
    int deletes = 0;
    int drawn = 0;
};

class ListCallCounter {
  public:
    ListCallCounter(HWND list, HWND page) : m_list(list), m_page(page) {
        ::SetWindowSubclass(m_list, &CountListCalls, 1, reinterpret_cast<DWORD_PTR>(&counts));
        ::SetWindowSubclass(m_page, &CountDrawing, 1, reinterpret_cast<DWORD_PTR>(&counts));
    }
    ~ListCallCounter() {
        ::RemoveWindowSubclass(m_list, &CountListCalls, 1);
        ::RemoveWindowSubclass(m_page, &CountDrawing, 1);
    }
    ListCallCounter(const ListCallCounter&) = delete;
    ListCallCounter& operator=(const ListCallCounter&) = delete;

    ListCallCounts counts;

  private:
    static LRESULT CALLBACK CountListCalls(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
        auto* counts = reinterpret_cast<ListCallCounts*>(data);
        if (msg == LVM_INSERTITEMA) {
            ++counts->inserts;
        } else if (msg == LVM_DELETEALLITEMS) {
            ++counts->clears;
        } else if (msg == LVM_DELETEITEM) {
            ++counts->deletes;
        }
        return ::DefSubclassProc(window, msg, wParam, lParam);
    }
    static LRESULT CALLBACK CountDrawing(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR data) {
        if (msg == WM_DRAWITEM) {
            ++reinterpret_cast<ListCallCounts*>(data)->drawn;
        }
        return ::DefSubclassProc(window, msg, wParam, lParam);
    }

    HWND m_list;
    HWND m_page;
};
