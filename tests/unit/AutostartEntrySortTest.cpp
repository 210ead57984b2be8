// The order of the Autostart page's entries under each column and direction.
#include "autostart/AutostartEntrySort.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

AutostartEntry Entry(const char* name, const char* path, const char* location, uint32_t root = 0) {
    return AutostartEntry{name, path, location, root};
}

std::string Names(const AutostartEntryList& entries) {
    std::string names;
    for (const AutostartEntry& entry : entries) {
        names += entry.name + (entry.path.empty() ? "" : ":" + entry.path) + " ";
    }
    return names;
}

void SortAll(AutostartEntryList& entries, bool ascending, int column) {
    SortEntries(entries, static_cast<int>(entries.size()) - 1, ascending, column);
}

} // namespace

TEST(AutostartEntrySort, TextOrderIgnoresCaseAndTurnsRoundWhenDescending) {
    EXPECT_EQ(CompareText("abc", "abc", true), 0);
    EXPECT_EQ(CompareText("abc", "abc", false), 0);
    EXPECT_EQ(CompareText("ABC", "abc", true), 0) << "differs only in case";
    EXPECT_EQ(CompareText("ABC", "abc", false), 0);
    EXPECT_LT(CompareText("apple", "Banana", true), 0);
    EXPECT_EQ(CompareText("apple", "Banana", false), 1);
    EXPECT_EQ(CompareText("Banana", "apple", false), -1);
}

TEST(AutostartEntrySort, EqualNamesAreOrderedByPathAscendingInBothDirections) {
    AutostartEntryList entries = {Entry("b", "2", "k"), Entry("a", "9", "k"), Entry("b", "1", "k"),
                                  Entry("c", "5", "k")};
    SortAll(entries, true, kEntryColumnName);
    EXPECT_EQ(Names(entries), "a:9 b:1 b:2 c:5 ");
    SortAll(entries, false, kEntryColumnName);
    EXPECT_EQ(Names(entries), "c:5 b:1 b:2 a:9 ");
}

TEST(AutostartEntrySort, PathAndBareLocationColumns) {
    AutostartEntryList entries = {Entry("x", "C:\\b.exe", "Software\\Run", 0x80000002),
                                  Entry("y", "c:\\A.exe", "Software\\Run", 0x80000001),
                                  Entry("z", "C:\\c.exe", "C:\\Startup\\z.lnk")};
    SortAll(entries, true, kEntryColumnPath);
    EXPECT_EQ(Names(entries), "y:c:\\A.exe x:C:\\b.exe z:C:\\c.exe ");
    SortAll(entries, false, kEntryColumnPath);
    EXPECT_EQ(Names(entries), "z:C:\\c.exe x:C:\\b.exe y:c:\\A.exe ");

    // The same key under both hives compares equal.
    EXPECT_EQ(CompareEntries(entries[1], entries[2], true, kEntryColumnLocation), 0);
    SortAll(entries, true, kEntryColumnLocation);
    EXPECT_EQ(entries[0].name, "z") << "C:\\Startup sorts before Software";
    EXPECT_EQ(CompareEntries(entries[0], entries[1], true, 7), 0) << "unknown column";
}

TEST(AutostartEntrySort, SortsLongListsAndStaysInsideTheGivenRange) {
    AutostartEntryList entries;
    for (int i = 99; i >= 0; --i) {
        char name[8];
        snprintf(name, sizeof name, "e%02d", i);
        entries.push_back(Entry(name, "", "k"));
    }
    // Only the first 50 (e99..e50) take part.
    SortEntries(entries, 49, true, kEntryColumnName);
    for (int i = 0; i < 50; ++i) {
        char name[8];
        snprintf(name, sizeof name, "e%02d", 50 + i);
        ASSERT_EQ(entries[i].name, name) << i;
    }
    EXPECT_EQ(entries[50].name, "e49") << "the rest is untouched";
    SortAll(entries, false, kEntryColumnName);
    EXPECT_EQ(entries.front().name, "e99");
    EXPECT_EQ(entries.back().name, "e00");

    AutostartEntryList empty;
    SortEntries(empty, -1, true, kEntryColumnName);
    SortEntries(entries, 1000, true, kEntryColumnName); // a last index past the end is cut
    EXPECT_EQ(entries.front().name, "e00");
}

TEST(AutostartEntrySort, ACallerCompareFunctionReplacesTheDefault) {
    AutostartEntryList entries = {Entry("a", "", "3"), Entry("b", "", "1"), Entry("c", "", "2")};
    SortEntries(entries, 2, true, 0,
                [](const AutostartEntry& a, const AutostartEntry& b, bool, int) {
                    return a.location.compare(b.location);
                });
    EXPECT_EQ(Names(entries), "b c a ");
}
