#pragma once
// The heading of one block of the system report, shared by the autostart and
// the process sections.
#include <string>

// A blank line, a rule of 29 dashes, "<title> #<number>", another rule.
std::string FormatReportHeading(const std::string& title, int number);
