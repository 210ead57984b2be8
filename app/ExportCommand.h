#pragma once
// "orvane.exe /report <file>" and "orvane.exe /csv <file>": what the command
// line asks to be written, read apart from the system so any line is safe.
#include <string>
#include <vector>

enum class ExportKind { None, Report, Csv };

struct ExportCommand {
    ExportKind kind = ExportKind::None;
    std::string file;
    // Set when the line asks for an export it does not say enough about.
    std::string error;
};

// The arguments after the program's name, split as the C runtime splits them:
// white space between arguments, double quotes around spaces, backslashes
// literal unless they come before a quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The export the whole command line (program name first, as the system gives
// it) asks for; kind None when it asks for none.
ExportCommand ParseExportCommand(const std::string& commandLine);
