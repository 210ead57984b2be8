#include "ui/ReportText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kDashes56(56, '-');

const std::string kHeader = "Full system report generated with Orvane\r\nwww.orvane.net\r\n\r\n";

// Above 4 GB everywhere, and used memory is not a whole number of megabytes.
GeneralFacts BigMachine() {
    GeneralFacts facts;
    facts.systemText = "Platform: Windows NT family,System version: Windows XP";
    facts.windowsDir = "C:\\WINDOWS";
    facts.memory.totalPhysical = 6ull << 30;
    facts.memory.availablePhysical = (1536ull << 20) + 123;
    facts.memory.totalPageFile = 8ull << 30;
    facts.memory.availablePageFile = 5ull << 30;
    facts.driveRoot = "C:\\";
    facts.driveTotalBytes = 500107862016ull;
    facts.driveFreeBytes = 123456789012ull;
    return facts;
}

const std::string kGeneral =
    "GENERAL\r\n" + kDashes56 +
    "\r\n"
    "\r\nSystem: Platform: Windows NT family,System version: Windows XP\r\n"
    "Windows Dir: C:\\WINDOWS\r\n"
    "\r\nRAM\r\n---------------\r\n"
    "Total: 6144 MB\r\nUsed: 4607 MB\r\nFree: 1536 MB\r\n"
    "\r\nPage File\r\n---------------\r\n"
    "Total: 8192 MB\r\nUsed: 3072 MB\r\nFree: 5120 MB\r\n"
    "\r\nSystem drive (C:\\)\r\n---------------\r\n"
    "Total: 476940 MB\r\nUsed: 359202 MB\r\nFree: 117737 MB\r\n"
    "\r\n";

const std::string kAutostartBlocks =
    "\r\n\r\n-----------------------------\r\nAutostart program #1\r\n"
    "-----------------------------\r\nName: Updater\r\nPath: C:\\upd.exe";
const std::string kProcessBlocks = "\r\n\r\n-----------------------------\r\nProcess #1\r\n"
                                   "-----------------------------\r\nName: a.exe";

struct Combination {
    bool general, autostart, processes;
    std::string expected;
};

TEST(ReportText, EveryCombinationOfSectionsInOrder) {
    const std::string autostart =
        "AUTOSTART PROGRAMS\r\n" + kDashes56 + kAutostartBlocks + "\r\n\r\n";
    const std::string processes = "PROCESSES\r\n" + kDashes56 + kProcessBlocks;
    const std::vector<Combination> combinations = {
        {false, false, false, kHeader},
        {true, false, false, kHeader + kGeneral},
        {false, true, false, kHeader + autostart},
        {false, false, true, kHeader + processes},
        {true, true, false, kHeader + kGeneral + autostart},
        {true, false, true, kHeader + kGeneral + processes},
        {false, true, true, kHeader + autostart + processes},
        {true, true, true, kHeader + kGeneral + autostart + processes},
    };
    for (const Combination& c : combinations) {
        const ReportChoices choices{c.general, c.autostart, c.processes};
        EXPECT_EQ(BuildReportText(choices, BigMachine(), kAutostartBlocks, kProcessBlocks),
                  c.expected)
            << c.general << c.autostart << c.processes;
    }
}

TEST(ReportText, SectionEndsAsUsersSeeThem) {
    const GeneralFacts facts = BigMachine();
    // Nothing ticked: the two header lines and the blank line only.
    EXPECT_EQ(BuildReportText({false, false, false}, facts, kAutostartBlocks, kProcessBlocks),
              "Full system report generated with Orvane\r\nwww.orvane.net\r\n\r\n");
    // The last process block ends the text, with no blank line after it.
    const std::string processesOnly =
        BuildReportText({false, false, true}, facts, kAutostartBlocks, kProcessBlocks);
    EXPECT_TRUE(processesOnly.ends_with("\r\nName: a.exe")) << processesOnly;
    // The autostart blocks are followed by two line ends.
    const std::string autostartOnly =
        BuildReportText({false, true, false}, facts, kAutostartBlocks, kProcessBlocks);
    EXPECT_TRUE(autostartOnly.ends_with("Path: C:\\upd.exe\r\n\r\n")) << autostartOnly;
    // Empty lists keep their headings.
    EXPECT_EQ(BuildReportText({false, true, true}, facts, "", ""),
              kHeader + "AUTOSTART PROGRAMS\r\n" + kDashes56 + "\r\n\r\nPROCESSES\r\n" + kDashes56);
}

TEST(ReportText, FiguresNeverWrapBelowZero) {
    GeneralFacts facts = BigMachine();
    facts.memory.availablePhysical = facts.memory.totalPhysical + (5ull << 20);
    facts.driveFreeBytes = facts.driveTotalBytes + 1;
    const std::string text = BuildReportText({true, false, false}, facts, "", "");
    EXPECT_NE(
        text.find("\r\nRAM\r\n---------------\r\nTotal: 6144 MB\r\nUsed: 0 MB\r\nFree: 6149 MB"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("Total: 476940 MB\r\nUsed: 0 MB\r\nFree: 476940 MB"), std::string::npos)
        << text;
}

struct VersionRow {
    OsVersionFields fields;
    const char* expected;
};

TEST(OsVersionText, NamesEveryPlatformAndVersionOfTheTable) {
    const std::vector<VersionRow> rows = {
        {{true, 1, 4, 0, 950}, "Platform: Windows 95\\98\\ME family,System version: Windows 95"},
        {{true, 2, 4, 0, 1381}, "Platform: Windows NT family,System version: Windows NT 4.0"},
        {{true, 0, 4, 0, 0}, "Platform: Windows 3.1?,System version: Windows NT 4.0"},
        {{true, 1, 4, 10, 2222}, "Platform: Windows 95\\98\\ME family,System version: Windows 98"},
        {{true, 1, 4, 90, 3000}, "Platform: Windows 95\\98\\ME family,System version: Windows ME"},
        {{true, 2, 3, 51, 1057}, "Platform: Windows NT family,System version: Windows NT 3.51"},
        {{true, 2, 5, 0, 2195}, "Platform: Windows NT family,System version: Windows 2000"},
        {{true, 2, 5, 1, 2600}, "Platform: Windows NT family,System version: Windows XP"},
        {{true, 2, 5, 2, 3790}, "Platform: Windows NT family,System version: Windows Server 2003"},
        {{true, 2, 6, 0, 6002}, "Platform: Windows NT family,System version: Windows Vista"},
        {{true, 2, 6, 1, 7601}, "Platform: Windows NT family,System version: Windows 7"},
        {{true, 2, 6, 2, 9200}, "Platform: Windows NT family,System version: Windows 8"},
        {{true, 2, 6, 3, 9600}, "Platform: Windows NT family,System version: Windows 8.1"},
        {{true, 2, 10, 0, 19045}, "Platform: Windows NT family,System version: Windows 10"},
        {{true, 2, 10, 0, 21999}, "Platform: Windows NT family,System version: Windows 10"},
        {{true, 2, 10, 0, 22000}, "Platform: Windows NT family,System version: Windows 11"},
        {{true, 2, 5, 3, 0}, "Platform: Windows NT family,System version: Unknown"},
        {{true, 2, 11, 0, 30000}, "Platform: Windows NT family,System version: Unknown"},
        {{true, 3, 5, 1, 2600}, "Platform: Unknown,System version: Windows XP"},
        {{false, 2, 5, 1, 2600}, "Platform: Windows 3.1?,System version: Unknown"},
    };
    for (const VersionRow& row : rows) {
        const OsVersionFields& f = row.fields;
        EXPECT_EQ(FormatOsVersionText(f, true), row.expected)
            << f.platformId << " " << f.major << "." << f.minor << "." << f.build;
    }
}

TEST(OsVersionText, WithoutPlatformOnlyTheVersion) {
    EXPECT_EQ(FormatOsVersionText({true, 2, 5, 1, 2600}, false), "System version: Windows XP");
    EXPECT_EQ(FormatOsVersionText({false, 0, 0, 0, 0}, false), "System version: Unknown");
}

} // namespace
