// The warning window's state and texts without a window: when a warning may
// open, what "Remind later" puts off, and what the window says about an entry
// and about a process.
#include "tests/unit/WarningSubjects.h"
#include "ui/WarningState.h"

#include <gtest/gtest.h>

#include <string>

TEST(WarningState, AWarningNeedsTheSettingNoOpenWindowAndAPathNotPutOff) {
    CWarningState state;
    EXPECT_FALSE(state.ShouldShowWarning("C:\\Tools\\App.exe", false)) << "warnings off";
    EXPECT_TRUE(state.ShouldShowWarning("C:\\Tools\\App.exe", true));

    state.SetWarningDialogOpen(true);
    EXPECT_TRUE(state.IsWarningDialogOpen());
    EXPECT_FALSE(state.ShouldShowWarning("C:\\Tools\\App.exe", true)) << "one window at a time";
    EXPECT_FALSE(state.ShouldShowWarning("C:\\Other.exe", true));
    state.SetWarningDialogOpen(false);
    EXPECT_TRUE(state.ShouldShowWarning("C:\\Other.exe", true));
}

TEST(WarningState, RemindLaterPutsOffTheSamePathInAnySpellingForTheRun) {
    CWarningState state;
    state.RemindLater("C:\\Tools\\App.exe");
    EXPECT_FALSE(state.ShouldShowWarning("C:\\Tools\\App.exe", true));
    EXPECT_FALSE(state.ShouldShowWarning("c:\\tools\\app.EXE", true)) << "case does not count";
    EXPECT_FALSE(state.ShouldShowWarning("C:/Tools/App.exe", true)) << "nor the separator";
    EXPECT_FALSE(state.ShouldShowWarning("C:\\Tools\\App.exe\\", true)) << "nor a trailing one";
    EXPECT_TRUE(state.ShouldShowWarning("C:\\Tools\\App2.exe", true));
    EXPECT_TRUE(state.ShouldShowWarning("C:\\Tools\\App.exe /min", true))
        << "other arguments make another path";

    state.RemindLater("c:/tools/APP.exe");
    ASSERT_EQ(state.GetRemindLaterList().size(), 1u) << "the same path is not added twice";
    EXPECT_EQ(state.GetRemindLaterList()[0], "C:\\Tools\\App.exe");
    state.RemindLater("C:\\Tools\\App2.exe");
    EXPECT_EQ(state.GetRemindLaterList().size(), 2u);
    EXPECT_TRUE(state.IsPutOff("C:\\TOOLS\\app2.exe"));
}

TEST(WarningState, RemindLaterTakesLongAndEuropeanPaths) {
    CWarningState state;
    // 259 characters, the longest path a Windows API call takes with its NUL.
    std::string longPath = "C:\\" + std::string(250, 'd') + "\\x.exe";
    ASSERT_EQ(longPath.size(), 259u);
    state.RemindLater(longPath);
    EXPECT_FALSE(state.ShouldShowWarning(longPath, true));
    EXPECT_TRUE(state.ShouldShowWarning(longPath.substr(0, 258), true));

    // Central European letters of code page 1250 (š, ą, č, Ž) are single bytes above 0x7F.
    const std::string czech = "C:\\Programy\\\x9A\xB9\\\xE8\x8E.exe";
    EXPECT_TRUE(state.ShouldShowWarning(czech, true));
    state.RemindLater(czech);
    EXPECT_FALSE(state.ShouldShowWarning(czech, true));
    EXPECT_EQ(state.GetRemindLaterList().size(), 2u);
}

TEST(WarningTexts, AnEntryIsNamedWithItsValueAndTheAutostart) {
    const WarningSubject entry = Entry("Updater", "C:\\Program Files\\Up\\update.exe");
    EXPECT_EQ(GetWarningDisplayName(entry), "update.exe");
    EXPECT_EQ(BuildWarningMessage(entry),
              "update.exe (Updater)\r\nhas just appeared in your autostart\r\n"
              "and you haven't accepted it.\r\nWhat do you want to do about it?");
    EXPECT_EQ(BuildWarningCaption(entry), "Warning: update.exe in your autostart");
    EXPECT_EQ(GetWarningRemoveText(entry.kind), "Remove");
    EXPECT_EQ(BuildWarningQuestion(entry.kind),
              "Are you sure you want to remove this application from autostart?");

    WarningSubject changed = entry;
    changed.changed = true;
    EXPECT_EQ(BuildWarningMessage(changed),
              "update.exe (Updater)\r\nin your autostart has changed since you accepted it.\r\n"
              "What do you want to do about it?");
}

TEST(WarningTexts, AProcessReadsInThreeLines) {
    const WarningSubject process = Process("C:\\x\\tool.exe");
    EXPECT_EQ(BuildWarningMessage(process), "tool.exe has just appeared\r\n"
                                            "and you haven't accepted it.\r\n"
                                            "What do you want to do about it?");
    EXPECT_EQ(BuildWarningCaption(process), "Warning: tool.exe");
    EXPECT_EQ(GetWarningRemoveText(process.kind), "Kill");
    EXPECT_EQ(BuildWarningQuestion(process.kind), "Are you sure you want to kill this process?");

    WarningSubject changed = process;
    changed.changed = true;
    EXPECT_EQ(BuildWarningMessage(changed), "tool.exe\r\nhas changed since you accepted it.\r\n"
                                            "What do you want to do about it?");
}

TEST(WarningTexts, ArgumentsLongAndEuropeanPathsAreNamedAsTheyAre) {
    // The display name is what the file name of the whole command text gives:
    // an argument runs on after the extension, and a "/" in it starts a folder.
    const WarningSubject withArguments = Entry("Tray", "C:\\Tools\\tray.exe -min");
    EXPECT_EQ(GetWarningDisplayName(withArguments), "tray.exe -min");
    EXPECT_EQ(BuildWarningCaption(withArguments), "Warning: tray.exe -min in your autostart");
    EXPECT_EQ(GetWarningDisplayName(Entry("Tray", "\"C:\\Tools\\tray.exe\" /min")), "min");

    const std::string file = std::string(200, 'n') + ".exe";
    const WarningSubject longProcess = Process("C:\\" + std::string(51, 'd') + "\\" + file);
    ASSERT_EQ(longProcess.path.size(), 259u);
    EXPECT_EQ(BuildWarningCaption(longProcess), "Warning: " + file);
    EXPECT_EQ(BuildWarningMessage(longProcess).rfind(file + " has just appeared\r\n", 0), 0u);

    const WarningSubject czech = Entry("\x8Akoda", "C:\\Programy\\\x9A\xB9\\\xE8\x8E.exe");
    EXPECT_EQ(BuildWarningCaption(czech), "Warning: \xE8\x8E.exe in your autostart");
    EXPECT_EQ(BuildWarningMessage(czech).rfind("\xE8\x8E.exe (\x8Akoda)\r\n", 0), 0u);

    const WarningSubject unnamed = Process("");
    EXPECT_EQ(BuildWarningCaption(unnamed), "Warning: ");
}
