#include "app/ShellShortcut.h"
#include "autostart/AutostartLocations.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
#include "autostart/EntryTexts.h"
#include "autostart/StartupApproved.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kRun = testsupport::kRunKey;
const std::string kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kRunServicesOnce =
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";

// Puts a real registry key back as it was found: its values, and whether it
// and its parents existed.
class RegistryKeyRestorer {
  public:
    RegistryKeyRestorer(HKEY hive, const std::string& keyPath) : m_hive(hive), m_path(keyPath) {
        size_t end = 0;
        do {
            end = keyPath.find('\\', end + 1);
            const std::string part = keyPath.substr(0, end);
            HKEY probe = nullptr;
            if (RegOpenKeyExA(hive, part.c_str(), 0, InRealRegistryView(KEY_READ), &probe) ==
                ERROR_SUCCESS) {
                RegCloseKey(probe);
            } else {
                m_created.push_back(part);
            }
        } while (end != std::string::npos);
        RegCreateKeyExA(hive, keyPath.c_str(), 0, nullptr, 0, InRealRegistryView(KEY_ALL_ACCESS),
                        nullptr, &m_key, nullptr);
        m_saved = ReadAll();
    }
    ~RegistryKeyRestorer() {
        for (const Value& value : ReadAll()) {
            RegDeleteValueA(m_key, value.name.c_str());
        }
        for (const Value& value : m_saved) {
            Set(value.name, value.type, value.data);
        }
        RegCloseKey(m_key);
        for (auto created = m_created.rbegin(); created != m_created.rend(); ++created) {
            RegDeleteKeyExA(m_hive, created->c_str(), InRealRegistryView(0), 0);
        }
    }
    RegistryKeyRestorer(const RegistryKeyRestorer&) = delete;
    RegistryKeyRestorer& operator=(const RegistryKeyRestorer&) = delete;

    void Set(const std::string& name, DWORD type, const std::string& data) {
        ASSERT_EQ(RegSetValueExA(m_key, name.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS)
            << name.substr(0, 40);
    }
    // With its terminator, as programs write them.
    void SetText(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
        Set(name, type, std::string(text.c_str(), text.size() + 1));
    }
    const std::string& Path() const { return m_path; }

  private:
    struct Value {
        std::string name;
        DWORD type;
        std::string data;
    };
    std::vector<Value> ReadAll() const {
        std::vector<Value> values;
        std::vector<char> name(40000);
        std::vector<char> data(1 << 20);
        for (DWORD index = 0;; ++index) {
            DWORD nameChars = static_cast<DWORD>(name.size());
            DWORD dataBytes = static_cast<DWORD>(data.size());
            DWORD type = 0;
            const LONG result = RegEnumValueA(m_key, index, name.data(), &nameChars, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &dataBytes);
            if (result != ERROR_SUCCESS) {
                break;
            }
            values.push_back(
                {std::string(name.data(), nameChars), type, std::string(data.data(), dataBytes)});
        }
        return values;
    }

    HKEY m_hive;
    std::string m_path;
    HKEY m_key = nullptr;
    std::vector<std::string> m_created;
    std::vector<Value> m_saved;
};

std::string StartupFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

std::set<std::string> ItemNames(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            names.insert(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

// Removes whatever a test put into a real startup folder.
class StartupFolderRestorer {
  public:
    explicit StartupFolderRestorer(int csidl)
        : m_folder(StartupFolder(csidl)), m_saved(ItemNames(m_folder)) {}
    ~StartupFolderRestorer() {
        for (const std::string& name : ItemNames(m_folder)) {
            if (m_saved.count(name)) {
                continue;
            }
            const std::string path = m_folder + "\\" + name;
            if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
                TempDir::RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        }
    }
    StartupFolderRestorer(const StartupFolderRestorer&) = delete;
    StartupFolderRestorer& operator=(const StartupFolderRestorer&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string File(const std::string& name) const { return m_folder + "\\" + name; }

  private:
    std::string m_folder;
    std::set<std::string> m_saved;
};

// Moves a folder aside and back.
class FolderAway {
  public:
    explicit FolderAway(const std::string& folder)
        : m_folder(folder), m_away(folder + ".orv-away"),
          m_moved(MoveFileA(m_folder.c_str(), m_away.c_str()) != FALSE) {}
    ~FolderAway() {
        if (m_moved) {
            MoveFileA(m_away.c_str(), m_folder.c_str());
        }
    }
    FolderAway(const FolderAway&) = delete;
    FolderAway& operator=(const FolderAway&) = delete;
    bool Moved() const { return m_moved; }

  private:
    std::string m_folder, m_away;
    bool m_moved;
};

std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

AutostartEntryList Named(const AutostartEntryList& entries, const std::string& name) {
    AutostartEntryList named;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(named),
                 [&](const AutostartEntry& entry) { return entry.name == name; });
    return named;
}

const AutostartEntry* FindEntry(const AutostartEntryList& entries, const std::string& name) {
    const auto found =
        std::find_if(entries.begin(), entries.end(),
                     [&](const AutostartEntry& entry) { return entry.name == name; });
    return found == entries.end() ? nullptr : &*found;
}

AutostartEntryList ScanKey(HKEY hive, const std::string& keyPath) {
    AutostartEntryList entries;
    EnumerateRunKey(hive, keyPath, entries);
    return entries;
}

} // namespace

class AutostartScan : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(CreateDirectoryA(m_longFolder.c_str(), nullptr));
        ASSERT_TRUE(WriteFileText(m_longFile, "MZ"));
        m_shortFile = ShortPathOf(m_longFile);
        ASSERT_FALSE(m_shortFile.empty());
        ASSERT_NE(m_shortFile, m_longFile);
    }
    void TearDown() override { CoUninitialize(); }

    TempDir m_dir;
    std::string m_longFolder = m_dir.File("Long Folder Name");
    std::string m_longFile = m_longFolder + "\\Some Application.exe";
    std::string m_shortFile;
};

TEST_F(AutostartScan, RunValueDataIsLengthenedOnlyWhenItNamesAnExistingFile) {
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRun);
    key.SetText("OrvShort", m_shortFile);
    key.SetText("OrvShortWithArguments", m_shortFile + " /min");
    key.SetText("OrvWindir", "%windir%\\x.exe");
    key.SetText("OrvWindirExpandable", "%windir%\\notepad.exe", REG_EXPAND_SZ);

    const AutostartEntryList entries = ScanKey(HKEY_CURRENT_USER, kRun);
    const AutostartEntry* shortForm = FindEntry(entries, "OrvShort");
    ASSERT_NE(shortForm, nullptr);
    EXPECT_EQ(shortForm->path, m_longFile);
    EXPECT_EQ(shortForm->location, kRun);
    EXPECT_EQ(shortForm->root, 0x80000001u);

    ASSERT_NE(FindEntry(entries, "OrvShortWithArguments"), nullptr);
    EXPECT_EQ(FindEntry(entries, "OrvShortWithArguments")->path, m_shortFile + " /min");
    ASSERT_NE(FindEntry(entries, "OrvWindir"), nullptr);
    EXPECT_EQ(FindEntry(entries, "OrvWindir")->path, "%windir%\\x.exe");
    ASSERT_NE(FindEntry(entries, "OrvWindirExpandable"), nullptr);
    EXPECT_EQ(FindEntry(entries, "OrvWindirExpandable")->path, "%windir%\\notepad.exe");
}

TEST_F(AutostartScan, UnnamedDefaultValueGivesAnEntryWithAnEmptyName) {
    RegistryKeyRestorer key(HKEY_LOCAL_MACHINE, kRunOnce);
    key.SetText("", "C:\\Default\\app.exe");

    const AutostartEntryList entries = ScanKey(HKEY_LOCAL_MACHINE, kRunOnce);
    const AutostartEntry* unnamed = FindEntry(entries, "");
    ASSERT_NE(unnamed, nullptr);
    EXPECT_EQ(unnamed->path, "C:\\Default\\app.exe");
    EXPECT_EQ(unnamed->location, kRunOnce);
    EXPECT_EQ(unnamed->root, 0x80000002u);
}

TEST_F(AutostartScan, ValuesOfEveryTypeAreReadAsTextUpToTheFirstNulOrTheirLength) {
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRunServicesOnce);
    // Values are read into one buffer, so a longer value read just before
    // leaves bytes behind the shorter ones that follow.
    key.SetText("A long value read first", std::string(200, 'L'));
    key.Set("B binary", REG_BINARY, "xyz");
    key.Set("C dword with nul", REG_DWORD, std::string("ABC\0", 4));
    key.Set("D dword without nul", REG_DWORD, "WXYZ");
    key.Set("E multi", REG_MULTI_SZ, std::string("first\0second\0\0", 14));
    key.Set("F empty binary", REG_BINARY, "");
    key.Set("G unterminated text", REG_SZ, "abc");

    const AutostartEntryList entries = ScanKey(HKEY_CURRENT_USER, kRunServicesOnce);
    ASSERT_EQ(entries.size(), 7u);
    const std::pair<const char*, const char*> expected[] = {
        {"B binary", "xyz"},  {"C dword with nul", "ABC"}, {"D dword without nul", "WXYZ"},
        {"E multi", "first"}, {"F empty binary", ""},      {"G unterminated text", "abc"},
    };
    for (const auto& [name, text] : expected) {
        SCOPED_TRACE(name);
        const AutostartEntry* entry = FindEntry(entries, name);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->path, text);
    }
}

TEST_F(AutostartScan, AKeyGivesEntriesForItsFirst1000ValuesOnly) {
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRunServicesOnce);
    for (int i = 0; i < 1200; ++i) {
        char name[16];
        wsprintfA(name, "v%04d", i);
        key.SetText(name, std::string("C:\\Apps\\") + name + ".exe");
    }

    const AutostartEntryList entries = ScanKey(HKEY_CURRENT_USER, kRunServicesOnce);
    ASSERT_EQ(entries.size(), 1000u);
    std::set<std::string> names;
    for (const AutostartEntry& entry : entries) {
        names.insert(entry.name);
        EXPECT_EQ(entry.path, "C:\\Apps\\" + entry.name + ".exe");
    }
    EXPECT_EQ(names.size(), 1000u);
    EXPECT_EQ(*names.begin(), "v0000");
    EXPECT_EQ(*names.rbegin(), "v0999");
}

TEST_F(AutostartScan, ANameOrDataLargerThanTheFirstBuffersIsReadInFull) {
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRunServicesOnce);
    const std::string longName(16383, 'n');
    const std::string longData = "C:\\" + std::string(20000, 'd') + ".exe";
    key.SetText("a small one before", "C:\\before.exe");
    key.SetText("m large data", longData);
    key.SetText(longName, "C:\\long-name.exe");
    key.SetText("z small one after", "C:\\after.exe");

    const AutostartEntryList entries = ScanKey(HKEY_CURRENT_USER, kRunServicesOnce);
    ASSERT_EQ(entries.size(), 4u);
    ASSERT_NE(FindEntry(entries, "m large data"), nullptr);
    EXPECT_EQ(FindEntry(entries, "m large data")->path, longData);
    ASSERT_NE(FindEntry(entries, longName), nullptr);
    EXPECT_EQ(FindEntry(entries, longName)->path, "C:\\long-name.exe");
    ASSERT_NE(FindEntry(entries, "z small one after"), nullptr);
    EXPECT_EQ(FindEntry(entries, "z small one after")->path, "C:\\after.exe");
}

TEST_F(AutostartScan, AKeyThatCannotBeOpenedContributesNothing) {
    AutostartEntryList entries(1);
    EnumerateRunKey(HKEY_CURRENT_USER, "Software\\Orvane test key that does not exist", entries);
    EXPECT_EQ(entries.size(), 1u);
}

TEST_F(AutostartScan, StartupFolderItemsBecomeEntriesWithNothingFilteredOut) {
    StartupFolderRestorer startup(kCsidlStartup);
    CreateShortcut(startup.File("OrvFoo.LNK"), m_shortFile, "", "");
    ASSERT_TRUE(WriteFileText(startup.File("OrvNotes.txt"), "notes"));
    ASSERT_TRUE(CreateDirectoryA(startup.File("OrvTools").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(startup.File("OrvTools\\Inside.exe"), "MZ"));
    ASSERT_TRUE(WriteFileText(startup.File("OrvHidden.ini"), "[.ShellClassInfo]"));
    ASSERT_TRUE(SetFileAttributesA(startup.File("OrvHidden.ini").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(WriteFileText(startup.File("OrvBroken.lnk"), "not a shell link"));

    AutostartEntryList entries;
    EnumerateStartupFolder(startup.Folder(), entries);
    for (const AutostartEntry& entry : entries) {
        EXPECT_EQ(entry.root, 0u) << entry.location;
    }

    const AutostartEntry* shortcut = FindEntry(entries, "OrvFoo");
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->location, startup.Folder() + "\\OrvFoo.LNK");
    EXPECT_EQ(shortcut->path, m_longFile);

    const AutostartEntry* notes = FindEntry(entries, "OrvNotes");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->location, startup.File("OrvNotes.txt"));
    EXPECT_EQ(notes->path, notes->location);

    const AutostartEntry* tools = FindEntry(entries, "OrvTools");
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->location, startup.File("OrvTools"));
    EXPECT_EQ(tools->path, tools->location);
    EXPECT_EQ(FindEntry(entries, "Inside"), nullptr);

    const AutostartEntry* hidden = FindEntry(entries, "OrvHidden");
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->path, startup.File("OrvHidden.ini"));

    const AutostartEntry* broken = FindEntry(entries, "OrvBroken");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->location, startup.File("OrvBroken.lnk"));
    EXPECT_EQ(broken->path, "");
}

TEST_F(AutostartScan, ListFolderCountsItsOwnLevelAndEntersSubfoldersOnlyToTheDepthAsked) {
    ASSERT_TRUE(WriteFileText(m_dir.File("top.txt"), "12345"));
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(m_dir.File("sub\\inner.txt"), "1"));
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(m_dir.File("sub\\deeper\\deepest.txt"), "1"));

    // The fixture's "Long Folder Name" is the third item at the top.
    FolderItemList items;
    EXPECT_EQ(ListFolder(m_dir.Path(), items, 0, 0), 3);
    EXPECT_EQ(items.size(), 3u);
    const auto top = std::find_if(items.begin(), items.end(), [&](const auto& item) {
        return item.path == m_dir.File("top.txt");
    });
    ASSERT_NE(top, items.end());
    EXPECT_EQ(top->size, 5u);
    EXPECT_EQ(top->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    const auto sub = std::find_if(items.begin(), items.end(),
                                  [&](const auto& item) { return item.path == m_dir.File("sub"); });
    ASSERT_NE(sub, items.end());
    EXPECT_EQ(sub->size, 0u);
    EXPECT_NE(sub->attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);

    items.clear();
    EXPECT_EQ(ListFolder(m_dir.Path(), items, 1, 0), 3);
    // sub's file and folder, and the fixture's file; deeper is not entered.
    EXPECT_EQ(items.size(), 6u);

    items.clear();
    EXPECT_EQ(ListFolder(m_dir.Path(), items, -1, 0), 3);
    EXPECT_EQ(items.size(), 7u);

    items.clear();
    EXPECT_EQ(ListFolder(m_dir.File("missing"), items, -1, 0), -1);
    EXPECT_TRUE(items.empty());
}

TEST_F(AutostartScan, FullScanVisitsEveryLocationInTableOrder) {
    StartupFolderRestorer user(kCsidlStartup);
    StartupFolderRestorer common(kCsidlCommonStartup);
    ASSERT_TRUE(WriteFileText(user.File("OrvProbe.exe"), "MZ"));
    ASSERT_TRUE(WriteFileText(common.File("OrvProbe.exe"), "MZ"));
    std::vector<std::unique_ptr<RegistryKeyRestorer>> keys;
    // Some keys of the 32-bit programs' view are the system's own key, shared
    // by both views: the probe is already there, and is listed once.
    const auto alreadyProbed = [](const AutostartLocation& location) {
        win::UniqueRegKey key;
        return RegOpenKeyExA(HiveOfRoot(location.root), location.keyPath.c_str(), 0,
                             InRealRegistryView(KEY_READ), key.Put()) == ERROR_SUCCESS &&
               RegQueryValueExA(key.Get(), "OrvProbe", nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    };
    std::vector<AutostartLocation> probed;
    for (const AutostartLocation& location : GetAutostartLocations()) {
        if (location.root == 0) {
            probed.push_back(location);
        } else if (!alreadyProbed(location)) {
            keys.push_back(
                std::make_unique<RegistryKeyRestorer>(HiveOfRoot(location.root), location.keyPath));
            keys.back()->SetText("OrvProbe", "C:\\probe.exe");
            probed.push_back(location);
        }
    }

    // The system's startup settings switch off the probe of each place they
    // cover, the user's Run value excepted, which is switched on.
    const std::string off("\x03\0\0\0\x17\x79\xbd\x01\x17\xd9\xd1\x01", 12);
    std::vector<std::unique_ptr<RegistryKeyRestorer>> switches;
    for (const AutostartLocation& location : GetStartupApprovedLocations()) {
        switches.push_back(
            std::make_unique<RegistryKeyRestorer>(HiveOfRoot(location.root), location.keyPath));
        const bool folder = location.keyPath.find("StartupFolder") != std::string::npos;
        const bool userRun = !folder && location.root == kRootCurrentUser;
        switches.back()->Set(folder ? "OrvProbe.exe" : "OrvProbe", REG_BINARY,
                             userRun ? std::string("\x06\0\0\0\0\0\0\0\0\0\0\0", 12) : off);
    }

    AutostartEntryList entries;
    EnumerateAutostartEntries(entries);
    const AutostartEntryList probes = Named(entries, "OrvProbe");
    ASSERT_EQ(GetAutostartLocations().size(), IsSystem64Bit() ? 20u : 14u);
    std::vector<std::string> switchedOff;
    for (const AutostartEntry& probe : probes) {
        if (probe.switchedOff) {
            switchedOff.push_back(GetLocationDisplayText(probe));
        }
        EXPECT_EQ(GetAutostartStateText(probe, CAcceptedList()),
                  std::string("Not accepted") +
                      (probe.switchedOff
                           ? "; Disabled in the startup settings of Windows, so it does not start"
                           : ""));
    }
    std::vector<std::string> expectedOff = {user.File("OrvProbe.exe"), common.File("OrvProbe.exe"),
                                            "HKLM\\" + kRun};
    if (IsSystem64Bit()) {
        expectedOff.push_back("HKLM\\" + ThirtyTwoBitViewKeyPath(kRun));
    }
    EXPECT_EQ(switchedOff, expectedOff) << "Run and Run32 only, and the folders by file name";
    const size_t count = probed.size();
    ASSERT_EQ(probes.size(), count);
    EXPECT_EQ(probes[0].location, user.File("OrvProbe.exe"));
    EXPECT_EQ(probes[0].root, 0u);
    EXPECT_EQ(probes[1].location, common.File("OrvProbe.exe"));
    EXPECT_EQ(probes[1].root, 0u);
    EXPECT_EQ(probes[1].path, common.File("OrvProbe.exe"));
    for (size_t i = 2; i < count; ++i) {
        EXPECT_EQ(probes[i].location, probed[i].keyPath);
        EXPECT_EQ(probes[i].root, probed[i].root);
        EXPECT_EQ(probes[i].path, "C:\\probe.exe");
    }
    // The same value under the same key in both hives: two entries apart only
    // in root, told apart on the screen by their prefixes.
    const size_t userKeys = count - 6;
    EXPECT_EQ(probes[2].location, probes[userKeys].location);
    EXPECT_EQ(GetLocationDisplayText(probes[2]), "HKLM\\" + kRun);
    EXPECT_EQ(GetLocationDisplayText(probes[userKeys]), "HKCU\\" + kRun);
    if (IsSystem64Bit()) {
        // The 32-bit programs' machine keys, named as they really are: what a
        // 32-bit program writes to its Run key is found there.
        EXPECT_EQ(GetLocationDisplayText(probes[8]),
                  "HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
        win::UniqueRegKey thirtyTwoBitView;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun.c_str(), 0, KEY_READ | KEY_WOW64_32KEY,
                                thirtyTwoBitView.Put()),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegQueryValueExA(thirtyTwoBitView.Get(), "OrvProbe", nullptr, nullptr, nullptr,
                                   nullptr),
                  ERROR_SUCCESS);
    }
}

TEST_F(AutostartScan, AMissingStartupFolderLeavesTheOtherLocationsScanned) {
    StartupFolderRestorer user(kCsidlStartup);
    ASSERT_TRUE(WriteFileText(user.File("OrvProbe.exe"), "MZ"));
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRun);
    key.SetText("OrvProbe", "C:\\probe.exe");
    const std::string common = StartupFolder(kCsidlCommonStartup);
    ASSERT_FALSE(common.empty());

    AutostartEntryList entries;
    {
        FolderAway away(common);
        ASSERT_TRUE(away.Moved());
        EXPECT_EQ(GetSpecialFolderPath(kCsidlCommonStartup), "");
        EnumerateAutostartEntries(entries);
    }
    EXPECT_EQ(GetSpecialFolderPath(kCsidlCommonStartup), common);
    const AutostartEntryList probes = Named(entries, "OrvProbe");
    ASSERT_EQ(probes.size(), 2u);
    EXPECT_EQ(probes[0].location, user.File("OrvProbe.exe"));
    EXPECT_EQ(probes[1].location, kRun);
    EXPECT_EQ(probes[1].root, 0x80000001u);
    for (const AutostartEntry& entry : entries) {
        EXPECT_NE(entry.location.rfind(common, 0), 0u) << entry.location;
    }
}

// Handles are numbered from the lowest free slot, so a key left open by a scan
// takes the slot a fresh handle would get afterwards.
TEST_F(AutostartScan, RepeatedScansLeaveNoRegistryKeyOpen) {
    StartupFolderRestorer user(kCsidlStartup);
    CreateShortcut(user.File("OrvProbe.lnk"), m_longFile, "", "");
    RegistryKeyRestorer key(HKEY_CURRENT_USER, kRun);
    key.SetText("OrvProbe", m_shortFile);
    AutostartEntryList warmUp;
    EnumerateAutostartEntries(warmUp);

    const HANDLE before = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(before, nullptr);
    CloseHandle(before);
    for (int i = 0; i < 3; ++i) {
        AutostartEntryList entries;
        EnumerateAutostartEntries(entries);
        ASSERT_EQ(Named(entries, "OrvProbe").size(), 2u);
    }
    const HANDLE after = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(after, before);
    CloseHandle(after);
}
