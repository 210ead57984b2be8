#include "autostart/RemovedEntries.h"
#include "tests/unit/HexBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kMark = HexBytes("00 00 00 00 00 00 F0 3F");
const std::string kTrailer = HexBytes("00 00 00 00  00");

const RemovedEntry kFileRecord{"C:\\S\\Foo.lnk", "Foo", "C:\\R\\Foo.lnk", 0};
const RemovedEntry kValueRecord{"Run", "X", "x.exe", 0x80000001};

// The two records as the program writes them: the current location before
// the name, 20 bytes plus the texts each.
const std::string kTwoRecords =
    HexBytes("02 00 00 00") + kMark + HexBytes("0C") + "C:\\S\\Foo.lnk" + HexBytes("0C") +
    "C:\\R\\Foo.lnk" + HexBytes("00 00 00 00  03") + "Foo" + kTrailer + kMark + HexBytes("03") +
    "Run" + HexBytes("05") + "x.exe" + HexBytes("01 00 00 80  01") + "X" + kTrailer;
const size_t kFirstRecordEnd = 4 + 20 + 12 + 12 + 3;

RemovedEntryList Parse(const std::string& bytes, bool& whole) {
    RemovedEntryList entries{RemovedEntry{"left", "over", "", 0}};
    whole = ParseRemovedIndex(bytes, entries);
    return entries;
}

} // namespace

TEST(RemovedIndexFormat, RecordsAreWrittenByteForByteAndReadBack) {
    const RemovedEntryList records{kFileRecord, kValueRecord};
    ASSERT_EQ(kTwoRecords.size(), kFirstRecordEnd + 20 + 3 + 5 + 1);
    EXPECT_EQ(FormatRemovedIndex(records), kTwoRecords);
    EXPECT_EQ(FormatRemovedIndex({}), HexBytes("00 00 00 00"));

    bool whole = false;
    EXPECT_EQ(Parse(kTwoRecords, whole), records);
    EXPECT_TRUE(whole);
    EXPECT_TRUE(Parse(HexBytes("00 00 00 00"), whole).empty());
    EXPECT_TRUE(whole);
}

TEST(RemovedIndexFormat, IgnoredFieldsAreReadOverAndWrittenAsTheProgramWrites) {
    // Another mark, reserved number 7 and a UTF-16 trailing string; the name
    // is stored as UTF-16 too.
    const std::string foreign = HexBytes("01 00 00 00  11 22 33 44 55 66 77 88  01 61  01 62"
                                         "02 00 00 80  FF FE FF 02 4E 00 6D 00"
                                         "07 00 00 00  FF FE FF 01 7A 00");
    bool whole = false;
    const RemovedEntryList entries = Parse(foreign, whole);
    ASSERT_TRUE(whole);
    ASSERT_EQ(entries, (RemovedEntryList{RemovedEntry{"a", "Nm", "b", 0x80000002}}));
    EXPECT_EQ(FormatRemovedIndex(entries), HexBytes("01 00 00 00") + kMark +
                                               HexBytes("01 61 01 62 02 00 00 80 02 4E 6D") +
                                               kTrailer);
}

TEST(RemovedIndexFormat, CutFileKeepsTheWholeRecordsBeforeTheCut) {
    for (size_t cut = 0; cut < kTwoRecords.size(); ++cut) {
        SCOPED_TRACE(cut);
        bool whole = true;
        const RemovedEntryList entries = Parse(kTwoRecords.substr(0, cut), whole);
        EXPECT_FALSE(whole);
        EXPECT_EQ(entries,
                  cut < kFirstRecordEnd ? RemovedEntryList{} : RemovedEntryList{kFileRecord});
    }
}

TEST(RemovedIndexFormat, CountIsBelievedOnlyAsFarAsTheBytesGo) {
    const std::string records = kTwoRecords.substr(4);
    bool whole = true;
    EXPECT_EQ(Parse(HexBytes("03 00 00 00") + records, whole).size(), 2u);
    EXPECT_FALSE(whole);

    RemovedEntryList entries;
    EXPECT_FALSE(ParseRemovedIndex(HexBytes("FF FF FF 7F") + records, entries));
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_LE(entries.capacity(), records.size() / kRemovedRecordMinBytes);
    EXPECT_FALSE(ParseRemovedIndex(HexBytes("FF FF FF FF"), entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_LE(entries.capacity(), records.size() / kRemovedRecordMinBytes);

    // Fewer promised than present: the rest is not looked at.
    EXPECT_EQ(Parse(HexBytes("01 00 00 00") + records, whole), RemovedEntryList{kFileRecord});
    EXPECT_TRUE(whole);
}

TEST(RemovedIndexFormat, BrokenOrHugeStringEndsTheListAtTheRecordBefore) {
    std::string broken = kTwoRecords;
    // The second record's location prefix becomes FF FF 52: 0x52FF characters.
    broken[kFirstRecordEnd + 8] = '\xFF';
    broken[kFirstRecordEnd + 9] = '\xFF';
    bool whole = true;
    EXPECT_EQ(Parse(broken, whole), RemovedEntryList{kFileRecord});
    EXPECT_FALSE(whole);

    // A 4 GB name in the first record, and a UTF-16 mark followed by another.
    std::string huge =
        HexBytes("01 00 00 00") + kMark + HexBytes("01 61 01 62 00 00 00 00 FF FF FF FF FF FF FF");
    huge += std::string(60, 'n');
    EXPECT_TRUE(Parse(huge, whole).empty());
    EXPECT_FALSE(whole);
    EXPECT_TRUE(
        Parse(HexBytes("01 00 00 00") + kMark + HexBytes("FF FE FF FF FE FF 01 61 00"), whole)
            .empty());
    EXPECT_FALSE(whole);
}

TEST(FindRemovedEntry, FilesMatchByPathAloneWithoutCase) {
    const RemovedEntryList records{kValueRecord, kFileRecord, {"c:\\s\\foo.LNK", "2", "", 0}};
    EXPECT_EQ(FindRemovedEntry(records, false, "C:\\S\\Foo.lnk", "", 0), 1);
    EXPECT_EQ(FindRemovedEntry(records, false, "c:\\S\\FOO.lnk", "other name", 0x80000002), 1);
    EXPECT_EQ(FindRemovedEntry(records, false, "C:\\S\\Foo", "", 0), -1);
    // A registry record never stands for a file of the same location.
    EXPECT_EQ(FindRemovedEntry(records, false, "Run", "X", 0), -1);
    EXPECT_EQ(FindRemovedEntry({}, false, "C:\\S\\Foo.lnk", "", 0), -1);
}

TEST(FindRemovedEntry, ValuesMatchByHiveKeyAndName) {
    const RemovedEntry localMachine{"Run", "X", "machine.exe", 0x80000002};
    const RemovedEntryList records{kFileRecord, localMachine, kValueRecord};
    EXPECT_EQ(FindRemovedEntry(records, true, "run", "x", 0x80000001), 2);
    EXPECT_EQ(FindRemovedEntry(records, true, "Run", "X", 0x80000002), 1);
    EXPECT_EQ(FindRemovedEntry({kFileRecord, kValueRecord}, true, "Run", "X", 0x80000002), -1);
    EXPECT_EQ(FindRemovedEntry(records, true, "Run", "Y", 0x80000001), -1);
    EXPECT_EQ(FindRemovedEntry(records, true, "RunOnce", "X", 0x80000001), -1);
    EXPECT_EQ(FindRemovedEntry(records, true, "C:\\S\\Foo.lnk", "Foo", 0), -1);
}
