#pragma once
// The system report's text and the operating system's name, built from figures
// handed in, so both can be checked without the system they describe.
#include "app/MemoryStatus.h"

#include <cstdint>
#include <string>

// The sections the user ticked.
struct ReportChoices {
    bool general = true;
    bool autostart = true;
    bool processes = true;
};

// The figures of the "GENERAL" section, read once per rebuild.
struct GeneralFacts {
    std::string systemText;
    std::string windowsDir;
    MemoryFigures memory;
    // The system drive's root in "C:\" form and its sizes in bytes.
    std::string driveRoot;
    uint64_t driveTotalBytes = 0;
    uint64_t driveFreeBytes = 0;
};

// The whole report: the two header lines and a blank line, then the ticked
// sections. The section texts are the pages' report texts, used as they are.
std::string BuildReportText(const ReportChoices& choices, const GeneralFacts& general,
                            const std::string& autostartText, const std::string& processText);

// What the version query answered; queried is false when the call failed.
struct OsVersionFields {
    bool queried = false;
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
};

// "Platform: Windows NT family,System version: Windows XP", or without the
// platform part.
std::string FormatOsVersionText(const OsVersionFields& version, bool withPlatform);

// "Windows Dir:" names the expansion of "%SYSTEMROOT%"; where the variable
// does not exist (Windows 95 to ME) the Windows folder instead.
std::string ChooseWindowsDirText(const std::string& expandedSystemRoot,
                                 const std::string& windowsDir);
