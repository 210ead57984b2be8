#pragma once
// Reads a list view of another process: texts and rectangles travel through a
// buffer in that process's memory, since those messages carry pointers.
#include "win/Handle.h"

#include <windows.h>

#include <string>

namespace e2e {

class RemoteListView {
  public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool IsReady() const { return m_remote != nullptr; }
    int Count() const;
    std::string Text(int item, int column) const;
    // The first item whose column 0 reads name, or -1.
    int Find(const std::string& name) const;
    // The item's whole row in screen coordinates.
    RECT ItemRect(int item) const;
    // Scrolls the list until the item is in view.
    void EnsureVisible(int item) const;

  private:
    HWND m_list;
    win::UniqueHandle m_process;
    char* m_remote = nullptr;
};

} // namespace e2e
