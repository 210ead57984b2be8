// The least a tray monitor can cost, for the idle benchmark to hold the
// program to: a hidden window, one tray icon added once, and one 200 ms timer
// that reads the processor and memory figures and changes the tooltip only
// when its rounded figures change.
// Usage: bare_tray_monitor.exe (ends when its window is closed or killed)
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kPeriodMs = 200;

uint64_t Ticks(const FILETIME& time) {
    return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

struct Monitor {
    NOTIFYICONDATAA icon{};
    uint64_t lastIdle = 0;
    uint64_t lastBusy = 0;
    int shownCpu = -1;
    int shownMemory = -1;

    void Sample() {
        FILETIME idle{}, kernel{}, user{};
        MEMORYSTATUSEX memory{};
        memory.dwLength = sizeof(memory);
        if (!::GetSystemTimes(&idle, &kernel, &user) || !::GlobalMemoryStatusEx(&memory)) {
            return;
        }
        // Kernel time includes the idle time.
        const uint64_t idleNow = Ticks(idle);
        const uint64_t busyNow = Ticks(kernel) + Ticks(user) - idleNow;
        const uint64_t busy = busyNow - lastBusy;
        const uint64_t all = busy + (idleNow - lastIdle);
        lastIdle = idleNow;
        lastBusy = busyNow;
        const int cpu = all == 0 ? 0 : static_cast<int>(busy * 100 / all);
        const int used = static_cast<int>(memory.dwMemoryLoad);
        if (cpu != shownCpu || used != shownMemory) {
            shownCpu = cpu;
            shownMemory = used;
            std::snprintf(icon.szTip, sizeof(icon.szTip), "CPU %d %%, memory %d %%", cpu, used);
            icon.uFlags = NIF_TIP;
            ::Shell_NotifyIconA(NIM_MODIFY, &icon);
        }
    }
};

Monitor g_monitor;

LRESULT CALLBACK MonitorProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        g_monitor.Sample();
        return 0;
    }
    if (msg == WM_DESTROY) {
        ::Shell_NotifyIconA(NIM_DELETE, &g_monitor.icon);
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MonitorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BareTrayMonitor";
    if (!::RegisterClassA(&windowClass)) {
        return 1;
    }
    HWND window = ::CreateWindowA("BareTrayMonitor", "Bare tray monitor", WS_OVERLAPPED, 0, 0, 0, 0,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAA& icon = g_monitor.icon;
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    std::snprintf(icon.szTip, sizeof(icon.szTip), "Bare tray monitor");
    if (!::Shell_NotifyIconA(NIM_ADD, &icon)) {
        return 1;
    }
    ::SetTimer(window, kTimerId, kPeriodMs, nullptr);
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageA(&msg);
    }
    return 0;
}
