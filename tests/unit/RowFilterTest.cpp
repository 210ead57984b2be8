// The lists' filter apart from any window: which rows the typed text and the
// "Hide Windows' own" switch let through.
#include "app/Mbcs.h"
#include "app/RowFilter.h"
#include "autostart/AutostartLocations.h"
#include "autostart/EntryFilter.h"
#include "process/ProcessColumns.h"

#include <gtest/gtest.h>

namespace {

TEST(RowFilter, TypedTextMatchesAnyTextWithoutCaseInTheCodePageAndEmptyMatchesAll) {
    CRowFilter filter(Latin1252CaseFold());
    EXPECT_TRUE(filter.Matches({"anything"}));
    EXPECT_TRUE(filter.Matches({""}));
    filter.SetText("UpDate");
    EXPECT_TRUE(filter.Matches({"Helper", "C:\\Tools\\updater.exe"}));
    EXPECT_FALSE(filter.Matches({"Helper", "C:\\Tools\\upd-ate.exe"}));

    // Letters of code page 1252 above 0x7F, as the ANSI strings hold them.
    filter.SetText("M\xDCLLER \x8A\x9F");
    EXPECT_TRUE(filter.Matches({"Herr m\xFCller \x9A\xFF"}));
    filter.SetText("\xD7"); // the multiplication sign is no capital of the division sign
    EXPECT_FALSE(filter.Matches({"\xF7"}));

    // A double-byte character's trail byte is not a character of its own.
    mbcs::SetLeadBytePredicateForTesting([](unsigned char byte) { return byte == 0x82; });
    filter.SetText("a");
    EXPECT_FALSE(filter.Matches({"\x82"
                                 "a"}));
    EXPECT_TRUE(filter.Matches({"\x82"
                                "aA"}));
    mbcs::SetLeadBytePredicateForTesting(nullptr);
}

TEST(RowFilter, HideSwitchTakesVerifiedSignaturesOfTheSystemsOwnPublishersOnly) {
    const FileSignature windows{SignatureState::Signed, "Microsoft Windows"};
    EXPECT_TRUE(IsSystemPublisher(windows));
    EXPECT_TRUE(IsSystemPublisher({SignatureState::Signed, "Microsoft Corporation"}));
    EXPECT_TRUE(IsSystemPublisher({SignatureState::Signed, "Microsoft Windows Publisher"}));
    EXPECT_FALSE(IsSystemPublisher(
        {SignatureState::Signed, "Microsoft Windows Hardware Compatibility Publisher"}));
    EXPECT_FALSE(IsSystemPublisher({SignatureState::DoesNotVerify, "Microsoft Windows"}));

    AutostartEntryList entries = {{"Sound", "C:\\W\\sound.exe", kRunKeyPath, 0x80000002},
                                  {"Wine's", "C:\\W\\explorer.exe", kRunKeyPath, 0x80000001},
                                  {"Other", "C:\\P\\tool.exe", "C:\\Startup\\Other.lnk", 0}};
    entries[0].signature = windows;
    entries[1].signature = {SignatureState::NotSigned, ""};
    CRowFilter filter(Latin1252CaseFold());
    EXPECT_EQ(FilterEntries(entries, filter), (std::vector<size_t>{0, 1, 2}));
    filter.SetHideSystem(true);
    EXPECT_EQ(FilterEntries(entries, filter), (std::vector<size_t>{1, 2}));
    filter.SetText("hkcu\\software"); // the location as listed
    EXPECT_EQ(FilterEntries(entries, filter), (std::vector<size_t>{1}));
    filter.SetText("OTHER");
    EXPECT_EQ(FilterEntries(entries, filter), (std::vector<size_t>{2}));

    ProcessRowList rows(2);
    rows[0].name = "svchost.exe";
    rows[1].name = "helper.exe";
    rows[1].processId = 0x1A2B;
    filter.SetText("1a2b"); // the id as shown
    EXPECT_EQ(FilterProcessRows(rows, filter), (std::vector<size_t>{1}));
}

} // namespace
