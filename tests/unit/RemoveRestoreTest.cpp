#include "app/Elevation.h"
#include "app/Log.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartMessages.h"
#include "autostart/AutostartScan.h"
#include "autostart/AutostartWatch.h"
#include "autostart/CurrentEntries.h"
#include "autostart/DisabledEntries.h"
#include "autostart/EntryTexts.h"
#include "autostart/RemoveRestore.h"
#include "autostart/SystemPlaces.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/RecordingGate.h"
#include "tests/unit/HexBytes.h"
#include "tests/unit/TempDir.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kRunKey = testsupport::kRunKey;
constexpr uint32_t kCurrentUser = 0x80000001;
constexpr uint32_t kLocalMachine = 0x80000002;
constexpr DWORD kMovedAwayAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

// The Autostart page as far as removal and restore see it; like the page, a
// refresh reads the removed records from the index again.
class TestPage : public IRemovedEntriesPage {
  public:
    explicit TestPage(std::string folder) : m_folder(std::move(folder)) {}

    RemovedEntryList& GetRemovedEntries() override { return removed; }
    void RefreshAfterChange() override {
        ++refreshes;
        removed.clear();
        ReadRemovedIndex(removed, GetRemovedIndexIn(m_folder));
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::string GetRemovedFolder() const override { return m_folder; }

    RemovedEntryList removed;
    std::vector<std::string> messages;
    int refreshes = 0;

  private:
    std::string m_folder;
};

HKEY Hive(uint32_t root) {
    return root == kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// A value as the registry holds it; type REG_NONE when it is missing.
struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;
};

StoredValue ReadValue(uint32_t root, const std::string& name,
                      const std::string& keyPath = kRunKey) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(Hive(root), keyPath.c_str(), 0, InRealRegistryView(KEY_READ), &key) !=
        ERROR_SUCCESS) {
        return value;
    }
    char data[4096] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        value = {type, std::string(data, size)};
    }
    RegCloseKey(key);
    return value;
}

// Runs its function when the test ends, however it ends.
struct Cleanup {
    std::function<void()> run;
    ~Cleanup() { run(); }
};

std::string WithNul(const std::string& text) {
    return std::string(text.c_str(), text.size() + 1);
}

} // namespace

// Each test works in a program directory of its own (made current, as the
// program makes its own), the real startup folder and the real Run keys; all
// three are put back afterwards.
class RemoveRestore : public ::testing::Test {
  protected:
    void SetUp() override {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        m_previousDirectory = current;
        ASSERT_TRUE(SetCurrentDirectoryA(m_program.Path().c_str()));
        ASSERT_TRUE(CreateDirectoryA(m_removed.c_str(), nullptr));

        char startup[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, startup, CSIDL_STARTUP, TRUE));
        m_startup = startup;
        for (uint32_t root : {kCurrentUser, kLocalMachine}) {
            HKEY key = nullptr;
            DWORD disposition = 0;
            ASSERT_EQ(RegCreateKeyExA(Hive(root), kRunKey.c_str(), 0, nullptr, 0,
                                      InRealRegistryView(KEY_ALL_ACCESS), nullptr, &key,
                                      &disposition),
                      ERROR_SUCCESS);
            m_runKeys.push_back(key);
            m_createdRunKeys.push_back(disposition == REG_CREATED_NEW_KEY);
        }
        ClearLog();
    }

    void TearDown() override {
        SetReplaceFailureForTesting(false);
        for (const std::string& file : m_startupFiles) {
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        }
        for (size_t i = 0; i < m_runKeys.size(); ++i) {
            for (const std::string& name : m_valueNames) {
                RegDeleteValueA(m_runKeys[i], name.c_str());
            }
            RegCloseKey(m_runKeys[i]);
            if (m_createdRunKeys[i]) {
                RegDeleteKeyA(i == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, kRunKey.c_str());
            }
        }
        SetCurrentDirectoryA(m_previousDirectory.c_str());
    }

    // A real file in the user's startup folder, deleted after the test.
    AutostartEntry StartupFile(const std::string& fileName, const std::string& content) {
        const std::string path = m_startup + "\\" + fileName;
        m_startupFiles.push_back(path);
        EXPECT_TRUE(WriteFileText(path, content));
        return AutostartEntry{fileName.substr(0, fileName.find('.')), "C:\\Tools\\App.exe", path,
                              0};
    }

    // A real value in a Run key, deleted after the test.
    AutostartEntry RunValue(uint32_t root, const std::string& name, const std::string& data,
                            DWORD type = REG_SZ) {
        DeleteValueAfterTest(name);
        const std::string stored = WithNul(data);
        EXPECT_EQ(RegSetValueExA(m_runKeys[root == kCurrentUser ? 0 : 1], name.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(stored.data()),
                                 static_cast<DWORD>(stored.size())),
                  ERROR_SUCCESS);
        return AutostartEntry{name, data, kRunKey, root};
    }

    // A value the test does not create but may bring about.
    void DeleteValueAfterTest(const std::string& name) { m_valueNames.push_back(name); }

    std::string Unique(const std::string& name) const {
        return "orv-rr-" + std::to_string(GetCurrentProcessId()) + "-" + name;
    }
    std::string Removed(const std::string& fileName) const { return m_removed + "\\" + fileName; }
    std::string IndexBytes() const { return ReadFileText(m_index); }
    static const std::string& Log() { return GetLogText(); }

    TempDir m_program;
    std::string m_removed = m_program.File("removed");
    std::string m_index = m_removed + "\\_index_.dat";
    TestPage m_page{m_removed};
    std::string m_startup;

  private:
    std::string m_previousDirectory;
    std::vector<std::string> m_startupFiles;
    std::vector<std::string> m_valueNames;
    std::vector<HKEY> m_runKeys;
    std::vector<bool> m_createdRunKeys;
};

TEST_F(RemoveRestore, RemovedFolderAndIndexLieBesideTheProgram) {
    EXPECT_EQ(GetFolderOfRemovedItems(), GetExeDir() + "\\removed");
    EXPECT_EQ(GetFileOfRemovedInfoDataBase(), GetExeDir() + "\\removed\\_index_.dat");
    EXPECT_EQ(GetRemovedIndexIn(m_removed), m_index);
}

TEST_F(RemoveRestore, StartupFileIsMovedRecordedRestoredAndRemovedAgain) {
    const std::string fileName = Unique("Foo.lnk");
    const AutostartEntry entry = StartupFile(fileName, "shortcut bytes");
    const std::string target = Removed(fileName);

    EXPECT_TRUE(RemoveEntry(m_page, entry));
    EXPECT_FALSE(FileExists(entry.location));
    EXPECT_EQ(ReadFileText(target), "shortcut bytes");
    const RemovedEntry record{entry.location, Unique("Foo"), target, 0};
    EXPECT_EQ(m_page.removed, RemovedEntryList{record});
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex({record}));
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_index)));
    EXPECT_TRUE(m_page.messages.empty());
    EXPECT_EQ(m_page.refreshes, 1);
    const std::string expectedLog = " File to move, from: " + entry.location + ", to: " + target +
                                    "\r\n File sucessfully moved"
                                    "\r\n 100% confirmation, the file was moved"
                                    "\r\n Saving Removed Info Database"
                                    "\r\n Remove info database saved?:1"
                                    "\r\n If the about failed, then the last error was:";
    EXPECT_EQ(Log().substr(0, expectedLog.size()), expectedLog);

    const std::string logBeforeRestore = Log();
    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadFileText(entry.location), "shortcut bytes");
    EXPECT_FALSE(FileExists(target));
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));
    EXPECT_EQ(m_page.refreshes, 2);
    EXPECT_EQ(Log(), logBeforeRestore);

    // The restore dropped the record, so the next removal finds none.
    RemoveEntry(m_page, entry);
    EXPECT_EQ(m_page.removed, RemovedEntryList{record});
    EXPECT_EQ(Log().find("once removed"), std::string::npos);
    EXPECT_TRUE(m_page.messages.empty());
}

TEST_F(RemoveRestore, ReadOnlyHiddenStartupFileIsMovedAndComesBackNormal) {
    const AutostartEntry entry = StartupFile(Unique("Hidden.lnk"), "hidden");
    ASSERT_TRUE(SetFileAttributesA(entry.location.c_str(), kMovedAwayAttributes));

    RemoveEntry(m_page, entry);
    ASSERT_EQ(m_page.removed.size(), 1u);
    const std::string moved = m_page.removed[0].currentLocation;
    EXPECT_EQ(ReadFileText(moved), "hidden");
    EXPECT_EQ(GetFileAttributesA(moved.c_str()) & kMovedAwayAttributes, 0u);

    RestoreEntry(m_page, 0);
    const DWORD restored = GetFileAttributesA(entry.location.c_str());
    ASSERT_NE(restored, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(restored & (kMovedAwayAttributes | FILE_ATTRIBUTE_SYSTEM), 0u);
    EXPECT_TRUE(m_page.messages.empty());

    ASSERT_TRUE(
        SetFileAttributesA(entry.location.c_str(), kMovedAwayAttributes | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(ResetFileAttributes(entry.location));
    EXPECT_EQ(GetFileAttributesA(entry.location.c_str()) &
                  (kMovedAwayAttributes | FILE_ATTRIBUTE_SYSTEM),
              0u);
    EXPECT_FALSE(ResetFileAttributes(m_program.File("missing.lnk")));
}

TEST_F(RemoveRestore, FileThatCameBackReplacesItsEarlierCopyOnlyInsideTheRemovedFolder) {
    const std::string fileName = Unique("Back.lnk");
    AutostartEntry entry = StartupFile(fileName, "first");
    RemoveEntry(m_page, entry);
    StartupFile(fileName, "second");
    ClearLog();

    RemoveEntry(m_page, entry);
    EXPECT_NE(Log().find("\r\n File was once removed, so I deleted it\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileText(Removed(fileName)), "second");
    EXPECT_EQ(m_page.removed,
              (RemovedEntryList{{entry.location, Unique("Back"), Removed(fileName), 0}}));

    // A record whose copy lies elsewhere is dropped, but that file is not ours.
    const std::string elsewhere = m_program.File("precious.txt");
    ASSERT_TRUE(WriteFileText(elsewhere, "keep me"));
    ASSERT_TRUE(WriteRemovedIndex({{entry.location, Unique("Back"), elsewhere, 0},
                                   {entry.location, Unique("Back"), "..\\precious.txt", 0}},
                                  m_index));
    ASSERT_TRUE(MoveFileA(Removed(fileName).c_str(), entry.location.c_str()));
    ClearLog();
    RemoveEntry(m_page, entry);
    EXPECT_EQ(ReadFileText(elsewhere), "keep me");
    EXPECT_EQ(Log().find("once removed"), std::string::npos);
    // Only the first record of the path is replaced.
    ASSERT_EQ(m_page.removed.size(), 2u);
    EXPECT_EQ(m_page.removed[0].currentLocation, "..\\precious.txt");
    EXPECT_EQ(m_page.removed[1].currentLocation, Removed(fileName));
}

TEST_F(RemoveRestore, TakenNameInTheRemovedFolderFailsAndRecordsNothing) {
    const std::string fileName = Unique("Twice.lnk");
    RemoveEntry(m_page, StartupFile(fileName, "user"));
    // The same name from another folder.
    TempDir other;
    const std::string second = other.File(fileName);
    ASSERT_TRUE(WriteFileText(second, "other"));
    ASSERT_TRUE(SetFileAttributesA(second.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string indexBefore = IndexBytes();
    ClearLog();

    RemoveEntry(m_page, AutostartEntry{"Twice", "C:\\x.exe", second, 0});
    EXPECT_EQ(m_page.messages, std::vector<std::string>{"Operation failed"});
    EXPECT_NE(Log().find("\r\n Operation failed, last error:"), std::string::npos);
    EXPECT_NE(Log().find("\r\n Remove info database saved?:1\r\n"), std::string::npos);
    EXPECT_EQ(IndexBytes(), indexBefore);
    EXPECT_EQ(ReadFileText(second), "other");
    EXPECT_EQ(ReadFileText(Removed(fileName)), "user");
    // A removal that did not happen leaves the file as the user had it.
    EXPECT_EQ(GetFileAttributesA(second.c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    SetFileAttributesA(second.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(RemoveRestore, StartupFilesNamedLikeTheIndexOrItsTemporaryTakeAFreeName) {
    ASSERT_TRUE(WriteFileText(Removed("_index_ (1).dat"), "taken"));
    const AutostartEntry index = StartupFile("_index_.dat", "not an index");
    const AutostartEntry temporary = StartupFile("_index_.dat.tmp", "not a temporary");

    RemoveEntry(m_page, index);
    RemoveEntry(m_page, temporary);
    EXPECT_TRUE(m_page.messages.empty());
    const RemovedEntryList expected{
        {index.location, "_index_", Removed("_index_ (2).dat"), 0},
        {temporary.location, "_index_.dat", Removed("_index_.dat (1).tmp"), 0}};
    EXPECT_EQ(m_page.removed, expected);
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex(expected));
    EXPECT_EQ(ReadFileText(Removed("_index_ (2).dat")), "not an index");
    EXPECT_EQ(ReadFileText(Removed("_index_.dat (1).tmp")), "not a temporary");
    EXPECT_EQ(ReadFileText(Removed("_index_ (1).dat")), "taken");

    RestoreEntry(m_page, 0);
    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadFileText(index.location), "not an index");
    EXPECT_EQ(ReadFileText(temporary.location), "not a temporary");
    EXPECT_TRUE(m_page.removed.empty());
}

TEST_F(RemoveRestore, RunValueIsDeletedRecordedAndRestoredAsPlainString) {
    const std::string name = Unique("App");
    const AutostartEntry entry =
        RunValue(kCurrentUser, name, "%SystemRoot%\\app.exe /min", REG_EXPAND_SZ);

    EXPECT_TRUE(RemoveEntry(m_page, entry));
    EXPECT_EQ(ReadValue(kCurrentUser, name).type, static_cast<DWORD>(REG_NONE));
    const RemovedEntry record{kRunKey, name, "%SystemRoot%\\app.exe /min", kCurrentUser};
    EXPECT_EQ(m_page.removed, RemovedEntryList{record});
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex({record}));
    EXPECT_TRUE(m_page.messages.empty());
    const std::string expectedLog = " The key of reg entry to remove:" + kRunKey +
                                    "\r\n Reg entry sucessfully removed"
                                    "\r\n Saving Removed Info Database"
                                    "\r\n Remove info database saved?:1"
                                    "\r\n If the about failed, then the last error was:";
    EXPECT_EQ(Log().substr(0, expectedLog.size()), expectedLog);

    RestoreEntry(m_page, 0);
    const StoredValue restored = ReadValue(kCurrentUser, name);
    EXPECT_EQ(restored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(restored.data, WithNul("%SystemRoot%\\app.exe /min"));
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));
    EXPECT_TRUE(m_page.messages.empty());
}

TEST_F(RemoveRestore, RemovalAskedInAWarningTakesOnlyTheEntryAsTheWarningShowedIt) {
    const std::string name = Unique("Warned");
    const AutostartEntry shown = RunValue(kCurrentUser, name, "C:\\Tools\\first.exe");
    // Rewritten while the warning was open.
    const AutostartEntry now = RunValue(kCurrentUser, name, "C:\\Tools\\second.exe");
    EXPECT_FALSE(RemoveEntryAsShown(m_page, shown));
    EXPECT_EQ(ReadValue(kCurrentUser, name).data, WithNul("C:\\Tools\\second.exe"));
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_EQ(m_page.messages, std::vector<std::string>{kEntryChangedSinceShown});

    EXPECT_TRUE(RemoveEntryAsShown(m_page, now));
    EXPECT_EQ(ReadValue(kCurrentUser, name).type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(m_page.removed, (RemovedEntryList{{kRunKey, name, now.path, kCurrentUser}}));
    EXPECT_FALSE(RemoveEntryAsShown(m_page, now)) << "gone since";
    EXPECT_EQ(m_page.messages.size(), 2u);
}

// On a 64-bit system the machine's Run key has a twin for 32-bit programs.
TEST_F(RemoveRestore, MachineValuesOfBothViewsGoAndComeBackEachInItsOwnView) {
    if (!IsSystem64Bit()) {
        GTEST_SKIP() << "a 32-bit system has one registry view";
    }
    const std::string name = Unique("Views");
    const AutostartEntry own = RunValue(kLocalMachine, name, "own.exe");
    win::UniqueRegKey thirtyTwoBitKey;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, thirtyTwoBitKey.Put(),
                              nullptr),
              ERROR_SUCCESS);
    const auto thirtyTwoBitValue = [&] {
        char data[64] = {};
        DWORD size = sizeof data;
        return RegQueryValueExA(thirtyTwoBitKey.Get(), name.c_str(), nullptr, nullptr,
                                reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS
                   ? std::string(data)
                   : std::string("(none)");
    };
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, ThirtyTwoBitViewKeyPath(kRunKey), "wow.exe",
                               name) == ERROR_SUCCESS);
    ASSERT_EQ(thirtyTwoBitValue(), "wow.exe") << "the view's key by its real path";
    AutostartEntry wow;
    ASSERT_TRUE(ReadEntryNow({name, "", ThirtyTwoBitViewKeyPath(kRunKey), kLocalMachine}, wow));

    EXPECT_TRUE(RemoveEntry(m_page, wow));
    EXPECT_TRUE(RemoveEntry(m_page, own));
    EXPECT_EQ(thirtyTwoBitValue(), "(none)");
    EXPECT_EQ(ReadValue(kLocalMachine, name).type, static_cast<DWORD>(REG_NONE));
    ASSERT_EQ(m_page.removed.size(), 2u) << "two records, one per view";
    EXPECT_EQ(m_page.removed[0].originalLocation, ThirtyTwoBitViewKeyPath(kRunKey));
    EXPECT_EQ(m_page.removed[0].keyView, kKeyPathInSystemView);

    RestoreEntry(m_page, 0);
    EXPECT_EQ(thirtyTwoBitValue(), "wow.exe");
    EXPECT_EQ(ReadValue(kLocalMachine, name).type, static_cast<DWORD>(REG_NONE));
    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadValue(kLocalMachine, name).data, WithNul("own.exe"));
    EXPECT_EQ(thirtyTwoBitValue(), "wow.exe");

    // Written before both views were read, by the 32-bit program: its key
    // path was the 32-bit view's, and that is where it comes back.
    RegDeleteValueA(thirtyTwoBitKey.Get(), name.c_str());
    ASSERT_TRUE(
        WriteFileText(m_index, FormatRemovedIndex({{kRunKey, name, "old.exe", kLocalMachine}})));
    m_page.RefreshAfterChange();
    RestoreEntry(m_page, 0);
    EXPECT_EQ(thirtyTwoBitValue(), "old.exe");
    EXPECT_EQ(ReadValue(kLocalMachine, name).data, WithNul("own.exe"));
    RegDeleteValueA(thirtyTwoBitKey.Get(), name.c_str());
}

TEST_F(RemoveRestore, ValueRemovedAgainKeepsOnlyTheLatestData) {
    const std::string name = Unique("Again");
    RemoveEntry(m_page, RunValue(kCurrentUser, name, "old.exe"));
    ClearLog();
    RemoveEntry(m_page, RunValue(kCurrentUser, name, "new.exe"));
    EXPECT_EQ(Log().find(" Reg entry was once removed, I deleted an info about it\r\n"),
              Log().find("\r\n") + 2);
    EXPECT_EQ(m_page.removed, (RemovedEntryList{{kRunKey, name, "new.exe", kCurrentUser}}));
}

TEST_F(RemoveRestore, SameValueInBothHivesKeepsARecordForEach) {
    const std::string name = Unique("Both");
    RemoveEntry(m_page, RunValue(kLocalMachine, name, "machine.exe"));
    ClearLog();
    RemoveEntry(m_page, RunValue(kCurrentUser, name, "user.exe"));
    EXPECT_EQ(Log().find("once removed"), std::string::npos);
    const uint32_t machineView =
        IsSystem64Bit() ? kKeyPathInSystemView : kKeyPathAsThirtyTwoBitProgramSees;
    const RemovedEntryList expected{{kRunKey, name, "machine.exe", kLocalMachine, machineView},
                                    {kRunKey, name, "user.exe", kCurrentUser}};
    EXPECT_EQ(m_page.removed, expected);
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex(expected));

    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadValue(kLocalMachine, name).data, WithNul("machine.exe"));
    EXPECT_EQ(ReadValue(kCurrentUser, name).type, static_cast<DWORD>(REG_NONE));
    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadValue(kCurrentUser, name).data, WithNul("user.exe"));
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_TRUE(m_page.messages.empty());
}

TEST_F(RemoveRestore, RegistryFailuresAreLoggedShownAndRecordNothing) {
    const std::string missingKey = "SOFTWARE\\" + Unique("missing");
    RemoveEntry(m_page, AutostartEntry{"X", "x.exe", missingKey, kCurrentUser});
    EXPECT_EQ(Log().substr(0, Log().find(" Saving")),
              " The key of reg entry to remove:" + missingKey +
                  "\r\n Failed when opening key\r\n Last error:2\r\n");
    EXPECT_NE(Log().find("\r\n Remove info database saved?:1\r\n"), std::string::npos);

    ClearLog();
    RemoveEntry(m_page, AutostartEntry{Unique("none"), "x.exe", kRunKey, kCurrentUser});
    EXPECT_EQ(Log().substr(0, Log().find(" Saving")),
              " The key of reg entry to remove:" + kRunKey +
                  "\r\n Failed when deleting val\r\n Last error:2\r\n");
    EXPECT_EQ(m_page.messages,
              (std::vector<std::string>{"Failed when opening key", "Failed when deleting value"}));
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));

    // Restoring into a key that is gone, or into a hive other than the two
    // the autostart keys live in, keeps the record; so does a file whose place is taken again.
    const AutostartEntry file = StartupFile(Unique("Taken.lnk"), "removed one");
    const RemovedEntryList records{{missingKey, "X", "x.exe", kCurrentUser},
                                   {".DEFAULT\\Software", Unique("Odd"), "x.exe", 0x80000003},
                                   {file.location, "Taken", m_program.File("copy.lnk"), 0}};
    ASSERT_TRUE(WriteFileText(m_program.File("copy.lnk"), "copy"));
    ASSERT_TRUE(WriteRemovedIndex(records, m_index));
    m_page.RefreshAfterChange();
    m_page.messages.clear();
    ClearLog();
    for (int record = 0; record < 3; ++record) {
        RestoreEntry(m_page, record);
    }
    EXPECT_EQ(m_page.messages,
              (std::vector<std::string>{"Failed when opening key", "Failed when opening key",
                                        "Operation failed"}));
    EXPECT_EQ(m_page.removed, records);
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex(records));
    EXPECT_EQ(ReadFileText(file.location), "removed one");
    HKEY users = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_USERS, ".DEFAULT\\Software", 0, KEY_ALL_ACCESS, &users),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(users, Unique("Odd").c_str(), nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    RegDeleteValueA(users, Unique("Odd").c_str());
    RegCloseKey(users);
    EXPECT_TRUE(Log().empty());
}

// A key this user may read but not write, as the machine's Run key is to a
// standard user: removing from it and restoring into it are refused, said so,
// and leave the key and the index as they were.
TEST_F(RemoveRestore, ChangesTheSystemRefusesSaySoAndChangeNothing) {
    struct LockedKey {
        std::string path;
        win::UniqueRegKey key;
        ~LockedKey() {
            testsupport::AccessList("D:P(A;;KA;;;WD)").SetOn(key.Get());
            RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
        }
    } locked{"SOFTWARE\\" + Unique("locked"), {}};
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, locked.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, locked.key.Put(), nullptr),
              ERROR_SUCCESS);
    const std::string data = WithNul("x.exe");
    ASSERT_EQ(RegSetValueExA(locked.key.Get(), "Locked", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.data()), 6),
              ERROR_SUCCESS);
    ASSERT_TRUE(testsupport::AccessList("D:P(A;;KR;;;WD)").SetOn(locked.key.Get()));

    RemoveEntry(m_page, AutostartEntry{"Locked", "x.exe", locked.path, kCurrentUser});
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));
    const RemovedEntryList records{{locked.path, "Back", "y.exe", kCurrentUser}};
    ASSERT_TRUE(WriteRemovedIndex(records, m_index));
    m_page.RefreshAfterChange();
    RestoreEntry(m_page, 0);

    EXPECT_EQ(m_page.messages,
              (std::vector<std::string>{kChangeNeedsAdministrator, kChangeNeedsAdministrator}));
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex(records));
    EXPECT_EQ(RegQueryValueExA(locked.key.Get(), "Locked", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(locked.key.Get(), "Back", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(RemoveRestore, FailedIndexWriteKeepsTheOldIndexAndRemovesNothing) {
    const RemovedEntryList earlier{{kRunKey, "Earlier", "earlier.exe", kCurrentUser}};
    ASSERT_TRUE(WriteRemovedIndex(earlier, m_index));
    const std::string before = IndexBytes();
    const std::string name = Unique("Kept");
    const AutostartEntry value = RunValue(kCurrentUser, name, "%TEMP%\\kept.exe", REG_EXPAND_SZ);
    const AutostartEntry file = StartupFile(Unique("Kept.lnk"), "kept");
    ASSERT_TRUE(SetFileAttributesA(file.location.c_str(), FILE_ATTRIBUTE_HIDDEN));
    SetReplaceFailureForTesting(true);

    // The record is written before anything is removed: that write fails.
    RemoveEntry(m_page, value);
    EXPECT_NE(Log().find("\r\n Operation failed, last error:"), std::string::npos) << Log();
    EXPECT_EQ(Log().find(" Saving"), std::string::npos);
    EXPECT_EQ(IndexBytes(), before);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_index)));
    const StoredValue back = ReadValue(kCurrentUser, name);
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(back.data, WithNul("%TEMP%\\kept.exe"));

    RemoveEntry(m_page, file);
    EXPECT_EQ(IndexBytes(), before);
    EXPECT_EQ(ReadFileText(file.location), "kept");
    EXPECT_EQ(GetFileAttributesA(file.location.c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(FileExists(Removed(Unique("Kept.lnk"))));
    EXPECT_EQ(m_page.messages, (std::vector<std::string>{"Operation failed", "Operation failed"}));
    EXPECT_EQ(m_page.removed, earlier);
}

TEST_F(RemoveRestore, RemovalCutShortAfterItsRecordIsFinishedByRemovingOrRestoring) {
    // A removal ended between writing its record and removing the entry
    // leaves the entry in place with its record; restoring such a file
    // drops the record, removing it again finishes.
    const AutostartEntry value = RunValue(kCurrentUser, Unique("Cut"), "cut.exe");
    const AutostartEntry file = StartupFile(Unique("Cut.lnk"), "cut");
    const RemovedEntry valueRecord{kRunKey, value.name, "cut.exe", kCurrentUser};
    const RemovedEntry fileRecord{file.location, Unique("Cut"), Removed(Unique("Cut.lnk")), 0};
    ASSERT_TRUE(WriteRemovedIndex({fileRecord}, m_index));
    m_page.removed = {fileRecord};
    RestoreEntry(m_page, 0);
    EXPECT_TRUE(m_page.messages.empty());
    EXPECT_TRUE(m_page.removed.empty());
    EXPECT_EQ(ReadFileText(file.location), "cut");
    ASSERT_TRUE(WriteRemovedIndex({valueRecord, fileRecord}, m_index));

    RemoveEntry(m_page, value);
    RemoveEntry(m_page, file);
    EXPECT_TRUE(m_page.messages.empty());
    EXPECT_EQ(ReadValue(kCurrentUser, value.name).type, static_cast<DWORD>(REG_NONE));
    EXPECT_FALSE(FileExists(file.location));
    EXPECT_EQ(ReadFileText(Removed(Unique("Cut.lnk"))), "cut");
    EXPECT_EQ(m_page.removed, (RemovedEntryList{valueRecord, fileRecord}));
    EXPECT_EQ(IndexBytes(), FormatRemovedIndex({valueRecord, fileRecord}));
}

TEST_F(RemoveRestore, DamagedOrLockedIndexStopsBeforeAnythingChanges) {
    // Two records promised, one present.
    const std::string keptName = Unique("Kept");
    DeleteValueAfterTest(keptName);
    const RemovedEntry kept{kRunKey, keptName, "kept.exe", kCurrentUser};
    const std::string damaged = HexBytes("02") + FormatRemovedIndex({kept}).substr(1);
    ASSERT_TRUE(WriteFileText(m_index, damaged));
    const AutostartEntry file = StartupFile(Unique("Stay.lnk"), "stay");
    const std::string name = Unique("Stay");
    const AutostartEntry value = RunValue(kCurrentUser, name, "stay.exe");

    const int refreshesBefore = m_page.refreshes;
    RemoveEntry(m_page, file);
    RemoveEntry(m_page, value);
    EXPECT_EQ(m_page.refreshes, refreshesBefore + 2) << "one refresh per removal that stopped";
    EXPECT_EQ(ReadFileText(file.location), "stay");
    EXPECT_EQ(ReadValue(kCurrentUser, name).data, WithNul("stay.exe"));
    EXPECT_EQ(IndexBytes(), damaged);
    EXPECT_EQ(Log().find(" Saving"), std::string::npos);
    EXPECT_NE(Log().find("\r\n Operation failed, last error:13\r\n"), std::string::npos);
    // The page goes on with what could be read.
    EXPECT_EQ(m_page.removed, RemovedEntryList{kept});
    RestoreEntry(m_page, 0);
    EXPECT_EQ(m_page.refreshes, refreshesBefore + 3);
    EXPECT_EQ(ReadValue(kCurrentUser, keptName).type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(IndexBytes(), damaged);
    EXPECT_EQ(m_page.messages, std::vector<std::string>(3, "Operation failed"));

    // A whole index that another program holds open.
    ASSERT_TRUE(WriteRemovedIndex({kept}, m_index));
    const std::string whole = IndexBytes();
    m_page.messages.clear();
    {
        win::UniqueFile lock(CreateFileA(m_index.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        RemoveEntry(m_page, value);
        RemoveEntry(m_page, file);
    }
    EXPECT_EQ(ReadValue(kCurrentUser, name).data, WithNul("stay.exe"));
    EXPECT_EQ(ReadFileText(file.location), "stay");
    EXPECT_EQ(IndexBytes(), whole);
    EXPECT_EQ(m_page.messages, std::vector<std::string>(2, "Operation failed"));
}

TEST_F(RemoveRestore, RestoreActsOnTheRecordAsTheIndexHoldsItNow) {
    const std::string first = Unique("First");
    const std::string second = Unique("Second");
    DeleteValueAfterTest(first);
    DeleteValueAfterTest(second);
    const RemovedEntry firstRecord{kRunKey, first, "first.exe", kCurrentUser};
    const RemovedEntry secondRecord{kRunKey, second, "second.exe", kCurrentUser};
    ASSERT_TRUE(WriteRemovedIndex({firstRecord, secondRecord}, m_index));
    m_page.RefreshAfterChange();

    // Meanwhile the first record left the index.
    ASSERT_TRUE(WriteRemovedIndex({secondRecord}, m_index));
    RestoreEntry(m_page, 1);
    EXPECT_EQ(ReadValue(kCurrentUser, second).data, WithNul("second.exe"));
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));
    EXPECT_TRUE(m_page.messages.empty());

    m_page.removed = {firstRecord};
    RestoreEntry(m_page, 0);
    EXPECT_EQ(ReadValue(kCurrentUser, first).type, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(m_page.messages, std::vector<std::string>{"Operation failed"});
    EXPECT_EQ(IndexBytes(), HexBytes("00 00 00 00"));
    EXPECT_TRUE(m_page.removed.empty());

    // An index past the list's end does nothing at all.
    RestoreEntry(m_page, 0);
    RestoreEntry(m_page, -1);
    EXPECT_EQ(m_page.messages.size(), 1u);
}

// A service and hooks the test makes, as the machine's own places: listed,
// warned about until accepted, switched off and put back exactly.
TEST_F(RemoveRestore, ServiceAndHooksAreListedWarnedSwitchedOffAndRestoredExactly) {
    const std::string helper = "\"" + HelperProcess::BuiltPath() + "\" --quiet";
    const std::string serviceName = Unique("svc");
    const std::string program = Unique("prog.exe");
    const std::string optionsKey = std::string(kImageOptionsKeyPath) + "\\" + program;
    const StoredValue oldShell = ReadValue(kLocalMachine, "Shell", kWinlogonKeyPath);

    win::UniqueRegKey winlogon;
    win::UniqueRegKey options;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWinlogonKeyPath, 0,
                            InRealRegistryView(KEY_ALL_ACCESS), winlogon.Put()),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, optionsKey.c_str(), 0, nullptr, 0,
                              InRealRegistryView(KEY_ALL_ACCESS), nullptr, options.Put(), nullptr),
              ERROR_SUCCESS);
    // Each change is seen by the watch of its place.
    CAutostartWatch watch(GetSystemPlacesToWatch());
    ASSERT_EQ(watch.Unwatched(), 0u);
    const auto signalled = [&watch](const std::string& keyPath) {
        for (size_t i = 0; i < watch.Events().size(); ++i) {
            if (watch.WatchedPath(i) == keyPath) {
                return WaitForSingleObject(watch.Events()[i], 5000) == WAIT_OBJECT_0;
            }
        }
        return false;
    };
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager, nullptr);
    SC_HANDLE service = CreateServiceA(
        manager, serviceName.c_str(), (serviceName + " Display").c_str(), SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_IGNORE, helper.c_str(),
        nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    const Cleanup cleanup{[&] {
        DeleteService(service);
        CloseServiceHandle(service);
        CloseServiceHandle(manager);
        options.Reset();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, optionsKey.c_str());
        if (oldShell.type == REG_NONE) {
            RegDeleteValueA(winlogon.Get(), "Shell");
        } else {
            RegSetValueExA(winlogon.Get(), "Shell", 0, oldShell.type,
                           reinterpret_cast<const BYTE*>(oldShell.data.data()),
                           static_cast<DWORD>(oldShell.data.size()));
        }
    }};
    const auto startType = [service] {
        union {
            QUERY_SERVICE_CONFIGA config;
            BYTE bytes[8192];
        } buffer{};
        DWORD needed = 0;
        return QueryServiceConfigA(service, &buffer.config, sizeof buffer, &needed)
                   ? buffer.config.dwStartType
                   : 0xFFFFFFFF;
    };
    const std::string shell = "explorer.exe," + helper;
    ASSERT_EQ(RegSetValueExA(winlogon.Get(), "Shell", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(shell.c_str()),
                             static_cast<DWORD>(shell.size() + 1)),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(options.Get(), kDebuggerValueName, 0, REG_EXPAND_SZ,
                             reinterpret_cast<const BYTE*>(helper.c_str()),
                             static_cast<DWORD>(helper.size() + 1)),
              ERROR_SUCCESS);
    EXPECT_TRUE(signalled(kServicesKeyPath));
    EXPECT_TRUE(signalled(kWinlogonKeyPath));
    EXPECT_TRUE(signalled(kImageOptionsKeyPath));

    const auto walk = [&] {
        CCurrentEntries current(m_program.File("autostart.dat"));
        current.Refresh(false);
        // Debugger, Shell, service: the order the test walks them in.
        std::vector<AutostartEntry> ours(3);
        for (const AutostartEntry& entry : current.GetEntries()) {
            const int at = entry.name == program                              ? 0
                           : entry.itemName == "Shell" && entry.path == shell ? 1
                           : entry.kind == AutostartKind::Service && entry.itemName == serviceName
                               ? 2
                               : -1;
            if (at >= 0) {
                ours[static_cast<size_t>(at)] = entry;
            } else {
                current.GetAccepted().SetState(entry.path, 1);
            }
        }
        std::vector<std::string> locations;
        for (const AutostartEntry& entry : ours) {
            locations.push_back(GetLocationDisplayText(entry));
        }
        ASSERT_EQ(locations, (std::vector<std::string>{
                                 "HKLM\\" + optionsKey + "\\Debugger",
                                 "HKLM\\" + std::string(kWinlogonKeyPath) + "\\Shell",
                                 "HKLM\\SYSTEM\\CurrentControlSet\\Services\\" + serviceName}));
        EXPECT_EQ(ours[2].name, serviceName + " Display");
        EXPECT_EQ(ours[2].path, helper);
        EXPECT_NE(DescribeAutostartEntry(ours[2]).find("\r\nState: Stopped"), std::string::npos);
        EXPECT_EQ(GetAutostartStateText(ours[2], current.GetAccepted()), "Not accepted; Stopped");

        RecordingGate gate;
        EXPECT_TRUE(current.CheckUnaccepted(gate));
        ASSERT_EQ(gate.openedEntries.size(), 1u);
        for (const AutostartEntry& entry : ours) {
            EXPECT_TRUE(current.AcceptPath(entry.path));
        }
        RecordingGate calm;
        EXPECT_FALSE(current.CheckUnaccepted(calm));

        // The Debugger from its warning, the others from the list.
        EXPECT_TRUE(RemoveEntryAsShown(m_page, ours[0]));
        EXPECT_TRUE(RemoveEntry(m_page, ours[1]));
        EXPECT_TRUE(RemoveEntry(m_page, ours[2]));
    };
    walk();
    EXPECT_TRUE(m_page.messages.empty());
    EXPECT_EQ(startType(), static_cast<DWORD>(SERVICE_DEMAND_START));
    EXPECT_EQ(ReadValue(kLocalMachine, kDebuggerValueName, optionsKey).type,
              static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(ReadValue(kLocalMachine, "Shell", kWinlogonKeyPath).data, WithNul("explorer.exe"));
    AutostartEntryList after;
    EnumerateAutostartEntries(after);
    for (const AutostartEntry& entry : after) {
        EXPECT_TRUE(entry.itemName != serviceName && entry.name != program &&
                    entry.itemName != "Shell")
            << "still listed: " << entry.location;
    }
    EXPECT_TRUE(m_page.removed.empty()) << "the index is not theirs";

    DisabledEntryList disabled;
    ASSERT_TRUE(ReadDisabledEntries(disabled, GetDisabledStoreIn(m_removed)));
    ASSERT_EQ(disabled.size(), 3u);
    EXPECT_EQ(GetDisabledOriginalText(disabled[1]),
              "HKLM\\" + std::string(kWinlogonKeyPath) + "\\Shell");
    for (const DisabledEntry& record : disabled) {
        RestoreDisabledEntry(m_page, record);
    }
    EXPECT_TRUE(m_page.messages.empty());
    EXPECT_EQ(startType(), static_cast<DWORD>(SERVICE_AUTO_START));
    const StoredValue debugger = ReadValue(kLocalMachine, kDebuggerValueName, optionsKey);
    EXPECT_EQ(debugger.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(debugger.data, WithNul(helper));
    EXPECT_EQ(ReadValue(kLocalMachine, "Shell", kWinlogonKeyPath).data, WithNul(shell));
    ASSERT_TRUE(ReadDisabledEntries(disabled, GetDisabledStoreIn(m_removed)));
    EXPECT_TRUE(disabled.empty());
}
