#include "tests/e2e/RemoteListView.h"

#include "tests/e2e/Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace e2e {

RemoteMemory::RemoteMemory(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    m_process.Reset(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process) {
        m_remote = static_cast<char*>(
            ::VirtualAllocEx(m_process.Get(), nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE));
    }
}

RemoteMemory::~RemoteMemory() {
    if (m_remote != nullptr) {
        ::VirtualFreeEx(m_process.Get(), m_remote, 0, MEM_RELEASE);
    }
}

void RemoteMemory::Write(SIZE_T offset, const void* data, SIZE_T bytes) const {
    ::WriteProcessMemory(m_process.Get(), m_remote + offset, data, bytes, nullptr);
}

void RemoteMemory::Read(SIZE_T offset, void* data, SIZE_T bytes) const {
    ::ReadProcessMemory(m_process.Get(), m_remote + offset, data, bytes, nullptr);
}

RemoteListView::RemoteListView(HWND list) : m_list(list), m_remote(list) {}

int RemoteListView::Count() const {
    return static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
}

std::string RemoteListView::Text(int item, int column) const {
    if (!IsReady()) {
        return {};
    }
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = m_remote.At(sizeof(LVITEMA));
    request.cchTextMax = static_cast<int>(RemoteMemory::kBytes - sizeof(LVITEMA));
    m_remote.Write(0, &request, sizeof request);
    const LRESULT length = ::SendMessageA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                          reinterpret_cast<LPARAM>(m_remote.At(0)));
    std::string text(static_cast<size_t>(length), '\0');
    m_remote.Read(sizeof(LVITEMA), text.data(), text.size());
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

RECT RemoteListView::ItemRect(int item, int part) const {
    RECT rect{part, 0, 0, 0};
    if (!IsReady()) {
        return RECT{};
    }
    m_remote.Write(0, &rect, sizeof rect);
    ::SendMessageA(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(m_remote.At(0)));
    m_remote.Read(0, &rect, sizeof rect);
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void RemoteListView::EnsureVisible(int item) const {
    ::SendMessageA(m_list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

namespace {

// The text of a tooltip's tool, asked through a buffer in the tooltip's process.
std::string ToolText(HWND tip, const RemoteMemory& remote, int tool) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    remote.Write(0, &info, sizeof info);
    if (!::SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(tool),
                        reinterpret_cast<LPARAM>(remote.At(0)))) {
        return {};
    }
    remote.Read(0, &info, sizeof info);
    constexpr size_t kChars = (RemoteMemory::kBytes - sizeof info) / sizeof(wchar_t);
    std::wstring wide(kChars, L'\0');
    info.lpszText = reinterpret_cast<wchar_t*>(remote.At(sizeof info));
    remote.Write(sizeof info, wide.data(), kChars * sizeof(wchar_t));
    remote.Write(0, &info, sizeof info);
    ::SendMessageW(tip, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(remote.At(0)));
    remote.Read(sizeof info, wide.data(), (kChars - 1) * sizeof(wchar_t));
    wide.resize(wide.find(L'\0'));
    std::string text(wide.size() * 2 + 1, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(),
                                             static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return text;
}

// Calls found(tip) for each tooltip window of the notification area until it
// answers true.
template <typename Found> void ForEachTrayTooltip(Found found) {
    HWND tray = FindTrayWindow();
    DWORD trayProcess = 0;
    ::GetWindowThreadProcessId(tray, &trayProcess);
    for (HWND tip = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip != nullptr;
         tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(tip, &owner);
        if (tray != nullptr && owner == trayProcess && found(tip)) {
            return;
        }
    }
}

} // namespace

HWND ShownTrayTooltip() {
    HWND shown = nullptr;
    ForEachTrayTooltip([&](HWND tip) {
        shown = ::IsWindowVisible(tip) ? tip : nullptr;
        return shown != nullptr;
    });
    return shown;
}

namespace {

bool IsWindowOf(uintptr_t value, DWORD processId) {
    HWND window = reinterpret_cast<HWND>(value);
    DWORD owner = 0;
    return value != 0 && ::IsWindow(window) && ::GetWindowThreadProcessId(window, &owner) != 0 &&
           owner == processId;
}

// Wine's notification area keeps a record of each icon in its own memory,
// holding the window that added the icon (the program's), its id and, a slot
// or three after that window, the icon's tooltip window; nothing on the screen
// ties a tooltip to its program. So the program's tooltip is the tooltip
// window whose handle stands in the tray's memory a few slots after a window
// of the program. Null when there is none.
HWND FindTrayTooltipOf(DWORD programId) {
    std::vector<uintptr_t> tips;
    ForEachTrayTooltip([&](HWND tip) {
        tips.push_back(reinterpret_cast<uintptr_t>(tip));
        return false;
    });
    DWORD trayProcess = 0;
    ::GetWindowThreadProcessId(FindTrayWindow(), &trayProcess);
    win::UniqueHandle tray(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, trayProcess));
    if (tips.empty() || !tray) {
        return nullptr;
    }
    std::vector<uintptr_t> words;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr;
         ::VirtualQueryEx(tray.Get(), at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE ||
            region.Protect != PAGE_READWRITE) {
            continue;
        }
        words.resize(region.RegionSize / sizeof(uintptr_t));
        SIZE_T read = 0;
        ::ReadProcessMemory(tray.Get(), region.BaseAddress, words.data(), region.RegionSize, &read);
        for (size_t i = 3; i < read / sizeof(uintptr_t); ++i) {
            if (std::find(tips.begin(), tips.end(), words[i]) == tips.end()) {
                continue;
            }
            for (size_t back = 1; back <= 3; ++back) {
                if (IsWindowOf(words[i - back], programId)) {
                    return reinterpret_cast<HWND>(words[i]);
                }
            }
        }
    }
    return nullptr;
}

} // namespace

std::string TrayTooltipOf(DWORD programId) {
    // The search reads the tray's memory: once per icon is enough.
    static std::map<DWORD, HWND> known;
    HWND& tip = known[programId];
    if (tip == nullptr || !::IsWindow(tip)) {
        tip = FindTrayTooltipOf(programId);
    }
    const RemoteMemory remote(tip);
    if (tip == nullptr || !remote.IsReady()) {
        return "<no tooltip>";
    }
    return ToolText(tip, remote, 0);
}

} // namespace e2e
