#pragma once
// Reads list views and tooltips of another process: texts and rectangles
// travel through a buffer in that process's memory, since those messages carry
// pointers.
#include "win/Handle.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace e2e {

// A buffer in the memory of the process that owns a window, for the messages
// to it that carry pointers.
class RemoteMemory {
  public:
    static constexpr SIZE_T kBytes = 8192;

    explicit RemoteMemory(HWND window);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool IsReady() const { return m_remote != nullptr; }
    // The buffer's address in the other process, offset bytes in.
    char* At(SIZE_T offset) const { return m_remote + offset; }
    void Write(SIZE_T offset, const void* data, SIZE_T bytes) const;
    void Read(SIZE_T offset, void* data, SIZE_T bytes) const;

  private:
    win::UniqueHandle m_process;
    char* m_remote = nullptr;
};

class RemoteListView {
  public:
    explicit RemoteListView(HWND list);

    bool IsReady() const { return m_remote.IsReady(); }
    int Count() const;
    std::string Text(int item, int column) const;
    // The first item whose column 0 reads name, or -1.
    int Find(const std::string& name) const;
    // The item's whole row (or the part LVIR_ names) in screen coordinates.
    RECT ItemRect(int item, int part = LVIR_BOUNDS) const;
    // Scrolls the list until the item is in view.
    void EnsureVisible(int item) const;

  private:
    HWND m_list;
    RemoteMemory m_remote;
};

// The tooltip of the icon the program put into the notification area (Wine's
// tray keeps a tooltip window per icon), or "<no tooltip>". An icon a killed
// copy left behind is not the program's.
std::string TrayTooltipOf(DWORD programId);
// The notification area's tooltip window now on screen, or nullptr.
HWND ShownTrayTooltip();

} // namespace e2e
