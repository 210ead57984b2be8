// The system report with 300 process blocks and 200 autostart blocks: the
// text alone, the text with the live general figures, and the dialog's whole
// rebuild, which also hands the text to the rich edit.
#include "bench/BenchTiming.h"
#include "process/ProcessColumns.h"
#include "res/resource.h"
#include "ui/SystemReportDlg.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kProcesses = 300;
constexpr int kAutostartEntries = 200;
constexpr int kRounds = 25;
constexpr int kDialogRounds = 9;

// A file-information text as long as a real one.
const char kFileInfo[] = "File: C:\\Program Files\\Vendor\\Product\\program.exe\r\n"
                         "Size: 1843200 bytes\r\nCreated: 2006-04-12 10:20:31\r\n"
                         "Modified: 2006-04-12 10:20:31";

std::string ProcessBlocks() {
    std::string text;
    for (int i = 1; i <= kProcesses; ++i) {
        ProcessRow row;
        row.name = "program" + std::to_string(i) + ".exe";
        row.path = "C:\\Program Files\\Vendor\\Product\\" + row.name;
        row.processId = static_cast<uint32_t>(1000 + i);
        row.windows = "[1] Program window,";
        row.workingSet = 4u << 20;
        row.pageFile = 2u << 20;
        text += FormatReportSectionHeader("Process", static_cast<size_t>(i));
        text += FormatProcessInfo(row, kFileInfo);
    }
    return text;
}

std::string AutostartBlocks() {
    std::string text;
    for (int i = 1; i <= kAutostartEntries; ++i) {
        text += FormatReportSectionHeader("Autostart program", static_cast<size_t>(i));
        text += "Title: Program " + std::to_string(i) +
                "\r\nLocation: HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\r\n" +
                kFileInfo;
    }
    return text;
}

} // namespace

int main() {
    const std::string processes = ProcessBlocks();
    const std::string autostart = AutostartBlocks();
    const ReportChoices all;
    const GeneralFacts facts = ReadGeneralFacts();
    size_t length = 0;
    std::printf("System: %s\n", facts.systemText.c_str());

    const double textMs = MedianMilliseconds(
        kRounds, [&] { return BuildReportText(all, facts, autostart, processes).size(); }, length);
    std::printf("BuildReportText, %d process and %d autostart blocks (%zu characters), median of "
                "%d: %.3f ms\n",
                kProcesses, kAutostartEntries, length, kRounds, textMs);

    const double liveMs = MedianMilliseconds(
        kRounds,
        [&] { return BuildReportText(all, ReadGeneralFacts(), autostart, processes).size(); },
        length);
    std::printf("with live general figures, median of %d: %.3f ms\n", kRounds, liveMs);

    // The rich edit's class lives in riched32.dll; it needs a display.
    win::UniqueLibrary richEdit(LoadLibraryA("riched32.dll"));
    CSystemReportDlg dialog({[&] { return autostart; }, [&] { return processes; }, {}, {}});
    if (!richEdit || !dialog.Create(nullptr)) {
        std::printf("report dialog: could not be created (no display?)\n");
        return 1;
    }
    const double dialogMs = MedianMilliseconds(
        kDialogRounds,
        [&] {
            dialog.BuildReport();
            return static_cast<size_t>(GetWindowTextLengthA(dialog.GetItem(IDC_REPORT_TEXT)));
        },
        length);
    std::printf("dialog rebuild into the rich edit (%zu characters shown), median of %d: %.3f ms "
                "(goal: under 500 ms)\n",
                length, kDialogRounds, dialogMs);
    DestroyWindow(dialog.GetHwnd());
    return 0;
}
