#include "ui/PropPageInfoDlg.h"

#include "app/AppIdentity.h"
#include "app/MemoryStatus.h"
#include "app/PathHelpers.h"
#include "app/SettingsStore.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "ui/ReportExport.h"
#include "ui/SheetDlg.h"
#include "ui/SystemReportDlg.h"
#include "ui/TrayIconUpdater.h"
#include "ui/TrayText.h"
#include "ui/UsageDiagram.h"
#include "ui/WebAddresses.h"
#include "win/Handle.h"

#include <string>

namespace {

constexpr UINT kInfoTickMs = 500;
// Unseen, the page only keeps its usage histories going: a tick every 1.5 s.
constexpr UINT kUnseenInfoTickMs = 1500;
// CPU and RAM every 1.5 s, the other figures every 2 s.
constexpr uint32_t kUsageEveryTicks = 3;
constexpr uint32_t kOtherInfoEveryTicks = 4;
// The access the program has always opened its own Run value with.
constexpr REGSAM kRunKeyAccess = 0x2001F;

constexpr char kWarningsSection[] = "Options";
constexpr char kWarningsKey[] = "ShowWarningDialogs";

// One count and one total for the program's life, as the page may be created again.
uint32_t g_infoTicks = 0;
uint64_t g_totalPhysical = 0;

std::string MakerPage(const char* pathAndQuery) {
    return std::string(kMakerSiteRoot) + pathAndQuery;
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Whether the current user's Run key holds the program's value as a proper
// text; what it names is not compared with this program.
bool HasOwnRunValue() {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExA(key.Get(), kOwnRunValueName, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        !IsStringType(type) || size == 0) {
        return false;
    }
    std::string data(size, '\0');
    if (::RegQueryValueExA(key.Get(), kOwnRunValueName, nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
        return false;
    }
    return IsStringType(type) && size > 0 && size <= data.size() && data[size - 1] == '\0';
}

void DeleteOwnRunValue() {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, kRunKeyAccess, key.Put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key.Get(), kOwnRunValueName);
    }
}

} // namespace

CPropPageInfoDlg::CPropPageInfoDlg() : COrvPage(IDD_PAGE_INFO) {
    m_contactLink.SetTarget(MakerPage("/contact.htm?id=orv"));
    m_programPageLink.SetTarget(MakerPage("/products/orvane/?id=orv"));
    m_otherSoftwareLink.SetTarget(MakerPage("/products/?id=orv"));
    m_donateLink.SetTarget(MakerPage("/donation.php?id=orv"));
}

BOOL CPropPageInfoDlg::OnInitDialog() {
    SubclassItem(m_contactLink, IDC_INFO_CONTACT);
    SubclassItem(m_programPageLink, IDC_INFO_PROGRAM_PAGE);
    SubclassItem(m_otherSoftwareLink, IDC_INFO_OTHER_SOFTWARE);
    SubclassItem(m_donateLink, IDC_INFO_DONATE);
    SubclassItem(m_flashColour, IDC_INFO_FLASH_COLOUR);

    if (HasOwnRunValue()) {
        ::CheckDlgButton(m_hWnd, IDC_INFO_START_WITH_SYSTEM, BST_CHECKED);
    }
    m_flashColour.m_colour = ReadFlashColour();
    m_savedColour = m_flashColour.m_colour;
    m_flashColour.Redraw();
    const bool warnings = GetSettings().GetBool(kWarningsSection, kWarningsKey, false);
    ::CheckDlgButton(m_hWnd, IDC_INFO_SHOW_WARNINGS, warnings ? BST_CHECKED : BST_UNCHECKED);

    m_cpuDiagram = GetItem(IDC_INFO_CPU_DIAGRAM);
    m_ramDiagram = GetItem(IDC_INFO_RAM_DIAGRAM);
    StartClock(kInfoTickMs);
    RecordLayout();
    return TRUE;
}

void CPropPageInfoDlg::SaveOptions() {
    StoreFlashColour(m_flashColour.m_colour);
    m_savedColour = m_flashColour.m_colour & 0xFFFFFF;
    GetSettings().SetBool(kWarningsSection, kWarningsKey,
                          ::IsDlgButtonChecked(m_hWnd, IDC_INFO_SHOW_WARNINGS) == BST_CHECKED);
}

bool CPropPageInfoDlg::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_LBUTTONUP) {
        m_savePending = true;
    }
    return false;
}

void CPropPageInfoDlg::ComeIntoView() {
    // The texts waited while the page was unseen: current before it shows.
    // The diagrams can only be drawn on a page that shows, at the next tick.
    ShowUsageTexts();
    RefreshOtherInfo();
    m_activated = true;
    SetPace(true);
}

void CPropPageInfoDlg::SetPace(bool seen) {
    if (seen != m_seenPace) {
        m_seenPace = seen;
        StartClock(seen ? kInfoTickMs : kUnseenInfoTickMs);
    }
}

BOOL CPropPageInfoDlg::OnKillActive() {
    SaveOptions();
    return TRUE;
}

bool CPropPageInfoDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDC_INFO_START_WITH_SYSTEM:
        OnStartWithSystemClicked();
        return true;
    case IDC_INFO_FULL_REPORT:
        OpenSystemReport();
        return true;
    default:
        return false;
    }
}

bool CPropPageInfoDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_TIMER:
        if (wParam == kPageClockId) {
            OnTimerTick();
        }
        result = 0;
        return true;
    case WM_DESTROY:
        // Exit and the tray's Exit end the sheet without deactivating the page.
        SaveOptions();
        return false;
    default:
        return false;
    }
}

void CPropPageInfoDlg::OnStartWithSystemClicked() {
    // Errors are not reported: the box then shows what the user asked for.
    if (::IsDlgButtonChecked(m_hWnd, IDC_INFO_START_WITH_SYSTEM) == BST_CHECKED) {
        WriteRegString(HKEY_CURRENT_USER, kRunKeyPath, GetExePath(), kOwnRunValueName);
    } else {
        DeleteOwnRunValue();
    }
}

void CPropPageInfoDlg::OpenSystemReport() {
    // The sections come from the main sheet's list pages, read while their
    // boxes are ticked.
    auto* sheet = static_cast<CSheetDlg*>(win::Window::FromHandle(::GetParent(m_hWnd)));
    if (sheet == nullptr) {
        return;
    }
    ShowSystemReport(
        {[sheet] { return sheet->m_pageAutostart.GetReportText(""); },
         [sheet] { return sheet->m_pageProcess.GetReportText(""); },
         [sheet] { return AutostartCsvRecords(sheet->m_pageAutostart.GetCurrentEntries()); },
         [sheet] { return sheet->m_pageProcess.GetCsvRecords(); }});
}

bool CPropPageInfoDlg::IsShowing() const {
    // The sheet shows only its current page, and nothing while it is hidden
    // in the tray; asking the sheet which page is current would cost a
    // message every tick.
    return ::IsWindowVisible(m_hWnd) != FALSE;
}

void CPropPageInfoDlg::OnTimerTick() {
    if (m_savePending || m_flashColour.m_colour != m_savedColour) {
        m_savePending = false;
        SaveOptions();
    }
    const bool showing = IsShowing();
    SetPace(showing);
    if (!showing) {
        // Each unseen tick is a usage tick; the texts wait until the page shows.
        g_infoTicks += kUsageEveryTicks - g_infoTicks % kUsageEveryTicks;
        m_wasShowing = false;
        RefreshUsage(false);
        return;
    }
    ++g_infoTicks;
    // Coming back from the tray counts as coming into view.
    if (showing && !m_wasShowing) {
        m_activated = true;
    }
    m_wasShowing = showing;

    if (g_infoTicks % kUsageEveryTicks == 0 || m_activated) {
        RefreshUsage(showing);
    }
    if (g_infoTicks % kOtherInfoEveryTicks == 0 || m_activated) {
        RefreshOtherInfo();
    }
    m_activated = false;
}

void CPropPageInfoDlg::RefreshUsage(bool draw) {
    int32_t cpu = 0;
    m_cpuUsage.GetUsage(&cpu);
    m_cpuHistory.push_back(static_cast<uint32_t>(cpu));
    DrawUsageDiagram(m_cpuDiagram, m_cpuHistory, true, !draw);
    const MemoryFigures memory = ReadMemoryFigures();
    if (g_totalPhysical == 0) {
        g_totalPhysical = memory.totalPhysical;
    }
    const uint64_t used =
        memory.availablePhysical < g_totalPhysical ? g_totalPhysical - memory.availablePhysical : 0;
    m_ramHistory.push_back(PercentOf(used, g_totalPhysical));
    DrawUsageDiagram(m_ramDiagram, m_ramHistory, true, !draw);
    m_lastCpu = cpu;
    m_lastUsedRam = used;
    if (draw) {
        ShowUsageTexts();
    }
}

void CPropPageInfoDlg::ShowUsageTexts() {
    if (m_cpuHistory.empty()) {
        return;
    }
    const auto average = static_cast<int32_t>(UsageAverage(m_cpuHistory));
    SetItemText(IDC_INFO_CPU_TEXT, "CPU usage: " + IntToText(m_lastCpu) + " %" +
                                       " ,average: " + IntToText(average) + " %");
    SetItemText(IDC_INFO_RAM_TEXT, "RAM usage: " + MegabytesText(m_lastUsedRam) + " MB");
}

void CPropPageInfoDlg::RefreshOtherInfo() {
    const TrayFigures figures = ReadTrayFigures(0);
    std::string text;
    for (const std::string& line : {PageFileLine(figures), DiskFreeLine(figures)}) {
        if (!line.empty()) {
            text += line + "\r\n";
        }
    }
    SetItemText(IDC_INFO_OTHER_TEXT, text);
}
