#include "tests/e2e/RemoteListView.h"

#include <commctrl.h>

namespace e2e {
namespace {

constexpr SIZE_T kBufferBytes = 8192;

} // namespace

RemoteListView::RemoteListView(HWND list) : m_list(list) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(list, &processId);
    m_process.Reset(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process) {
        m_remote = static_cast<char*>(
            ::VirtualAllocEx(m_process.Get(), nullptr, kBufferBytes, MEM_COMMIT, PAGE_READWRITE));
    }
}

RemoteListView::~RemoteListView() {
    if (m_remote != nullptr) {
        ::VirtualFreeEx(m_process.Get(), m_remote, 0, MEM_RELEASE);
    }
}

int RemoteListView::Count() const {
    return static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::Text(int item, int column) const {
    if (!IsReady()) {
        return {};
    }
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = m_remote + sizeof(LVITEMA);
    request.cchTextMax = static_cast<int>(kBufferBytes - sizeof(LVITEMA));
    ::WriteProcessMemory(m_process.Get(), m_remote, &request, sizeof request, nullptr);
    const LRESULT length = ::SendMessageA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                          reinterpret_cast<LPARAM>(m_remote));
    std::string text(static_cast<size_t>(length), '\0');
    ::ReadProcessMemory(m_process.Get(), m_remote + sizeof(LVITEMA), text.data(), text.size(),
                        nullptr);
    return text;
}

int RemoteListView::Find(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (Text(i, 0) == name) {
            return i;
        }
    }
    return -1;
}

RECT RemoteListView::ItemRect(int item) const {
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (!IsReady()) {
        return RECT{};
    }
    ::WriteProcessMemory(m_process.Get(), m_remote, &rect, sizeof rect, nullptr);
    ::SendMessageA(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(m_remote));
    ::ReadProcessMemory(m_process.Get(), m_remote, &rect, sizeof rect, nullptr);
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void RemoteListView::EnsureVisible(int item) const {
    ::SendMessageA(m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

} // namespace e2e
