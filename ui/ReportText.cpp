#include "ui/ReportText.h"

#include "ui/WebAddresses.h"

namespace {

constexpr char kSectionRule[] = "--------------------------------------------------------";
constexpr char kFigureRule[] = "---------------\r\n";
constexpr uint64_t kBytesPerMegabyte = 1048576;

uint64_t Difference(uint64_t total, uint64_t part) {
    // A system that reports more available than total must not show a wrapped number.
    return total > part ? total - part : 0;
}

void AppendFigures(std::string& text, const std::string& heading, const std::string& total,
                   const std::string& used, const std::string& free) {
    text += "\r\n" + heading + "\r\n" + kFigureRule;
    text += "Total: " + total + " MB\r\n";
    text += "Used: " + used + " MB\r\n";
    text += "Free: " + free + " MB\r\n";
}

void AppendMemoryFigures(std::string& text, const std::string& heading, uint64_t total,
                         uint64_t available) {
    AppendFigures(text, heading, std::to_string(total >> 20),
                  std::to_string(Difference(total, available) >> 20),
                  std::to_string(available >> 20));
}

std::string DriveMegabytes(uint64_t bytes) {
    return std::to_string(static_cast<int64_t>(bytes / kBytesPerMegabyte));
}

void AppendGeneral(std::string& text, const GeneralFacts& facts) {
    text += "GENERAL\r\n";
    text += kSectionRule;
    text += "\r\n";
    text += "\r\nSystem: " + facts.systemText + "\r\n";
    text += "Windows Dir: " + facts.windowsDir + "\r\n";
    AppendMemoryFigures(text, "RAM", facts.memory.totalPhysical, facts.memory.availablePhysical);
    AppendMemoryFigures(text, "Page File", facts.memory.totalPageFile,
                        facts.memory.availablePageFile);
    AppendFigures(text, "System drive (" + facts.driveRoot + ")",
                  DriveMegabytes(facts.driveTotalBytes),
                  DriveMegabytes(Difference(facts.driveTotalBytes, facts.driveFreeBytes)),
                  DriveMegabytes(facts.driveFreeBytes));
    text += "\r\n";
}

const char* PlatformName(const OsVersionFields& version) {
    if (!version.queried) {
        return "Windows 3.1?";
    }
    switch (version.platformId) {
    case 0:
        return "Windows 3.1?";
    case 1:
        return "Windows 95\\98\\ME family";
    case 2:
        return "Windows NT family";
    default:
        return "Unknown";
    }
}

const char* VersionName(const OsVersionFields& version) {
    if (!version.queried) {
        return "Unknown";
    }
    constexpr uint32_t kFirstWindows11Build = 22000;
    struct Row {
        uint32_t major, minor;
        const char* name;
    };
    static const Row kNames[] = {
        {4, 10, "Windows 98"},   {4, 90, "Windows ME"}, {3, 51, "Windows NT 3.51"},
        {5, 0, "Windows 2000"},  {5, 1, "Windows XP"},  {5, 2, "Windows Server 2003"},
        {6, 0, "Windows Vista"}, {6, 1, "Windows 7"},   {6, 2, "Windows 8"},
        {6, 3, "Windows 8.1"},
    };
    if (version.major == 4 && version.minor == 0) {
        return version.platformId == 1 ? "Windows 95" : "Windows NT 4.0";
    }
    if (version.major == 10 && version.minor == 0) {
        return version.build >= kFirstWindows11Build ? "Windows 11" : "Windows 10";
    }
    for (const Row& row : kNames) {
        if (row.major == version.major && row.minor == version.minor) {
            return row.name;
        }
    }
    return "Unknown";
}

} // namespace

std::string BuildReportText(const ReportChoices& choices, const GeneralFacts& general,
                            const std::string& autostartText, const std::string& processText) {
    std::string text = "Full system report generated with Orvane\r\n";
    text += kMakerWebAddress;
    text += "\r\n\r\n";
    if (choices.general) {
        AppendGeneral(text, general);
    }
    if (choices.autostart) {
        text += "AUTOSTART PROGRAMS\r\n";
        text += kSectionRule;
        text += autostartText;
        text += "\r\n\r\n";
    }
    if (choices.processes) {
        text += "PROCESSES\r\n";
        text += kSectionRule;
        text += processText;
    }
    return text;
}

std::string FormatOsVersionText(const OsVersionFields& version, bool withPlatform) {
    std::string text;
    if (withPlatform) {
        text = std::string("Platform: ") + PlatformName(version) + ",";
    }
    return text + "System version: " + VersionName(version);
}

std::string ChooseWindowsDirText(const std::string& expandedSystemRoot,
                                 const std::string& windowsDir) {
    // Substitution leaves an unknown variable as it was written.
    const bool unexpanded = expandedSystemRoot.empty() || expandedSystemRoot == "%SYSTEMROOT%";
    return unexpanded && !windowsDir.empty() ? windowsDir : expandedSystemRoot;
}
