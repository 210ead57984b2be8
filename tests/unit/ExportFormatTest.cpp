// The export's portable parts: RFC 4180 fields and the command line that asks
// for a report or a table.
#include "app/Csv.h"
#include "app/ExportCommand.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvFormat, QuotesOnlyWhatNeedsItAndDoublesQuotes) {
    EXPECT_EQ(CsvLine({"plain", "", "C:\\a b\\x.exe"}), "plain,,C:\\a b\\x.exe\r\n");
    EXPECT_EQ(CsvLine({"a,b", "say \"hi\"", "two\r\nlines", "lf\nonly", "\xE9t\xE9"}),
              "\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"lf\nonly\",\xE9t\xE9\r\n");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
}

TEST(ExportCommandLine, ReadsTheSwitchAndItsFile) {
    const ExportCommand quoted =
        ParseExportCommand("\"C:\\Program Files\\Orvane\\orvane.exe\" /CSV \"C:\\my data\\a.csv\"");
    EXPECT_EQ(quoted.kind, ExportKind::Csv);
    EXPECT_EQ(quoted.file, "C:\\my data\\a.csv");
    EXPECT_TRUE(quoted.error.empty());

    const ExportCommand bare = ParseExportCommand("orvane.exe  -report\tC:\\out.txt");
    EXPECT_EQ(bare.kind, ExportKind::Report);
    EXPECT_EQ(bare.file, "C:\\out.txt");

    // Backslashes before a quote, and a quote inside a quoted argument.
    EXPECT_EQ(SplitCommandLine("x \"C:\\dir\\\\\" a\\\\b \"say \"\"hi\"\"\" q\\\"t"),
              (std::vector<std::string>{"C:\\dir\\", "a\\\\b", "say \"hi\"", "q\"t"}));
    EXPECT_EQ(ParseExportCommand("orvane.exe").kind, ExportKind::None);
    EXPECT_EQ(ParseExportCommand("\"C:\\o /csv\\orvane.exe\" /takeover=12").kind, ExportKind::None);
}

TEST(ExportCommandLine, AMissingFileOrTwoSwitchesIsAnError) {
    for (const char* line :
         {"orvane.exe /csv", "orvane.exe /csv \"\"", "orvane.exe /report /csv x"}) {
        const ExportCommand command = ParseExportCommand(line);
        EXPECT_NE(command.kind, ExportKind::None) << line;
        EXPECT_NE(command.error.find("needs the file to write"), std::string::npos) << line;
    }
    EXPECT_FALSE(ParseExportCommand("orvane.exe /csv a /report b").error.empty());
}

} // namespace
