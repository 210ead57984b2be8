#include "autostart/AutostartLocations.h"

#include <gtest/gtest.h>

#include <string>

TEST(AutostartLocations, TableHoldsBothFoldersThenTheSixKeysUnderEachHiveInScanOrder) {
    // Upper-case SOFTWARE for the first three, Software for the rest.
    const std::string upper = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
    const std::string mixed = "Software\\Microsoft\\Windows\\CurrentVersion\\";
    const std::string keys[] = {
        upper + "Run",         upper + "RunOnce",         upper + "RunOnceEx",
        mixed + "RunServices", mixed + "RunServicesOnce", mixed + "Policies\\Explorer\\Run"};
    const auto& table = GetAutostartLocations();
    ASSERT_EQ(table.size(), 14u);
    EXPECT_EQ(table[0].csidl, 7);
    EXPECT_EQ(table[0].root, 0u);
    EXPECT_EQ(table[1].csidl, 24);
    EXPECT_EQ(table[1].root, 0u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(keys[i]);
        EXPECT_EQ(table[2 + i].root, 0x80000002u);
        EXPECT_EQ(std::string(table[2 + i].keyPath), keys[i]);
        EXPECT_EQ(table[8 + i].root, 0x80000001u);
        EXPECT_EQ(std::string(table[8 + i].keyPath), keys[i]);
        EXPECT_EQ(std::string(GetRunKeyPaths()[i]), keys[i]);
    }
}

TEST(AutostartLocations, DisplayTextPrefixesTheHiveOfRegistryEntriesOnly) {
    AutostartEntry entry;
    entry.name = "App";
    entry.location = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
    entry.root = 0x80000002;
    EXPECT_EQ(GetLocationDisplayText(entry),
              "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
    entry.root = 0x80000001;
    EXPECT_EQ(GetLocationDisplayText(entry),
              "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
    // The prefix is for showing only.
    EXPECT_EQ(entry.location, "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");

    entry.root = 0;
    entry.location = "C:\\Startup\\App.lnk";
    EXPECT_EQ(GetLocationDisplayText(entry), "C:\\Startup\\App.lnk");
}
