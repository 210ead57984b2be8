// Where the running program's time goes, timer by timer: the real main sheet
// with its three pages, first hidden in the tray as on any later run, then
// shown on the Processes page. Every timer message is timed where the sheet's
// modal loop dispatches it, as wall time in the handler and as thread CPU.
// At the end of each phase the sheet's 200 ms work is also timed call by call.
// Usage: timer_paths_bench.exe [seconds per phase, 30 by default]
#include "bench/BenchTiming.h"
#include "ui/AppWindow.h"
#include "ui/LogWindow.h"
#include "ui/SheetDlg.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

constexpr UINT kSettleMs = 10000;
constexpr UINT kShownSettleMs = 2000;
constexpr int kDirectCalls = 100;

// Nothing opens: the checks are timed, not the warnings.
class CNoWarnings : public IWarningGate {
  public:
    bool ShouldShowWarning(const std::string&) override { return false; }
    void OpenWarning(const WarningSubject&) override {}
};

// Milliseconds of CPU this thread has used so far.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

struct PathCost {
    int calls = 0;
    double wallMs = 0;
    double cpuMs = 0;
};

enum Phase { kSettling, kHidden, kShowing, kShown, kDone };

class CTimedSheet : public CSheetDlg {
  public:
    explicit CTimedSheet(UINT phaseMs) : CSheetDlg("ORV", nullptr, 0), m_phaseMs(phaseMs) {}

    // A thread timer: the modal loop brings it here with no window.
    void Arm(UINT ms) {
        if (m_phaseTimer != 0) {
            ::KillTimer(nullptr, m_phaseTimer);
        }
        m_phaseTimer = ::SetTimer(nullptr, 0, ms, nullptr);
    }

    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message != WM_TIMER) {
            return CSheetDlg::PreTranslateMessage(msg);
        }
        if (msg.hwnd == nullptr && msg.wParam == m_phaseTimer) {
            NextPhase();
            return true;
        }
        const std::string path = Classify(msg.hwnd);
        const double wall = BenchNow();
        const double cpu = ThreadCpuMs();
        ::DispatchMessageA(&msg);
        if (m_phase == kHidden || m_phase == kShown) {
            PathCost& cost = m_costs[m_phase][path];
            ++cost.calls;
            cost.wallMs += BenchNow() - wall;
            cost.cpuMs += ThreadCpuMs() - cpu;
        }
        return true;
    }

    void Report() const {
        const double seconds = m_phaseMs / 1000.0;
        std::printf("timer paths: %.0f s hidden in the tray, then %.0f s shown on the Processes "
                    "page\n",
                    seconds, seconds);
        std::printf("%-34s | %6s %8s %8s %8s | %6s %8s %8s %8s\n", "path", "hidden", "wall", "cpu",
                    "wall", "shown", "wall", "cpu", "wall");
        std::printf("%-34s | %6s %8s %8s %8s | %6s %8s %8s %8s\n", "", "calls", "ms/s", "ms/s",
                    "ms/call", "calls", "ms/s", "ms/s", "ms/call");
        std::map<std::string, int> names;
        for (const auto& phase : m_costs) {
            for (const auto& [name, cost] : phase.second) {
                names[name] = 0;
            }
        }
        for (const auto& [name, unused] : names) {
            std::printf("%-34s", name.c_str());
            for (Phase phase : {kHidden, kShown}) {
                PathCost cost;
                if (auto found = m_costs.find(phase); found != m_costs.end()) {
                    if (auto path = found->second.find(name); path != found->second.end()) {
                        cost = path->second;
                    }
                }
                std::printf(" | %6d %8.2f %8.2f %8.3f", cost.calls, cost.wallMs / seconds,
                            cost.cpuMs / seconds, cost.calls ? cost.wallMs / cost.calls : 0.0);
            }
            std::printf("\n");
        }
        std::printf("process CPU over each phase: hidden %.0f ms, shown %.0f ms\n",
                    m_processCpuMs[0], m_processCpuMs[1]);
        std::printf("the sheet's 200 ms work, %d calls each (wall ms per call):\n", kDirectCalls);
        for (const auto& [name, perCall] : m_direct) {
            std::printf("  %-44s hidden %8.3f   shown %8.3f\n", name.c_str(), perCall[0],
                        perCall[1]);
        }
    }

  private:
    std::string Classify(HWND window) {
        if (window == GetHwnd()) {
            return "sheet timer";
        }
        if (window == m_pageAutostart.GetHwnd()) {
            return "Autostart page 30 s";
        }
        if (window == m_pageProcess.GetHwnd()) {
            const uint32_t tick = ++m_processTicks;
            if (tick % 5 == 0 && tick % 4 == 0) {
                return "Processes page refresh+sample";
            }
            if (tick % 5 == 0) {
                return "Processes page refresh (5 s)";
            }
            if (tick % 4 == 0) {
                return "Processes page sample (4 s)";
            }
            return "Processes page other ticks";
        }
        if (window == m_pageInfo.GetHwnd()) {
            return "Info page 500 ms";
        }
        return "other windows";
    }

    static double ProcessCpuMs() {
        FILETIME created, exited, kernel, user;
        ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
        auto ms = [](const FILETIME& time) {
            return static_cast<double>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                       time.dwLowDateTime) /
                   10000.0;
        };
        return ms(kernel) + ms(user);
    }

    // The sheet's checks and tray update, called directly: what each costs
    // when nothing has changed since the last call.
    void TimeDirectCalls(int column) {
        CNoWarnings gate;
        auto time = [&](const char* name, auto call) {
            const double start = BenchNow();
            for (int i = 0; i < kDirectCalls; ++i) {
                call();
            }
            m_direct[name][column] = (BenchNow() - start) / kDirectCalls;
        };
        time("Autostart page CheckUnaccepted", [&] { m_pageAutostart.CheckUnaccepted(gate); });
        time("process table CheckUnaccepted",
             [&] { m_pageProcess.GetTable().CheckUnaccepted(gate); });
        time("UpdateTrayIcon (same figures)", [&] { UpdateTrayIcon(false); });
    }

    void NextPhase() {
        switch (m_phase) {
        case kSettling:
            m_phase = kHidden;
            m_phaseCpu = ProcessCpuMs();
            Arm(m_phaseMs);
            break;
        case kHidden:
            m_processCpuMs[0] = ProcessCpuMs() - m_phaseCpu;
            TimeDirectCalls(0);
            // As the user's click on the tray icon.
            ::SendMessageA(GetHwnd(), WM_TRAYNOTIFY, 1, WM_LBUTTONDOWN);
            m_phase = kShowing;
            Arm(kShownSettleMs);
            break;
        case kShowing:
            m_phase = kShown;
            m_phaseCpu = ProcessCpuMs();
            Arm(m_phaseMs);
            break;
        case kShown:
            m_processCpuMs[1] = ProcessCpuMs() - m_phaseCpu;
            TimeDirectCalls(1);
            m_phase = kDone;
            ::KillTimer(nullptr, m_phaseTimer);
            ::PostQuitMessage(0);
            break;
        case kDone:
            break;
        }
    }

    UINT m_phaseMs;
    UINT_PTR m_phaseTimer = 0;
    Phase m_phase = kSettling;
    double m_phaseCpu = 0;
    double m_processCpuMs[2] = {};
    uint32_t m_processTicks = 0;
    std::map<Phase, std::map<std::string, PathCost>> m_costs;
    std::map<std::string, double[2]> m_direct;
};

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES;
    ::InitCommonControlsEx(&controls);
    CreateLogWindow();
    SHFILEINFOA fileInfo{};
    SystemImageList = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        "c:\\", 0, &fileInfo, sizeof(fileInfo), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));

    CTimedSheet sheet(static_cast<UINT>(seconds > 0 ? seconds : 30) * 1000);
    sheet.SetFirstUse(false);
    sheet.Arm(kSettleMs);
    sheet.DoModal();
    sheet.Report();
    return 0;
}
