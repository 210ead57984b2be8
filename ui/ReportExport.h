#pragma once
// The system report as files other programs read: its text, and its autostart
// and process sections as one CSV table; and the run that writes either
// without a window ("orvane.exe /report <file>", "orvane.exe /csv <file>").
#include "app/Csv.h"
#include "app/ExportCommand.h"
#include "autostart/CurrentEntries.h"
#include "process/ProcessTable.h"

#include <string>
#include <vector>

// Both sections in one table, so "/csv <file>" writes the one file it names
// and a reader needs one header: "Section" ("Autostart" or "Process") first,
// then the columns of both pages, then "State". A column the section's page
// does not have stays empty in its rows.
CsvRecord ReportCsvHeader();
// The Autostart page's cells of the entry (name, path, location as shown,
// signature) and its state.
CsvRecord AutostartCsvRecord(const AutostartEntry& entry, const CAcceptedList& accepted);
// The Processes page's cells of the row and its state.
CsvRecord ProcessCsvRecord(const ProcessRow& row, const CAcceptedList& trust);
std::vector<CsvRecord> AutostartCsvRecords(const CCurrentEntries& entries);
std::vector<CsvRecord> ProcessCsvRecords(const CProcessTable& table);
// The header and the records, in the ANSI code page.
std::string BuildReportCsv(const std::vector<CsvRecord>& records);

// Writes the ANSI text whole as UTF-8 with its mark (see app/TextEncoding.h).
// Empty on success, else the reason: "Could not write <file>: <why>".
std::string SaveReportFile(const std::string& file, const std::string& ansiText);

// The run without a window: reads the autostart entries and processes as the
// pages do, writes the file, and answers the exit code (0 when written); a
// failure's one-line reason goes to WriteFailureLine.
int RunExport(const ExportCommand& command);

// The line to standard error (the program's own, else its parent's console),
// and to the debugger output, where a run with neither still leaves it; a
// message box would hold a scheduled run until someone clicks it.
void WriteFailureLine(const std::string& line);
