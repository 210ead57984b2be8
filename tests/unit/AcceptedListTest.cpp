#include "app/AcceptedList.h"
#include "app/DataFile.h"
#include "app/FileIdentity.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "app/UnacceptedCheck.h"
#include "autostart/CurrentEntries.h"
#include "tests/unit/AcceptedListSamples.h"
#include "tests/unit/RecordingGate.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

AutostartEntry Entry(const std::string& name, const std::string& path, const std::string& location,
                     uint32_t root) {
    return AutostartEntry{name, path, location, root};
}

// A warning about the entry carries all it needs to remove it.
bool SameEntry(const WarningSubject& warned, const AutostartEntry& entry) {
    return warned.kind == WarningSubjectKind::AutostartEntry && warned.name == entry.name &&
           warned.path == entry.path && warned.location == entry.location &&
           warned.root == entry.root;
}

} // namespace

class AcceptedList : public ::testing::Test {
  protected:
    void TearDown() override { SetReplaceFailureForTesting(false); }

    TempDir m_dir{GetExeDir()};
    std::string m_file = m_dir.File("autostart.dat");
};

TEST_F(AcceptedList, StoresTwoShortPathsInNinetyNineBytes) {
    CAcceptedList list(m_file);
    list.SetState("a", 1);
    list.SetState("bc", 0);
    ASSERT_TRUE(list.Store());
    EXPECT_EQ(ReadFileText(m_file), kTwoAcceptedRecords);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_file)));

    CAcceptedList again(m_file);
    again.Reload();
    EXPECT_EQ(again.GetItems(), list.GetItems());
    EXPECT_EQ(again.GetState("a"), 1);
    EXPECT_EQ(again.GetState("bc"), 0);
    EXPECT_EQ(again.GetState("b"), 0);
}

TEST_F(AcceptedList, PathsMatchByteForByteOrWithoutCaseOnly) {
    CAcceptedList list;
    list.SetState("C:\\Tools\\App.exe", 1);
    EXPECT_EQ(list.GetState("C:\\Tools\\App.exe"), 1);
    EXPECT_EQ(list.GetState("c:\\tools\\app.EXE"), 1);
    EXPECT_EQ(std::as_const(list).FindItem("C:\\TOOLS\\APP.EXE"), &list.GetItems()[0]);

    // No other normalisation: these are other paths.
    EXPECT_EQ(list.GetState("\"C:\\Tools\\App.exe\" /min"), 0);
    EXPECT_EQ(list.GetState("\"C:\\Tools\\App.exe\""), 0);
    EXPECT_EQ(list.GetState("C:/Tools/App.exe"), 0);
    EXPECT_EQ(list.GetState("C:\\Tools\\App.exe "), 0);
    EXPECT_EQ(std::as_const(list).FindItem("C:\\Tools\\App"), nullptr);
}

TEST_F(AcceptedList, RecordsAreChangedInPlaceNeverRemoved) {
    CAcceptedList list;
    list.SetState("C:\\Tools\\App.exe", 0);
    ASSERT_EQ(list.GetItems().size(), 1u);
    list.SetState("c:\\tools\\app.exe", 1);
    list.SetState("D:\\Other.exe", 1);
    list.SetState("d:\\other.exe", 0);

    // A new record has zero dates and spare; the first spelling stays.
    EXPECT_EQ(list.GetItems(),
              (std::vector<AcceptedItem>{Item("C:\\Tools\\App.exe", 1), Item("D:\\Other.exe", 0)}));
}

TEST_F(AcceptedList, ReadingReplacesTheRecordsUnlessTheFileCannotBeOpened) {
    ASSERT_TRUE(WriteFileText(m_file, kTwoAcceptedRecords));
    CAcceptedList list;
    list.SetState("x", 1);

    EXPECT_FALSE(list.ReadFrom(m_dir.File("missing.dat")));
    EXPECT_FALSE(list.ReadFrom(m_dir.Path()));
    EXPECT_EQ(list.GetItems(), std::vector<AcceptedItem>{Item("x", 1)});

    EXPECT_TRUE(list.ReadFrom(m_file));
    EXPECT_EQ(list.GetItems(), (std::vector<AcceptedItem>{Item("a", 1), Item("bc", 0)}));

    // Its own missing file leaves an empty list: every entry is unaccepted.
    list.SetFile(m_dir.File("processes.dat"));
    list.Reload();
    EXPECT_TRUE(list.GetItems().empty());
    EXPECT_EQ(list.GetFile(), m_dir.File("processes.dat"));
}

TEST_F(AcceptedList, DamagedFileKeepsWhatIsWholeAndIsMendedByTheNextWrite) {
    const std::string records = kTwoAcceptedRecords.substr(4);
    const struct {
        const char* what;
        std::string bytes;
        size_t kept;
    } cases[] = {
        {"empty", "", 0},
        {"count cut off", HexBytes("02 00 00"), 0},
        {"cut in the second record", kTwoAcceptedRecords.substr(0, 70), 1},
        {"count larger than the records", HexBytes("09 00 00 00") + records, 2},
        {"absurd count", HexBytes("FF FF FF 7F") + records, 2},
        {"4 GB path", HexBytes("01 00 00 00 00 00 00 00 00 00 F0 3F FF FF FF FF FF FF FF 61"), 0},
        {"broken prefix",
         kTwoAcceptedRecords.substr(0, 4 + 47 + 8) + HexBytes("FF FF") + std::string(40, 'z'), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileText(m_file, c.bytes));
        CAcceptedList list(m_file);
        list.SetState("stale", 1);
        list.Reload();
        ASSERT_EQ(list.GetItems().size(), c.kept);
        if (c.kept > 0) {
            EXPECT_EQ(list.GetItems()[0], Item("a", 1));
        }

        // The program goes on: the next accept is stored in a whole file.
        list.SetState("C:\\New.exe", 1);
        ASSERT_TRUE(list.Store());
        CAcceptedList reread(m_file);
        reread.Reload();
        EXPECT_EQ(reread.GetItems(), list.GetItems());
        EXPECT_EQ(reread.GetState("C:\\New.exe"), 1);
    }
}

TEST_F(AcceptedList, FailedWriteLeavesTheOldFileAndKeepsTheChange) {
    CAcceptedList list(m_file);
    list.SetState("a", 1);
    list.SetState("bc", 0);
    ASSERT_TRUE(list.Store());

    SetReplaceFailureForTesting(true);
    list.SetState("bc", 1);
    list.SetState("C:\\New.exe", 1);
    EXPECT_FALSE(list.Store());
    EXPECT_FALSE(list.WriteTo(m_file));
    EXPECT_EQ(ReadFileText(m_file), kTwoAcceptedRecords);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_file)));
    EXPECT_EQ(list.GetState("C:\\New.exe"), 1);

    SetReplaceFailureForTesting(false);
    ASSERT_TRUE(list.Store());
    CAcceptedList reread(m_file);
    reread.Reload();
    EXPECT_EQ(reread.GetState("bc"), 1);
    EXPECT_EQ(reread.GetState("C:\\New.exe"), 1);

    EXPECT_FALSE(list.WriteTo(m_dir.File("no-such-folder\\autostart.dat")));
}

TEST_F(AcceptedList, Utf16FileIsReadAndWrittenBackInAnsi) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the expected bytes are those of code page 1252";
    }
    // C:\café.exe in the 16-bit string form, accepted.
    const std::string wide = HexBytes("01 00 00 00  00 00 00 00 00 00 F0 3F"
                                      "FF FE FF 0B 43 00 3A 00 5C 00 63 00 61 00 66 00 E9 00"
                                      "2E 00 65 00 78 00 65 00"
                                      "01 00 00 00 00 00 00 00"
                                      "00 00 00 00 00 00 00 00 00 00 00 00"
                                      "00 00 00 00 00 00 00 00 00 00 00 00"
                                      "00 00 00 00 00");
    ASSERT_TRUE(WriteFileText(m_file, wide));
    CAcceptedList list(m_file);
    list.Reload();
    EXPECT_EQ(list.GetState("C:\\caf\xE9.exe"), 1);

    ASSERT_TRUE(list.Store());
    const std::string stored = ReadFileText(m_file);
    EXPECT_EQ(stored.size(), 4 + 46 + 11u);
    EXPECT_EQ(stored.substr(12, 12), "\x0B"
                                     "C:\\caf\xE9.exe");
}

TEST_F(AcceptedList, DataFilesAreReadOnlyUpToTheLimit) {
    const std::string big = m_dir.File("big.dat");
    ASSERT_TRUE(WriteFileText(big, std::string(kMaxDataFileBytes + 4096, 'b')));
    std::string bytes;
    ASSERT_TRUE(ReadDataFile(big, bytes));
    EXPECT_EQ(bytes.size(), kMaxDataFileBytes);

    bytes = "old";
    EXPECT_FALSE(ReadDataFile(m_dir.File("missing.dat"), bytes));
    EXPECT_TRUE(bytes.empty());
}

// Accepted means this file: a path accepted by an older copy takes its file
// silently; a file replaced since is unaccepted, with its reason, in this run
// and the next, until accepted again; a file only touched, locked or gone is
// no alarm.
TEST_F(AcceptedList, AFileChangedSinceItWasAcceptedIsUnacceptedUntilAcceptedAgain) {
    const std::string program = m_dir.File("app.exe");
    ASSERT_TRUE(WriteFileText(program, "abc"));
    CAcceptedList older(m_file);
    older.SetState(program, 1);
    ASSERT_TRUE(WriteFileWhole(m_file, FormatAcceptedList(older.GetItems()))) << "no side file";

    CAcceptedList list(m_file);
    list.Reload();
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsAccepted(program)) << "no identity yet: adopted silently";
    const std::string side = m_dir.File("autostart-files.dat");
    CFileIdentityStore stored;
    ASSERT_TRUE(stored.ReadFrom(side, HashBytesSha256(ReadFileText(m_file))));
    ASSERT_EQ(stored.GetRecords().size(), 1u);
    EXPECT_EQ(stored.GetRecords()[0].identity.sha256,
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(stored.GetRecords()[0].identity.stamp.size, 3u);
    EXPECT_FALSE(stored.GetRecords()[0].unconfirmed);

    ASSERT_TRUE(WriteFileText(program, "abcd"));
    const uint64_t before = list.GetVersion();
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsChanged(program));
    EXPECT_FALSE(list.IsAccepted(program));
    EXPECT_EQ(list.GetState(program), 1) << "the list itself keeps its record";
    EXPECT_GT(list.GetVersion(), before) << "the checks list anew";
    CUnacceptedCheck check;
    RecordingGate gate;
    const std::vector<AutostartEntry> entries{Entry("App", program, "Run", 0x80000001)};
    EXPECT_TRUE(check.Check(entries, 1, list, gate, WarningSubjectOf));
    ASSERT_EQ(gate.openedEntries.size(), 1u);
    EXPECT_TRUE(gate.openedEntries[0].changed);

    CAcceptedList nextRun(m_file);
    nextRun.Reload();
    nextRun.CheckFile(program, program);
    EXPECT_TRUE(nextRun.IsChanged(program)) << "the identity outlives the run";
    nextRun.Accept(program, program);
    ASSERT_TRUE(nextRun.Store());
    EXPECT_TRUE(nextRun.IsAccepted(program)) << "accepted again: this file now";
    list.Reload();
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsAccepted(program));

    // Touched (a new time, the same bytes), locked, gone: still accepted.
    ASSERT_TRUE(WriteFileText(program, "abcd"));
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsAccepted(program));
    {
        win::UniqueFile locked(
            CreateFileA(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_EQ(HashFileSha256(program), "") << "the file is locked indeed";
        list.CheckFile(program, program);
        EXPECT_TRUE(list.IsAccepted(program));
    }
    ASSERT_TRUE(DeleteFileA(program.c_str()));
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsAccepted(program));
    ASSERT_TRUE(WriteFileText(program, "something else"));
    list.CheckFile(program, program);
    EXPECT_TRUE(list.IsChanged(program)) << "another file in its place";
}

// An older copy that wrote the list (here: accepted another path) leaves the
// identities stale: the files as they are then are taken silently, once.
TEST_F(AcceptedList, IdentitiesOlderThanTheListAreTakenAgainSilently) {
    const std::string program = m_dir.File("app.exe");
    ASSERT_TRUE(WriteFileText(program, "one"));
    CAcceptedList list(m_file);
    list.Accept(program, program);
    ASSERT_TRUE(list.Store());

    list.SetState("C:\\Other\\other.exe", 1);
    ASSERT_TRUE(WriteFileWhole(m_file, FormatAcceptedList(list.GetItems())));
    ASSERT_TRUE(WriteFileText(program, "updated by the older copy's user"));
    CAcceptedList reread(m_file);
    reread.Reload();
    ASSERT_EQ(reread.GetIdentities().GetRecords().size(), 1u);
    EXPECT_TRUE(reread.GetIdentities().GetRecords()[0].unconfirmed);
    reread.CheckFile(program, program);
    EXPECT_TRUE(reread.IsAccepted(program));

    ASSERT_TRUE(WriteFileText(program, "then replaced"));
    CAcceptedList later(m_file);
    later.Reload();
    later.CheckFile(program, program);
    EXPECT_TRUE(later.IsChanged(program)) << "confirmed since: a change counts again";

    // A side file cut short keeps the records before the cut.
    std::string fingerprint;
    std::vector<FileIdentityRecord> records;
    const std::string bytes = ReadFileText(m_dir.File("autostart-files.dat"));
    EXPECT_TRUE(ParseFileIdentities(bytes, fingerprint, records));
    EXPECT_EQ(records, later.GetIdentities().GetRecords());
    EXPECT_FALSE(ParseFileIdentities(bytes.substr(0, bytes.size() - 1), fingerprint, records));
    EXPECT_TRUE(records.empty());
}

class CheckUnacceptedEntries : public ::testing::Test {
  protected:
    const AutostartEntryList m_entries{
        Entry("Tools", "C:\\Tools\\App.exe", "C:\\Startup\\Tools.lnk", 0),
        Entry("Tray", "\"C:\\Tools\\App.exe\" /min",
              "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0x80000001),
        Entry("Again", "C:\\Tools\\App.exe", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
              0x80000002),
    };
    // Checks entries as the holder's version names them.
    bool Check(const AutostartEntryList& entries, uint64_t version = 1) {
        return m_check.Check(entries, version, m_accepted, m_gate,
                             [this](const AutostartEntry& entry) {
                                 ++m_subjectsMade;
                                 return WarningSubjectOf(entry);
                             });
    }

    CAcceptedList m_accepted;
    RecordingGate m_gate;
    CUnacceptedCheck m_check;
    int m_subjectsMade = 0;
};

TEST_F(CheckUnacceptedEntries, NothingToWarnAboutWhenAllAreAccepted) {
    EXPECT_FALSE(Check(AutostartEntryList{}, 0));
    m_accepted.SetState("c:\\tools\\app.exe", 1);
    m_accepted.SetState("\"C:\\Tools\\App.exe\" /min", 1);
    EXPECT_FALSE(Check(m_entries));
    EXPECT_TRUE(m_gate.asked.empty());
    EXPECT_TRUE(m_gate.openedEntries.empty());
}

TEST_F(CheckUnacceptedEntries, OneWarningPerCheckInDisplayOrder) {
    m_accepted.SetState("C:\\Tools\\App.exe", 0);
    EXPECT_TRUE(Check(m_entries));
    ASSERT_EQ(m_gate.openedEntries.size(), 1u);
    EXPECT_TRUE(SameEntry(m_gate.openedEntries[0], m_entries[0]));
    EXPECT_EQ(m_gate.asked,
              (std::vector<std::string>{m_entries[0].path, m_entries[1].path, m_entries[2].path}));

    // Accepting the shortcut's target accepts both entries with that path; the
    // Run value with its quotes and arguments is another path.
    m_gate.showing = false;
    m_accepted.SetState("C:\\Tools\\App.exe", 1);
    EXPECT_TRUE(Check(m_entries));
    ASSERT_EQ(m_gate.openedEntries.size(), 2u);
    EXPECT_TRUE(SameEntry(m_gate.openedEntries[1], m_entries[1]));
    EXPECT_EQ(m_gate.openedEntries[1].root, 0x80000001u);

    // Changing the Run value's arguments makes it unaccepted again.
    m_accepted.SetState("\"C:\\Tools\\App.exe\" /min", 1);
    EXPECT_FALSE(Check(m_entries));
    AutostartEntryList changed = m_entries;
    changed[1].path = "\"C:\\Tools\\App.exe\" /hidden";
    EXPECT_TRUE(Check(changed, 2));
}

TEST_F(CheckUnacceptedEntries, WithWarningsOffTheResultStillCounts) {
    m_gate.warningsOn = false;
    EXPECT_TRUE(Check(m_entries));
    EXPECT_EQ(m_gate.asked.size(), 3u);
    EXPECT_TRUE(m_gate.openedEntries.empty());
}

TEST_F(CheckUnacceptedEntries,
       TheAnswerIsKeptUntilEntriesOrAcceptedListChangeButTheGateIsAskedEachTime) {
    m_accepted.SetState("C:\\Tools\\App.exe", 1);
    m_gate.warningsOn = false;
    EXPECT_TRUE(Check(m_entries));
    EXPECT_EQ(m_subjectsMade, 1);
    for (int check = 0; check < 10; ++check) {
        EXPECT_TRUE(Check(m_entries));
    }
    EXPECT_EQ(m_subjectsMade, 1) << "nothing changed: the unaccepted entries were not sought again";
    EXPECT_EQ(m_gate.asked.size(), 11u) << "but the gate heard of the Run value at every check";

    // The gate opens by itself (a warning closed, or warnings switched on):
    // the next check opens the warning without anything else changing.
    m_gate.warningsOn = true;
    EXPECT_TRUE(Check(m_entries));
    ASSERT_EQ(m_gate.openedEntries.size(), 1u);
    EXPECT_TRUE(SameEntry(m_gate.openedEntries[0], m_entries[1]));

    // Accepting the Run value: the very next check knows.
    m_accepted.SetState("\"C:\\Tools\\App.exe\" /min", 1);
    EXPECT_FALSE(Check(m_entries));

    // A new entry appears in the list (a rescan gives the holder a new
    // version): the very next check finds it.
    AutostartEntryList grown = m_entries;
    grown.push_back(Entry("New", "C:\\New\\new.exe", "C:\\Startup\\New.lnk", 0));
    m_gate.showing = false;
    EXPECT_TRUE(Check(grown, 2));
    ASSERT_EQ(m_gate.openedEntries.size(), 2u);
    EXPECT_TRUE(SameEntry(m_gate.openedEntries[1], grown[3]));

    // The list read anew from its file counts as a change too.
    m_accepted.Reload();
    EXPECT_TRUE(Check(grown, 2));
    EXPECT_EQ(m_subjectsMade, 1 + 1 + 4) << "sought again after each change";
}
