#include "ui/ReportExport.h"

#include "app/FileSignature.h"
#include "app/PathHelpers.h"
#include "app/Privileges.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "app/TextEncoding.h"
#include "autostart/AutostartLocations.h"
#include "autostart/EntryTexts.h"
#include "ui/ReportText.h"
#include "ui/SystemReportDlg.h"
#include "win/Handle.h"

#include <windows.h>

#include <chrono>

namespace {

// The longest a run without a window spends verifying signatures; what is
// left then shows as not verified, as on a page still filling its column.
constexpr std::chrono::seconds kSignatureBudget{120};
// Between the two CPU readings of a run without a window.
constexpr DWORD kCpuReadingGapMs = 500;

std::string ProcessStateText(const ProcessRow& row, const CAcceptedList& trust) {
    return trust.IsChanged(row.path)    ? kChangedSinceAcceptedNote
           : trust.IsAccepted(row.path) ? "Accepted"
                                        : "Not accepted";
}

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

CsvRecord ReportCsvHeader() {
    return {"Section", "Name",      "Path", "Location", "ID",        "Windows",
            "Memory",  "Page File", "CPU",  "Priority", "Signature", "State"};
}

CsvRecord AutostartCsvRecord(const AutostartEntry& entry, const CAcceptedList& accepted) {
    return {"Autostart",
            entry.name,
            entry.path,
            GetLocationDisplayText(entry),
            "",
            "",
            "",
            "",
            "",
            "",
            FormatSignature(entry.signature),
            GetAutostartStateText(entry, accepted)};
}

CsvRecord ProcessCsvRecord(const ProcessRow& row, const CAcceptedList& trust) {
    CsvRecord record{"Process", GetProcessCellText(row, kColumnName),
                     GetProcessCellText(row, kColumnPath), ""};
    for (int column : {kColumnId, kColumnWindows, kColumnMemory, kColumnPageFile, kColumnCpu,
                       kColumnPriority, kColumnSignature}) {
        record.push_back(GetProcessCellText(row, column));
    }
    record.push_back(ProcessStateText(row, trust));
    return record;
}

std::vector<CsvRecord> AutostartCsvRecords(const CCurrentEntries& entries) {
    std::vector<CsvRecord> records;
    for (const AutostartEntry& entry : entries.GetEntries()) {
        records.push_back(AutostartCsvRecord(entry, entries.GetAccepted()));
    }
    return records;
}

std::vector<CsvRecord> ProcessCsvRecords(const CProcessTable& table) {
    std::vector<CsvRecord> records;
    for (const ProcessRow& row : table.GetRows()) {
        records.push_back(ProcessCsvRecord(row, table.GetTrustList()));
    }
    return records;
}

std::string BuildReportCsv(const std::vector<CsvRecord>& records) {
    std::string text = CsvLine(ReportCsvHeader());
    for (const CsvRecord& record : records) {
        text += CsvLine(record);
    }
    return text;
}

std::string SaveReportFile(const std::string& file, const std::string& ansiText) {
    if (WriteFileWhole(file, AnsiToUtf8WithMark(ansiText))) {
        return {};
    }
    return "Could not write " + file + ": " + SystemErrorText(::GetLastError());
}

int RunExport(const ExportCommand& command) {
    if (!command.error.empty()) {
        WriteFailureLine(command.error);
        return 2;
    }
    // As the program in the tray reads them: shortcuts through the shell, other
    // users' processes with the rights it enables.
    ::CoInitialize(nullptr);
    EnableNeccessaryPrivileges();
    CCurrentEntries entries(JoinPath(GetExeDir(), "autostart.dat"));
    entries.GetAccepted().Reload();
    entries.Refresh(false);
    CProcessTable table;
    table.Refresh();
    table.SampleCpu();
    ::Sleep(kCpuReadingGapMs);
    table.SampleCpu();
    const auto deadline = std::chrono::steady_clock::now() + kSignatureBudget;
    for (bool left = true; left && std::chrono::steady_clock::now() < deadline;) {
        const bool entriesLeft = entries.FillSignatures(deadline);
        left = table.FillSignatures(deadline) || entriesLeft;
    }

    std::string text;
    if (command.kind == ExportKind::Csv) {
        std::vector<CsvRecord> records = AutostartCsvRecords(entries);
        for (CsvRecord& record : ProcessCsvRecords(table)) {
            records.push_back(std::move(record));
        }
        text = BuildReportCsv(records);
    } else {
        text = BuildReportText(ReportChoices{}, ReadGeneralFacts(),
                               GetAutostartReportText(entries.GetEntries(), ""),
                               table.GetReportText(""));
    }
    const std::string failure = SaveReportFile(command.file, text);
    if (!failure.empty()) {
        WriteFailureLine(failure);
        return 1;
    }
    return 0;
}

void WriteFailureLine(const std::string& line) {
    ::OutputDebugStringA((line + "\n").c_str());
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    HANDLE own = ::GetStdHandle(STD_ERROR_HANDLE);
    if (Usable(own)) {
        ::WriteFile(own, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return;
    }
    // A GUI program started from a console window gets no handles of its own.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    const win::UniqueFile console(::CreateFileA("CONOUT$", GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    if (console) {
        ::WriteFile(console.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                    nullptr);
    }
    ::FreeConsole();
}
