#include "app/AcceptedListFormat.h"
#include "tests/unit/AcceptedListSamples.h"
#include "tests/unit/HexBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string& kTwoRecords = kTwoAcceptedRecords;

std::vector<AcceptedItem> Parse(const std::string& bytes, bool& whole) {
    std::vector<AcceptedItem> items{Item("left over", 1)};
    whole = ParseAcceptedList(bytes, items);
    return items;
}

} // namespace

TEST(AcceptedListFormat, TwoShortPathsTakeNinetyNineBytes) {
    const std::vector<AcceptedItem> items{Item("a", 1), Item("bc", 0)};
    ASSERT_EQ(kTwoRecords.size(), 99u);
    EXPECT_EQ(FormatAcceptedList(items), kTwoRecords);

    bool whole = false;
    EXPECT_EQ(Parse(kTwoRecords, whole), items);
    EXPECT_TRUE(whole);
    EXPECT_EQ(FormatAcceptedList({}), HexBytes("00 00 00 00"));
}

TEST(AcceptedListFormat, DatesAndSpareAreCarriedAndIgnoredFieldsAreNot) {
    // Path xyz, state 1, spare 42, dates with a signalling NaN and a negative status.
    const std::string fields = HexBytes("03 78 79 7A  01 00 00 00  2A 00 00 00"
                                        "02 00 00 00  01 00 00 00 00 00 F0 7F"
                                        "FF FF FF FF  00 00 00 00 80 D8 E1 40");
    // The record mark, reserved number and trailing string hold other values
    // than the program writes.
    const std::string foreign = HexBytes("01 00 00 00  11 22 33 44 55 66 77 88") + fields +
                                HexBytes("09 00 00 00  FF FE FF 02 6E 00 6F 00");
    bool whole = false;
    const std::vector<AcceptedItem> items = Parse(foreign, whole);
    ASSERT_TRUE(whole);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].path, "xyz");
    EXPECT_EQ(items[0].state, 1);
    EXPECT_EQ(items[0].spare, 42);
    EXPECT_EQ(items[0].first, (AcceptedDateTime{2, 0x7FF0000000000001ull}));
    EXPECT_EQ(items[0].second, (AcceptedDateTime{-1, 0x40E1D88000000000ull}));

    EXPECT_EQ(FormatAcceptedList(items), HexBytes("01 00 00 00  00 00 00 00 00 00 F0 3F") + fields +
                                             HexBytes("00 00 00 00  00"));
}

TEST(AcceptedListFormat, Utf16PathsAreWrittenBackInAnsi) {
    const std::string wide = HexBytes("01 00 00 00  00 00 00 00 00 00 F0 3F"
                                      "FF FE FF 04 43 00 3A 00 5C 00 78 00" // C:\x
                                      "01 00 00 00 00 00 00 00"
                                      "00 00 00 00 00 00 00 00 00 00 00 00"
                                      "00 00 00 00 00 00 00 00 00 00 00 00"
                                      "00 00 00 00 00");
    bool whole = false;
    const std::vector<AcceptedItem> items = Parse(wide, whole);
    ASSERT_TRUE(whole);
    ASSERT_EQ(items, std::vector<AcceptedItem>{Item("C:\\x", 1)});
    const std::string written = FormatAcceptedList(items);
    EXPECT_EQ(written.size(), 4 + 46 + 4u);
    EXPECT_EQ(written.substr(12, 5), HexBytes("04 43 3A 5C 78"));
}

TEST(AcceptedListFormat, CutFileKeepsTheWholeRecordsBeforeTheCut) {
    const size_t firstRecordEnd = 4 + 47;
    for (size_t cut = 0; cut < kTwoRecords.size(); ++cut) {
        SCOPED_TRACE(cut);
        bool whole = true;
        const std::vector<AcceptedItem> items = Parse(kTwoRecords.substr(0, cut), whole);
        EXPECT_FALSE(whole);
        EXPECT_EQ(items.size(), cut < firstRecordEnd ? 0u : 1u);
        if (!items.empty()) {
            EXPECT_EQ(items[0], Item("a", 1));
        }
    }
}

TEST(AcceptedListFormat, CountIsBelievedOnlyAsFarAsTheBytesGo) {
    const std::string records = kTwoRecords.substr(4);
    bool whole = true;

    // More promised than present.
    EXPECT_EQ(Parse(HexBytes("05 00 00 00") + records, whole).size(), 2u);
    EXPECT_FALSE(whole);

    // An absurd count reserves no more than two records can fill.
    std::vector<AcceptedItem> items;
    EXPECT_FALSE(ParseAcceptedList(HexBytes("FF FF FF 7F") + records, items));
    EXPECT_EQ(items.size(), 2u);
    EXPECT_LE(items.capacity(), 2u);
    EXPECT_FALSE(ParseAcceptedList(HexBytes("FF FF FF FF"), items));
    EXPECT_TRUE(items.empty());
    EXPECT_LE(items.capacity(), 2u);

    // Fewer promised than present: the rest is not looked at.
    EXPECT_EQ(Parse(HexBytes("01 00 00 00") + records + "garbage", whole),
              std::vector<AcceptedItem>{Item("a", 1)});
    EXPECT_TRUE(whole);
}

TEST(AcceptedListFormat, BrokenStringEndsTheListAtTheRecordBefore) {
    std::string broken = kTwoRecords;
    // bc's path prefix becomes FF FF 63: 0x63FF characters, far past the end.
    broken[4 + 47 + 8] = '\xFF';
    broken[4 + 47 + 9] = '\xFF';
    bool whole = true;
    EXPECT_EQ(Parse(broken, whole), std::vector<AcceptedItem>{Item("a", 1)});
    EXPECT_FALSE(whole);

    // A 4 GB path in the first record.
    std::string huge = HexBytes("01 00 00 00  00 00 00 00 00 00 F0 3F  FF FF FF FF FF FF FF");
    huge += std::string(60, 'p');
    EXPECT_TRUE(Parse(huge, whole).empty());
    EXPECT_FALSE(whole);
}
