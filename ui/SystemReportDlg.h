#pragma once
// "System report": general system facts, the autostart entries and the running
// processes as one plain text, with check boxes choosing the sections, a
// button that copies the text to the clipboard and one that saves it, or the
// ticked list sections as CSV.
#include "app/Csv.h"
#include "ui/ReportText.h"
#include "win/Dialog.h"

#include <functional>
#include <string>
#include <vector>

// Where the list sections come from: each is asked again at every rebuild,
// and only while its section is ticked. An empty function gives no rows.
struct ReportSources {
    std::function<std::string()> autostartText;
    std::function<std::string()> processText;
    // The same sections as the rows of the saved CSV table.
    std::function<std::vector<CsvRecord>()> autostartRecords;
    std::function<std::vector<CsvRecord>()> processRecords;
};

class CSystemReportDlg : public win::Dialog {
  public:
    explicit CSystemReportDlg(ReportSources sources);

    // Rebuilds the text from the check boxes and live figures and shows it.
    void BuildReport();
    // The report as last built (and shown).
    const std::string& GetReportText() const { return m_report; }
    // The ticked list sections as the saved CSV table (ANSI).
    std::string BuildCsv() const;

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

  private:
    ReportChoices ReadChoices() const;
    void ShowReport();
    void FillTextControl(HWND text) const;
    HWND CreateTextControlLike(HWND old);
    void CopyAll();
    void SaveAs();

    ReportSources m_sources;
    std::string m_report;
};

// Opens the report modally over the program's main window (the Info page's
// "Full &report").
void ShowSystemReport(const ReportSources& sources);

// The operating system as the report names it, from the version query.
std::string GetOsVersionText(bool withPlatform);
OsVersionFields ReadOsVersionFields();
// The "GENERAL" figures as the system gives them now.
GeneralFacts ReadGeneralFacts();

// Places a copy of text, with its terminating NUL, on the clipboard in the
// format, opened for owner. False, with nothing copied and the clipboard as it
// was, when the memory cannot be had or the clipboard cannot be opened or emptied.
bool CopyTextToClipboard(HWND owner, const std::string& text, UINT format);
