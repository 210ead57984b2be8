// The Autostart page's entries and its check for unaccepted ones, against the
// real registry.
#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
#include "autostart/AutostartWatch.h"
#include "autostart/CurrentEntries.h"
#include "autostart/EntryTexts.h"
#include "tests/unit/RecordingGate.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

namespace {

using testsupport::DeleteUserRunValue;

void SetRunValue(const std::string& name, const std::string& data) {
    ASSERT_TRUE(testsupport::SetUserRunString(name, data));
}

int IndexOf(const AutostartEntryList& entries, const std::string& name) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name == name && entries[i].root == 0x80000001u) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

class CurrentEntries : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRunValue("orv-test-b", "C:\\orv-test\\b.exe");
        SetRunValue("orv-test-a", "C:\\orv-test\\a.exe /quiet");
    }
    void TearDown() override {
        for (const char* name : {"orv-test-a", "orv-test-b", "orv-test-c"}) {
            DeleteUserRunValue(name);
        }
    }

    TempDir m_dir;
    CCurrentEntries m_current{m_dir.File("autostart.dat")};
};

TEST_F(CurrentEntries, RescanReplacesTheEntriesOnlyWhenSomethingChanged) {
    EXPECT_TRUE(m_current.Refresh(true)) << "the first scan always counts";
    const AutostartEntryList& entries = m_current.GetEntries();
    int a = IndexOf(entries, "orv-test-a");
    int b = IndexOf(entries, "orv-test-b");
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_LT(a, b) << "sorted by name";
    EXPECT_EQ(entries[a].path, "C:\\orv-test\\a.exe /quiet");

    EXPECT_FALSE(m_current.Refresh(true)) << "nothing changed";
    EXPECT_TRUE(m_current.Refresh(false)) << "forced";

    SetRunValue("orv-test-b", "C:\\orv-test\\B.exe");
    EXPECT_TRUE(m_current.Refresh(true)) << "a path differing only in case is a change";
    SetRunValue("orv-test-c", "C:\\orv-test\\c.exe");
    EXPECT_TRUE(m_current.Refresh(true));
    EXPECT_GE(IndexOf(m_current.GetEntries(), "orv-test-c"), 0);

    // A new order is a change too.
    m_current.SetSortColumn(kEntryColumnName);
    EXPECT_FALSE(m_current.IsAscending());
    EXPECT_TRUE(m_current.Refresh(true));
    EXPECT_GT(IndexOf(m_current.GetEntries(), "orv-test-a"),
              IndexOf(m_current.GetEntries(), "orv-test-c"));
}

TEST_F(CurrentEntries, HeaderClicksFlipTheSameColumnAndStartOthersAscending) {
    EXPECT_EQ(m_current.GetSortColumn(), kEntryColumnName);
    EXPECT_TRUE(m_current.IsAscending());
    m_current.SetSortColumn(kEntryColumnName);
    EXPECT_FALSE(m_current.IsAscending());
    m_current.SetSortColumn(kEntryColumnPath);
    EXPECT_EQ(m_current.GetSortColumn(), kEntryColumnPath);
    EXPECT_TRUE(m_current.IsAscending());
    m_current.SetSortColumn(kEntryColumnPath);
    EXPECT_FALSE(m_current.IsAscending());
    m_current.SetSortColumn(9);
    EXPECT_EQ(m_current.GetSortColumn(), kEntryColumnName) << "other columns count as the name";
    EXPECT_TRUE(m_current.IsAscending());
}

TEST_F(CurrentEntries, CheckFindsTheEntriesNotAcceptedAndOpensOneWarning) {
    ASSERT_TRUE(m_current.Refresh(false));
    // Everything already registered is trusted, but for the two test values.
    for (const AutostartEntry& entry : m_current.GetEntries()) {
        if (entry.name.rfind("orv-test-", 0) != 0) {
            m_current.GetAccepted().SetState(entry.path, 1);
        }
    }
    RecordingGate gate;
    EXPECT_TRUE(m_current.CheckUnaccepted(gate));
    ASSERT_EQ(gate.openedEntries.size(), 1u) << "an open warning closes the gate";
    EXPECT_EQ(gate.openedEntries[0].name, "orv-test-a") << "display order";
    EXPECT_EQ(gate.asked.size(), 2u);
    EXPECT_TRUE(gate.openedRows.empty());

    m_current.GetAccepted().SetState("c:\\ORV-TEST\\a.exe /QUIET", 1);
    m_current.GetAccepted().SetState("C:\\orv-test\\b.exe", 1);
    RecordingGate after;
    EXPECT_FALSE(m_current.CheckUnaccepted(after));
    EXPECT_TRUE(after.asked.empty());

    // The accepted list is the page's own file.
    ASSERT_TRUE(m_current.GetAccepted().Store());
    CCurrentEntries reopened(m_dir.File("autostart.dat"));
    reopened.GetAccepted().Reload();
    reopened.Refresh(false);
    RecordingGate third;
    EXPECT_FALSE(reopened.CheckUnaccepted(third));
}

TEST_F(CurrentEntries, TheWarningAcceptsAPathOnlyWhileAnEntryHasIt) {
    ASSERT_TRUE(m_current.Refresh(false));
    EXPECT_TRUE(m_current.AcceptPath("c:/ORV-TEST/b.EXE")) << "written";
    EXPECT_EQ(m_current.GetAccepted().GetState("C:\\orv-test\\b.exe"), 1)
        << "the entry's own path is accepted, so its check goes quiet";

    // The entry went away while its warning was open: nothing is accepted,
    // and the list is written unchanged.
    EXPECT_TRUE(m_current.AcceptPath("C:\\orv-test\\gone.exe"));
    EXPECT_EQ(m_current.GetAccepted().GetState("C:\\orv-test\\gone.exe"), 0);
    CCurrentEntries reopened(m_dir.File("autostart.dat"));
    reopened.GetAccepted().Reload();
    ASSERT_EQ(reopened.GetAccepted().GetItems().size(), 1u);
    EXPECT_EQ(reopened.GetAccepted().GetItems()[0].path, "C:\\orv-test\\b.exe");

    EXPECT_TRUE(m_current.AcceptPath("C:\\orv-test\\a.exe /quiet"));
    RecordingGate gate;
    gate.warningsOn = false;
    for (const AutostartEntry& entry : m_current.GetEntries()) {
        if (entry.name.rfind("orv-test-", 0) != 0) {
            m_current.GetAccepted().SetState(entry.path, 1);
        }
    }
    EXPECT_FALSE(m_current.CheckUnaccepted(gate)) << "both test entries are accepted now";
}

// The file an entry's command starts (quoted, with arguments) is what was
// accepted: replaced, the next rescan warns that it changed.
TEST_F(CurrentEntries, AnEntryWhoseProgramWasReplacedWarnsThatItChanged) {
    const std::string program = m_dir.File("tool.exe");
    ASSERT_TRUE(WriteFileText(program, "first"));
    const std::string command = "\"" + program + "\" /tray";
    SetRunValue("orv-test-c", command);
    ASSERT_TRUE(m_current.Refresh(false));
    const int c = IndexOf(m_current.GetEntries(), "orv-test-c");
    ASSERT_GE(c, 0);
    EXPECT_EQ(AutostartFileOf(m_current.GetEntries()[c]), program);
    std::vector<std::string> all;
    for (const AutostartEntry& entry : m_current.GetEntries()) {
        all.push_back(entry.path);
    }
    ASSERT_TRUE(m_current.SetAccepted(all, 1));
    RecordingGate calm;
    EXPECT_FALSE(m_current.CheckUnaccepted(calm));

    ASSERT_TRUE(WriteFileText(program, "second, longer"));
    EXPECT_FALSE(m_current.Refresh(true)) << "the entries are the same";
    RecordingGate gate;
    EXPECT_TRUE(m_current.CheckUnaccepted(gate));
    ASSERT_EQ(gate.openedEntries.size(), 1u);
    EXPECT_EQ(gate.openedEntries[0].name, "orv-test-c");
    EXPECT_TRUE(gate.openedEntries[0].changed);

    EXPECT_TRUE(m_current.AcceptPath(command));
    RecordingGate after;
    EXPECT_FALSE(m_current.CheckUnaccepted(after));
    m_current.Refresh(true);
    EXPECT_FALSE(m_current.CheckUnaccepted(after)) << "the new file is the accepted one";
}

// A key that is not there yet is watched from its nearest parent and from
// itself once it appears; a startup folder through the file system. Each
// change signals within the wait, and the watch goes on after it.
TEST(AutostartWatch, KeysAndFoldersSignalEachChangeAndKeysMissingAtFirstAreWatchedOnceMade) {
    const std::string parent = "SOFTWARE\\orv-watch-" + std::to_string(GetCurrentProcessId());
    const std::string keyPath = parent + "\\Run";
    AutostartLocation key;
    key.root = 0x80000001;
    key.keyPath = keyPath;
    AutostartLocation folder;
    folder.csidl = CSIDL_STARTUP;
    CAutostartWatch watch({key, folder});
    ASSERT_EQ(watch.Unwatched(), 0u);
    ASSERT_EQ(watch.Events().size(), 2u);
    EXPECT_EQ(watch.WatchedPath(0), "SOFTWARE");
    const auto signalled = [&](size_t index) {
        return WaitForSingleObject(watch.Events()[index], 5000) == WAIT_OBJECT_0;
    };

    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, keyPath, "x.exe", "Watched"), ERROR_SUCCESS);
    ASSERT_TRUE(signalled(0)) << "the parent sees the key made";
    ASSERT_TRUE(watch.Rearm(0));
    EXPECT_EQ(watch.WatchedPath(0), keyPath);
    EXPECT_EQ(WriteRegString(HKEY_CURRENT_USER, keyPath, "y.exe", "Watched"), ERROR_SUCCESS);
    EXPECT_TRUE(signalled(0)) << "the key itself sees its value change";
    RegDeleteKeyA(HKEY_CURRENT_USER, keyPath.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str());

    const std::string file = GetSpecialFolderPath(CSIDL_STARTUP) + "\\orv-watch.txt";
    ASSERT_TRUE(WriteFileText(file, "new"));
    EXPECT_TRUE(signalled(1));
    ASSERT_TRUE(watch.Rearm(1));
    DeleteFileA(file.c_str());
    EXPECT_TRUE(signalled(1)) << "and after it, the next";
}
