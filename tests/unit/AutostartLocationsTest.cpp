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
    for (const bool twoViews : {false, true}) {
        SCOPED_TRACE(twoViews ? "64-bit system" : "32-bit system");
        const auto table = BuildAutostartLocations(twoViews);
        // A 64-bit system's machine keys of the 32-bit programs come after its own.
        const size_t user = twoViews ? 14 : 8;
        ASSERT_EQ(table.size(), user + 6);
        EXPECT_EQ(table[0].csidl, 7);
        EXPECT_EQ(table[0].root, 0u);
        EXPECT_EQ(table[1].csidl, 24);
        EXPECT_EQ(table[1].root, 0u);
        for (size_t i = 0; i < 6; ++i) {
            SCOPED_TRACE(keys[i]);
            EXPECT_EQ(table[2 + i].root, 0x80000002u);
            EXPECT_EQ(table[2 + i].keyPath, keys[i]);
            EXPECT_EQ(table[user + i].root, 0x80000001u);
            EXPECT_EQ(table[user + i].keyPath, keys[i]);
            EXPECT_EQ(std::string(GetRunKeyPaths()[i]), keys[i]);
            if (twoViews) {
                EXPECT_EQ(table[8 + i].root, 0x80000002u);
                EXPECT_EQ(table[8 + i].keyPath,
                          keys[i].substr(0, 8) + "\\WOW6432Node" + keys[i].substr(8));
            }
        }
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

// Winlogon's values count as the system's own however they are spelled.
TEST(AutostartLocations, HookValuesOfTheSystemAreToldFromChangedOnes) {
    const std::string system = "C:\\WINDOWS\\system32";
    EXPECT_TRUE(IsDefaultHookValue("Shell", " Explorer.EXE ", system));
    EXPECT_TRUE(IsDefaultHookValue("shell", "c:\\windows\\explorer.exe", system));
    EXPECT_FALSE(IsDefaultHookValue("Shell", "explorer.exe, evil.exe", system));
    EXPECT_TRUE(IsDefaultHookValue("Userinit", "C:\\Windows\\System32\\userinit.exe,", system));
    EXPECT_TRUE(IsDefaultHookValue("Userinit", "userinit.exe", system));
    EXPECT_FALSE(
        IsDefaultHookValue("Userinit", "C:\\Windows\\system32\\userinit.exe,x.exe", system));
    EXPECT_FALSE(IsDefaultHookValue("Userinit", "D:\\other\\userinit.exe", system));
    EXPECT_EQ(DefaultHookValue("Userinit", system), system + "\\userinit.exe,");
}
