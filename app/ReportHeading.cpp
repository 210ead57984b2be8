#include "app/ReportHeading.h"

std::string FormatReportHeading(const std::string& title, int number) {
    static const char kRule[] = "-----------------------------\r\n";
    return "\r\n\r\n" + std::string(kRule) + title + " #" + std::to_string(number) + "\r\n" + kRule;
}
