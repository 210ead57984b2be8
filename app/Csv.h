#pragma once
// Comma-separated values as RFC 4180 writes them, so spreadsheet programs and
// CSV readers take the program's tables field for field.
#include <string>
#include <vector>

using CsvRecord = std::vector<std::string>;

// The field as it stands, or in double quotes with its quotes doubled when it
// holds a comma, a quote, a CR or an LF.
std::string CsvField(const std::string& text);

// The fields joined by commas, ended by CRLF.
std::string CsvLine(const CsvRecord& fields);
