#include "ui/SystemReportDlg.h"

#include "app/MemoryStatus.h"
#include "app/SystemHelpers.h"
#include "res/resource.h"
#include "ui/AppWindow.h"
#include "ui/ReportExport.h"
#include "win/CommonDialogs.h"
#include "win/Handle.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The save dialog's record in its Windows 2000 form, which Vista on takes.
static_assert(sizeof(OPENFILENAMEA) == (sizeof(void*) == 4 ? 88 : 152));

// The rich edit's own limit, which a report of a busy machine passes.
constexpr size_t kDefaultTextLimit = 32767;

// Closes the clipboard on every way out.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) : m_open(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope() {
        if (m_open) {
            ::CloseClipboard();
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};

} // namespace

CSystemReportDlg::CSystemReportDlg(ReportSources sources)
    : win::Dialog(IDD_SYSTEM_REPORT), m_sources(std::move(sources)) {
    LoadRichEditClasses();
}

BOOL CSystemReportDlg::OnInitDialog() {
    for (int id : {IDC_REPORT_GENERAL, IDC_REPORT_AUTOSTART, IDC_REPORT_PROCESSES}) {
        ::CheckDlgButton(m_hWnd, id, BST_CHECKED);
    }
    BuildReport();
    return TRUE;
}

bool CSystemReportDlg::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDC_REPORT_GENERAL:
    case IDC_REPORT_AUTOSTART:
    case IDC_REPORT_PROCESSES:
        BuildReport();
        return true;
    case IDC_REPORT_COPY:
        CopyAll();
        return true;
    case IDC_REPORT_SAVE:
        SaveAs();
        return true;
    default:
        return false;
    }
}

ReportChoices CSystemReportDlg::ReadChoices() const {
    auto ticked = [this](int id) { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
    ReportChoices choices;
    choices.general = ticked(IDC_REPORT_GENERAL);
    choices.autostart = ticked(IDC_REPORT_AUTOSTART);
    choices.processes = ticked(IDC_REPORT_PROCESSES);
    return choices;
}

void CSystemReportDlg::BuildReport() {
    const ReportChoices choices = ReadChoices();
    auto sectionText = [](bool ticked, const std::function<std::string()>& source) {
        return ticked && source ? source() : std::string();
    };
    m_report = BuildReportText(choices, choices.general ? ReadGeneralFacts() : GeneralFacts{},
                               sectionText(choices.autostart, m_sources.autostartText),
                               sectionText(choices.processes, m_sources.processText));
    ShowReport();
}

void CSystemReportDlg::ShowReport() {
    HWND shown = GetItem(IDC_REPORT_TEXT);
    if (shown == nullptr) {
        return;
    }
    if (::GetWindowTextLengthA(shown) == 0) {
        FillTextControl(shown);
        return;
    }
    // The new report goes in before the old one leaves: the dialog shows one
    // whole report or the other at every moment.
    HWND fresh = CreateTextControlLike(shown);
    if (fresh == nullptr) {
        // Slow, but the report is shown all the same.
        FillTextControl(shown);
        return;
    }
    FillTextControl(fresh);
    const bool hadFocus = ::GetFocus() == shown;
    ::SetWindowPos(fresh, shown, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::DestroyWindow(shown);
    if (hadFocus) {
        ::SetFocus(fresh);
    }
}

void CSystemReportDlg::FillTextControl(HWND text) const {
    // Raised before the text goes in: the control cuts what passes its limit.
    const size_t limit = std::max(m_report.size() + 1, kDefaultTextLimit);
    ::SendMessageA(text, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(limit));
    ::SetWindowTextA(text, m_report.c_str());
}

// Measured under Wine: a rich edit takes seconds to let go of a long report
// and a tenth of that to take one, so each new report goes into a new control
// of the same class, place, style and font, hidden until it holds the report.
HWND CSystemReportDlg::CreateTextControlLike(HWND old) {
    char className[64] = {};
    ::GetClassNameA(old, className, sizeof className);
    RECT rect{};
    ::GetWindowRect(old, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(old, GWL_STYLE)) & ~WS_VISIBLE;
    HWND fresh = ::CreateWindowExA(static_cast<DWORD>(::GetWindowLongPtrA(old, GWL_EXSTYLE)),
                                   className, "", style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REPORT_TEXT)),
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (fresh != nullptr) {
        ::SendMessageA(fresh, WM_SETFONT, ::SendMessageA(old, WM_GETFONT, 0, 0), FALSE);
    }
    return fresh;
}

void CSystemReportDlg::CopyAll() {
    // The text as built, not read back from the control, which may have
    // changed its line ends.
    HWND owner = GetAppMainWindow();
    CopyTextToClipboard(owner != nullptr ? owner : m_hWnd, m_report, CF_TEXT);
}

std::string CSystemReportDlg::BuildCsv() const {
    const ReportChoices choices = ReadChoices();
    std::vector<CsvRecord> records;
    for (const auto& [ticked, source] : {std::pair{choices.autostart, &m_sources.autostartRecords},
                                         std::pair{choices.processes, &m_sources.processRecords}}) {
        if (ticked && *source) {
            for (CsvRecord& record : (*source)()) {
                records.push_back(std::move(record));
            }
        }
    }
    return BuildReportCsv(records);
}

void CSystemReportDlg::SaveAs() {
    static constexpr char kFilter[] =
        "Text (*.txt)\0*.txt\0CSV table of the autostart programs and processes (*.csv)\0*.csv\0";
    char file[MAX_PATH] = "report.txt";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrDefExt = "txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!win::ChooseFileToSave(dialog)) {
        return;
    }
    // The name's extension decides; without one, the chosen filter.
    const std::string path = file;
    const size_t dot = path.find_last_of('.');
    const bool csv = dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos
                         ? ::lstrcmpiA(path.c_str() + dot, ".csv") == 0
                         : dialog.nFilterIndex == 2;
    const std::string failure = SaveReportFile(path, csv ? BuildCsv() : m_report);
    if (!failure.empty()) {
        ::MessageBoxA(m_hWnd, failure.c_str(), "System report", MB_OK | MB_ICONWARNING);
    }
}

void ShowSystemReport(const ReportSources& sources) {
    CSystemReportDlg dialog(sources);
    dialog.DoModal(GetAppMainWindow());
}

OsVersionFields ReadOsVersionFields() {
    OsVersionFields fields;
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info)) {
        return fields;
    }
    fields.queried = true;
    fields.platformId = info.dwPlatformId;
    fields.major = info.dwMajorVersion;
    fields.minor = info.dwMinorVersion;
    // Windows 95 to ME keep the major and minor version in the high word.
    fields.build = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? LOWORD(info.dwBuildNumber)
                                                                   : info.dwBuildNumber;
    return fields;
}

std::string GetOsVersionText(bool withPlatform) {
    return FormatOsVersionText(ReadOsVersionFields(), withPlatform);
}

GeneralFacts ReadGeneralFacts() {
    GeneralFacts facts;
    facts.systemText = GetOsVersionText(true);
    facts.windowsDir = ChooseWindowsDirText(ExpandEnvVars("%SYSTEMROOT%"), GetWindowsDir());
    facts.memory = ReadMemoryFigures();
    GetSystemDriveSpace(facts.driveTotalBytes, facts.driveFreeBytes, facts.driveRoot);
    return facts;
}

bool CopyTextToClipboard(HWND owner, const std::string& text, UINT format) {
    win::UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1));
    if (!block) {
        return false;
    }
    void* bytes = ::GlobalLock(block.Get());
    if (bytes == nullptr) {
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(block.Get());

    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) {
        return false;
    }
    if (::SetClipboardData(format, block.Get()) == nullptr) {
        return false;
    }
    // The clipboard owns the block now.
    block.Release();
    return true;
}
