// The Autostart page as its user meets it: new entries turning up in red,
// accepting, removing and restoring registry values and startup files, and
// entries of odd shapes that must neither break the page nor be changed by it.
#include "app/AcceptedList.h"
#include "app/Elevation.h"
#include "app/ShellShortcut.h"
#include "res/resource.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/SheetSteps.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/helpers/AcceptEverything.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace e2e;

namespace {

// A key made read-only for everyone; its access list comes back however the
// test ends.
class ReadOnlyKey {
  public:
    ReadOnlyKey(HKEY hive, const char* path) {
        DWORD size = 0;
        if (::RegOpenKeyExA(hive, path, 0, READ_CONTROL | WRITE_DAC, m_key.Put()) !=
                ERROR_SUCCESS ||
            ::RegGetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, nullptr, &size) !=
                ERROR_INSUFFICIENT_BUFFER) {
            return;
        }
        m_saved.resize(size);
        m_locked = ::RegGetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, m_saved.data(),
                                       &size) == ERROR_SUCCESS &&
                   testsupport::AccessList("D:P(A;;KR;;;WD)").SetOn(m_key.Get());
    }
    ~ReadOnlyKey() {
        if (m_locked) {
            ::RegSetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, m_saved.data());
        }
    }
    bool IsLocked() const { return m_locked; }

  private:
    win::UniqueRegKey m_key;
    std::vector<char> m_saved;
    bool m_locked = false;
};

constexpr int kBarNew = 1027;

class AutostartPageTest : public testing::Test {
  protected:
    void SetUp() override {
        // The shortcuts the tests make go through the shell's link object.
        ::CoInitialize(nullptr);
        CleanUp();
    }
    void TearDown() override {
        m_program.reset();
        CleanUp();
        ::CoUninitialize();
    }

    void CleanUp() {
        m_values.DeleteAll();
        for (const std::string& name : m_commonStartupItems) {
            ::DeleteFileA((StartupFolder(CSIDL_COMMON_STARTUP) + "\\" + name).c_str());
        }
        for (const std::string& name : m_startupItems) {
            const std::string path = StartupFolder() + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
            ::RemoveDirectoryA(path.c_str());
        }
    }

    void AddValue(const std::string& name, const std::string& text) {
        ASSERT_TRUE(m_values.Set(name, text));
    }

    std::string StartupItem(const std::string& name) {
        m_startupItems.push_back(name);
        return StartupFolder() + "\\" + name;
    }

    // Accepts the paths and everything registered already, so that only what
    // the test adds later is unaccepted.
    void Accept(const std::vector<std::string>& paths) {
        ASSERT_GE(testsupport::AcceptPresentEntries(folder.File("autostart.dat"), paths), 0);
    }

    // Starts a later run, shows the sheet from the tray and opens the page.
    void OpenPage() {
        m_program = StartLaterRun(folder);
        m_sheet = ShowSheetOfLaterRun(m_program->Id());
        ASSERT_NE(m_sheet, nullptr) << "a tray click shows the sheet";
        m_page = e2e::OpenPage(m_sheet, 0);
        ASSERT_NE(m_page, nullptr);
        m_lists = std::make_unique<AutostartLists>(m_page);
        m_current = &m_lists->current;
        m_removed = &m_lists->removed;
        ASSERT_TRUE(m_current->IsReady());
    }

    bool WaitForEntry(const std::string& name, std::chrono::milliseconds timeout) {
        return m_lists->WaitForEntry(name, timeout);
    }

    // Restored: back in the current list, and the removed list empty again.
    bool WaitForRestored(const std::string& name) {
        return WaitUntil([&] { return m_removed->Count() == 0 && m_current->Find(name) >= 0; }, 3s);
    }

    int RedPixelsOf(const std::string& name, COLORREF colour = kUnacceptedRed) {
        return m_lists->RedPixelsOf(name, colour);
    }

    void ConfirmRemoval() { e2e::ConfirmRemoval(m_program->Id()); }
    std::string TakeMessage() { return e2e::TakeMessage(m_program->Id()); }

    void Exit() {
        ::PostMessageA(::GetDlgItem(m_sheet, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_TRUE(m_program->WaitForExit(20s));
    }

    ProgramFolder folder;
    std::unique_ptr<RunningProgram> m_program;
    HWND m_sheet = nullptr;
    HWND m_page = nullptr;
    std::unique_ptr<AutostartLists> m_lists;
    RemoteListView* m_current = nullptr;
    RemoteListView* m_removed = nullptr;
    RunValues m_values;
    std::vector<std::string> m_startupItems;
    std::vector<std::string> m_commonStartupItems;
};

TEST_F(AutostartPageTest, NewValueTurnsUpRedIsAcceptedRemovedAndRestored) {
    const std::string alpha = SystemFile("winver.exe");
    const std::string beta = SystemFile("clock.exe");
    const std::string fresh = SystemFile("control.exe");
    const std::string later = SystemFile("write.exe");
    const std::string shortcutTarget = SystemFile("notepad.exe");
    AddValue("Orvane Test Alpha", alpha);
    AddValue("Orvane Test Beta", beta);
    const std::string shortcut = StartupItem("Orvane Test Shortcut.lnk");
    CreateShortcut(shortcut, shortcutTarget, "", "");
    ASSERT_TRUE(Exists(shortcut));
    Accept({alpha, beta, later, shortcutTarget});
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_TRUE(WaitForEntry("Orvane Test Shortcut", 5s));
    ASSERT_GE(m_current->Find("Orvane Test Alpha"), 0);
    const std::string startLog = LogText(m_program->Id());
    EXPECT_NE(
        startLog.find("GetFolderOfRemovedItems():" + folder.File("removed") +
                      "\r\nGetFileOfRemovedInfoDataBase():" + folder.File("removed\\_index_.dat") +
                      "\r\nremoved items. dir exists?: 1\r\n"),
        std::string::npos)
        << startLog;

    // Accept from the menu of the space below the rows: nothing is selected.
    const std::string acceptedBefore = ReadFileText(folder.File("autostart.dat"));
    // The machine's own services share the list and may fill it: the filter
    // keeps this test's rows, with room below them.
    HWND filter = ::GetDlgItem(m_page, IDC_AUTOSTART_FILTER);
    ClickCenterOf(filter);
    for (char key : std::string("ORVANE TEST")) {
        TapKey(static_cast<WORD>(key));
    }
    ASSERT_TRUE(WaitUntil(
        [&] {
            bool ours = m_current->Count() > 0;
            for (int i = 0; i < m_current->Count(); ++i) {
                ours = ours && m_current->Text(i, 0).rfind("Orvane Test ", 0) == 0;
            }
            return ours;
        },
        3s));
    const RECT last = m_current->ItemRect(m_current->Count() - 1);
    ClickAt(POINT{last.left + 40, last.bottom + 20}, true);
    ChooseMenuItem(1);
    ::SendMessageA(filter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(TakeMessage(), "Nothing selected");
    EXPECT_EQ(ReadFileText(folder.File("autostart.dat")), acceptedBefore);

    // A program registers itself: the change is seen at once, in red.
    m_values.Own("Orvane Test New");
    ASSERT_TRUE(SetUserRunString("Orvane Test New", fresh));
    ASSERT_TRUE(WaitForEntry("Orvane Test New", 3s))
        << "the key's watch finds it, not the 30 s rescan";
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOf("Orvane Test New") >= 20; }, 3s))
        << "an unaccepted entry is drawn in red";
    for (int item = 0; item < m_current->Count(); ++item) {
        if (m_current->Text(item, 0) != "Orvane Test New") {
            EXPECT_EQ(RowPixelsOf(*m_current, item, kUnacceptedRed), 0)
                << "accepted entries are not: " << m_current->Text(item, 0);
        }
    }
    SaveScreenshot("pages\\autostart", m_sheet);

    // Typed into the filter field, the list narrows to the row at once; cleared, all come back.
    const int listed = m_current->Count();
    ClickCenterOf(::GetDlgItem(m_page, IDC_AUTOSTART_FILTER));
    for (char key : std::string("TEST NEW")) { // a letter's key types it small, ' ' is VK_SPACE
        TapKey(static_cast<WORD>(key));
    }
    EXPECT_TRUE(WaitUntil(
        [&] { return m_current->Count() == 1 && m_current->Text(0, 0) == "Orvane Test New"; }, 3s));
    SaveScreenshot("pages\\autostart-filter", m_sheet);
    TapKey(VK_BACK, 8);
    EXPECT_TRUE(WaitUntil([&] { return m_current->Count() == listed; }, 3s));

    // So is a shortcut dropped into the startup folder, and a value in a key
    // made after the program started.
    CreateShortcut(StartupItem("Orvane Test Dropped.lnk"), later, "", "");
    EXPECT_TRUE(WaitForEntry("Orvane Test Dropped", 3s)) << "the folder is watched";
    const char* policyRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
    win::UniqueRegKey made;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, policyRun, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                made.Put(), nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(made.Get(), "Orvane Test Policy", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(later.c_str()),
                     static_cast<DWORD>(later.size() + 1));
    EXPECT_TRUE(WaitForEntry("Orvane Test Policy", 3s)) << "watched from a parent while missing";
    made.Reset();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, policyRun);

    // F5 in the list rescans at once.
    AddValue("Orvane Test Later", later);
    ClickItem(*m_current, m_current->Find("Orvane Test Alpha"));
    PressKeys({VK_F5});
    EXPECT_TRUE(WaitForEntry("Orvane Test Later", 2s)) << "F5 shows it without the timer";

    // Alt+Enter asks for the shell's properties, which Wine does not show.
    ClickItem(*m_current, m_current->Find("Orvane Test Alpha"));
    HWND info = ::GetDlgItem(m_page, 1016);
    EXPECT_EQ(WindowText(info).rfind("Title: Orvane Test Alpha\r\nFile name: winver.exe\r\n", 0),
              0u)
        << "a click describes the entry: " << WindowText(info);
    EXPECT_NE(WindowText(info).find("\r\nSignature: Not signed\r\n"), std::string::npos)
        << "Wine's own programs carry no signature";
    EXPECT_TRUE(WaitUntil(
        [&] { return m_current->Text(m_current->Find("Orvane Test Alpha"), 3) == "Not signed"; },
        3s))
        << "the Signature column, verified while the page is seen";
    HWND list = ::GetDlgItem(m_page, kCurrentList);
    ::SendMessageA(list, LVM_SCROLL, 1000, 0);
    SaveScreenshot("pages\\autostart-signature", m_sheet);
    ::SendMessageA(list, LVM_SCROLL, static_cast<WPARAM>(-1000), 0);
    PressKeys({VK_MENU, VK_RETURN});
    EXPECT_TRUE(WaitUntil(
        [&] { return LogText(m_program->Id()).find("Invoke action:6\r\n") != std::string::npos; },
        3s))
        << LogText(m_program->Id());

    // Switched off in the system's startup settings: grey, not red, and said so.
    win::UniqueRegKey switches;
    ASSERT_EQ(::RegCreateKeyExA(
                  HKEY_CURRENT_USER,
                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run", 0,
                  nullptr, 0, KEY_SET_VALUE, nullptr, switches.Put(), nullptr),
              ERROR_SUCCESS);
    const BYTE off[12] = {3, 0, 0, 0, 0x17, 0x79, 0xbd, 0x01, 0x17, 0xd9, 0xd1, 0x01};
    ASSERT_EQ(::RegSetValueExA(switches.Get(), "Orvane Test New", 0, REG_BINARY, off, sizeof(off)),
              ERROR_SUCCESS);
    EXPECT_TRUE(WaitUntil(
        [&] { return RedPixelsOf("Orvane Test New", ::GetSysColor(COLOR_GRAYTEXT)) >= 20; }, 3s))
        << "the switches are watched too";
    EXPECT_EQ(RedPixelsOf("Orvane Test New"), 0);
    SaveScreenshot("pages\\autostart-switched-off", m_sheet);
    ClickItem(*m_current, m_current->Find("Orvane Test New"));
    EXPECT_TRUE(testsupport::Contains(WindowText(info), "\r\nState: Disabled")) << WindowText(info);
    ::RegDeleteValueA(switches.Get(), "Orvane Test New");

    // Accept through the context menu: the row loses its red, the file keeps it.
    ClickItem(*m_current, m_current->Find("Orvane Test New"));
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOf("Orvane Test New", kUnacceptedPink) > 0; }, 3s))
        << "selected and unaccepted: light pink";
    ClickItem(*m_current, m_current->Find("Orvane Test New"), true);
    ChooseMenuItem(1);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return RedPixelsOf("Orvane Test New", kUnacceptedPink) == 0 &&
                   RedPixelsOf("Orvane Test New") == 0;
        },
        3s))
        << "accepted rows are drawn normally";
    CAcceptedList written(folder.File("autostart.dat"));
    written.Reload();
    EXPECT_EQ(written.GetState(fresh), 1) << "autostart.dat holds the acceptance at once";
    EXPECT_EQ(written.GetState(alpha), 1) << "and what it held before";

    // Three selected, one question, only the first removed.
    ClickItem(*m_current, m_current->Find("Orvane Test Alpha"));
    ModifierClickItem(*m_current, m_current->Find("Orvane Test Beta"));
    ModifierClickItem(*m_current, m_current->Find("Orvane Test New"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(FindMessageBox(m_program->Id(), ""), nullptr) << "asked once";
    EXPECT_EQ(ReadUserRunValue("Orvane Test Alpha").first, static_cast<DWORD>(REG_NONE));
    EXPECT_NE(ReadUserRunValue("Orvane Test Beta").first, static_cast<DWORD>(REG_NONE));
    EXPECT_NE(ReadUserRunValue("Orvane Test New").first, static_cast<DWORD>(REG_NONE));
    EXPECT_EQ(m_current->Find("Orvane Test Alpha"), -1);
    ASSERT_EQ(m_removed->Count(), 1);
    EXPECT_EQ(m_removed->Text(0, 0), "Orvane Test Alpha");
    EXPECT_EQ(m_removed->Text(0, 1), std::string("HKCU\\") + kRunKey);
    EXPECT_EQ(m_removed->Text(0, 2), "My database");

    // Restore from the removed list's menu.
    ClickItem(*m_removed, 0);
    EXPECT_EQ(WindowText(info), "") << "no description while the removed list has the focus";
    ClickItem(*m_removed, 0, true);
    ChooseMenuItem(1);
    EXPECT_TRUE(WaitForRestored("Orvane Test Alpha"));
    EXPECT_EQ(ReadUserRunValue("Orvane Test Alpha"),
              std::make_pair(static_cast<DWORD>(REG_SZ), alpha + '\0'));
    EXPECT_GE(m_current->Find("Orvane Test Alpha"), 0);

    // A startup shortcut goes into the removed folder and comes back.
    ClickItem(*m_current, m_current->Find("Orvane Test Shortcut"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    const std::string moved = folder.File("removed\\Orvane Test Shortcut.lnk");
    EXPECT_TRUE(WaitUntil([&] { return m_removed->Count() == 1; }, 3s));
    EXPECT_FALSE(Exists(shortcut));
    EXPECT_TRUE(Exists(moved));
    EXPECT_EQ(m_current->Find("Orvane Test Shortcut"), -1);
    EXPECT_EQ(m_removed->Text(0, 1), shortcut);
    EXPECT_EQ(m_removed->Text(0, 2), moved);
    ClickItem(*m_removed, 0);
    ClickItem(*m_removed, 0, true);
    ChooseMenuItem(1);
    EXPECT_TRUE(WaitForRestored("Orvane Test Shortcut"));
    EXPECT_TRUE(Exists(shortcut));
    EXPECT_FALSE(Exists(moved));
    EXPECT_TRUE(WaitForEntry("Orvane Test Shortcut", 3s));

    Exit();
    written.Reload();
    EXPECT_EQ(written.GetState(fresh), 1) << "still accepted after the exit's save";
}

TEST_F(AutostartPageTest, NewEntriesOfBothKindsAreMadeFromThePage) {
    const std::string program = SystemFile("winver.exe");
    const std::string target = SystemFile("clock.exe");
    m_values.Own("Orvane Test Made");
    m_commonStartupItems.push_back("Orvane Test Made Link.lnk");
    const std::string link = StartupFolder(CSIDL_COMMON_STARTUP) + "\\Orvane Test Made Link.lnk";
    Accept({});
    ASSERT_NO_FATAL_FAILURE(OpenPage());

    // Insert in the list: the dialog, All Users ticked; OK without a title
    // says so and keeps the dialog.
    ClickItem(*m_current, 0);
    PressKeys({VK_INSERT});
    HWND dialog = WaitForNewEntryDialog(m_program->Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kNewAllUsers), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kNewRegistry), static_cast<UINT>(BST_UNCHECKED));
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeMessage(), "You have to enter a valid title, this can be anything");
    ASSERT_TRUE(::IsWindow(dialog));

    // A value in the user's own Run key: written, listed at once, unaccepted.
    FillNewEntry(dialog, "Orvane Test Made", program, false, true);
    ClickCenterOf(::GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(ReadUserRunValue("Orvane Test Made"),
              std::make_pair(static_cast<DWORD>(REG_SZ), program + '\0'));
    EXPECT_TRUE(WaitForEntry("Orvane Test Made", 3s)) << "listed without waiting for the timer";
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOf("Orvane Test Made") >= 20; }, 3s));

    // The action bar's New: a shortcut in the startup folder of all users.
    ClickCenterOf(FindDescendant(m_page, kBarNew));
    dialog = WaitForNewEntryDialog(m_program->Id());
    ASSERT_NE(dialog, nullptr);
    FillNewEntry(dialog, "Orvane Test Made Link", target, true, false);
    ClickCenterOf(::GetDlgItem(dialog, IDOK));
    SaveScreenshot("autostart-new-entry");
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    ASSERT_TRUE(Exists(link));
    EXPECT_EQ(GetShortcutTarget(link, SLR_NO_UI), target);
    EXPECT_TRUE(WaitForEntry("Orvane Test Made Link", 3s));

    // The same title again: refused, the shortcut left as it was.
    const std::string linkBytes = ReadFileText(link);
    ClickItem(*m_current, 0);
    PressKeys({VK_CONTROL, 'N'});
    dialog = WaitForNewEntryDialog(m_program->Id());
    ASSERT_NE(dialog, nullptr);
    FillNewEntry(dialog, "Orvane Test Made Link", program, true, false);
    ClickCenterOf(::GetDlgItem(dialog, IDOK));
    EXPECT_EQ(TakeMessage(), "A file with this title already exists, please enter a different one");
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(ReadFileText(link), linkBytes);
    Exit();
}

TEST_F(AutostartPageTest, ReadOnlyFilesAreToldAndLeftAsTheyWere) {
    const std::string kept = SystemFile("winver.exe");
    AddValue("Orvane Test Kept", kept);
    AddValue("Orvane Test Fresh", SystemFile("clock.exe"));
    Accept({kept});
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_TRUE(WaitForEntry("Orvane Test Fresh", 5s));
    // A removal and its restore leave an index of removed entries behind.
    ClickItem(*m_current, m_current->Find("Orvane Test Kept"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    ASSERT_TRUE(WaitUntil([&] { return m_removed->Count() == 1; }, 3s));
    ClickItem(*m_removed, 0);
    ClickItem(*m_removed, 0, true);
    ChooseMenuItem(1);
    ASSERT_TRUE(WaitForRestored("Orvane Test Kept"));

    ReadOnlyFilesAreToldAndLeftAsTheyWere(*m_program, m_sheet, *m_lists, folder, "Orvane Test Kept",
                                          kept, "Orvane Test Fresh");
}

TEST_F(AutostartPageTest, OddEntriesAreShownAndFailuresChangeNothing) {
    const std::string longText = "C:\\" + std::string(1996, 'L') + ".exe";
    AddValue("Orvane Test Long", longText);
    m_values.Own("Orvane Test Dword");
    ASSERT_TRUE(SetUserRunValue("Orvane Test Dword", REG_DWORD, std::string("\x2A\0\0\0", 4)));
    m_values.Own("Orvane Test Binary");
    ASSERT_TRUE(SetUserRunValue("Orvane Test Binary", REG_BINARY, std::string("\x01\xFF&x", 4)));
    CreateShortcut(StartupItem("Orvane Test Broken.lnk"), "C:\\no such folder\\gone.exe", "", "");
    ASSERT_TRUE(WriteFileText(StartupItem("Orvane Test Garbage.lnk"), "not a shortcut"));
    ASSERT_TRUE(WriteFileText(StartupItem("Orvane Test Plain"), "no extension"));
    ASSERT_TRUE(::CreateDirectoryA(StartupItem("Orvane Test Folder").c_str(), nullptr));
    const std::string plain = StartupFolder() + "\\Orvane Test Plain";
    const auto longBefore = ReadUserRunValue("Orvane Test Long");
    const auto dwordBefore = ReadUserRunValue("Orvane Test Dword");

    ASSERT_NO_FATAL_FAILURE(OpenPage());
    for (const char* name :
         {"Orvane Test Long", "Orvane Test Dword", "Orvane Test Binary", "Orvane Test Broken",
          "Orvane Test Garbage", "Orvane Test Plain", "Orvane Test Folder"}) {
        EXPECT_TRUE(WaitForEntry(name, 5s)) << name;
    }
    EXPECT_EQ(m_current->Text(m_current->Find("Orvane Test Long"), 1), longText);
    std::this_thread::sleep_for(1s);
    SaveScreenshot("autostart-odd-entries");
    const std::string acceptedBefore = ReadFileText(folder.File("autostart.dat"));

    // Delete and F3 with the focus in the list and nothing selected.
    // (A rescan with F5 drops the selection.)
    ClickItem(*m_current, m_current->Find("Orvane Test Plain"));
    PressKeys({VK_F5});
    PressKeys({VK_DELETE});
    EXPECT_EQ(TakeMessage(), "Nothing selected");
    PressKeys({VK_F3});
    EXPECT_EQ(TakeMessage(), "Nothing selected");
    EXPECT_EQ(ReadFileText(folder.File("autostart.dat")), acceptedBefore);

    // With the removed folder gone, removals fail, are shown, and undo themselves.
    ASSERT_TRUE(::RemoveDirectoryA(folder.File("removed").c_str()));
    ClickItem(*m_current, m_current->Find("Orvane Test Long"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    EXPECT_EQ(TakeMessage(), "Operation failed");
    EXPECT_EQ(ReadUserRunValue("Orvane Test Long"), longBefore);
    ClickItem(*m_current, m_current->Find("Orvane Test Dword"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    EXPECT_EQ(TakeMessage(), "Operation failed");
    EXPECT_EQ(ReadUserRunValue("Orvane Test Dword"), dwordBefore) << "type and bytes kept";
    ClickItem(*m_current, m_current->Find("Orvane Test Plain"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    EXPECT_EQ(TakeMessage(), "Operation failed");
    EXPECT_EQ(ReadFileText(plain), "no extension");
    EXPECT_FALSE(Exists(folder.File("removed")));
    EXPECT_EQ(m_removed->Count(), 0);

    // A read-only removed folder still takes a removed file, which comes back.
    ASSERT_TRUE(::CreateDirectoryA(folder.File("removed").c_str(), nullptr));
    ::SetFileAttributesA(folder.File("removed").c_str(), FILE_ATTRIBUTE_READONLY);
    ClickItem(*m_current, m_current->Find("Orvane Test Plain"));
    PressKeys({VK_DELETE});
    ConfirmRemoval();
    EXPECT_TRUE(WaitUntil([&] { return m_removed->Count() == 1; }, 3s));
    EXPECT_EQ(ReadFileText(folder.File("removed\\Orvane Test Plain")), "no extension");
    ClickItem(*m_removed, 0);
    ClickItem(*m_removed, 0, true);
    ChooseMenuItem(1);
    EXPECT_TRUE(WaitForRestored("Orvane Test Plain"));
    EXPECT_EQ(ReadFileText(plain), "no extension");
    ::SetFileAttributesA(folder.File("removed").c_str(), FILE_ATTRIBUTE_NORMAL);

    // The user's Run key made read-only, as the machine's is to a standard
    // user: the removal is refused, said so with the offer to start as
    // administrator (unless this user is one already), and nothing changes.
    {
        const ReadOnlyKey locked(HKEY_CURRENT_USER, testsupport::kRunKey);
        ASSERT_TRUE(locked.IsLocked());
        ClickItem(*m_current, m_current->Find("Orvane Test Long"));
        PressKeys({VK_DELETE});
        ConfirmRemoval();
        HWND box = WaitForMessageBox(m_program->Id(), "Orvane", 5s);
        ASSERT_NE(box, nullptr);
        const std::string text = MessageBoxText(box);
        EXPECT_EQ(text.rfind(kChangeNeedsAdministrator, 0), 0u) << text;
        EXPECT_EQ(testsupport::Contains(text, kStartAsAdministratorQuestion), !IsElevated())
            << text;
        SaveScreenshot("autostart-refused", box);
        ::PostMessageA(::GetDlgItem(box, IsElevated() ? IDOK : IDNO), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5s));
    }
    EXPECT_EQ(ReadUserRunValue("Orvane Test Long"), longBefore);
    EXPECT_EQ(m_removed->Count(), 0);
    EXPECT_FALSE(m_program->HasExited()) << "No keeps this copy running";

    // The page's controls grow with the sheet.
    HWND list = ::GetDlgItem(m_page, 1001);
    RECT before{};
    ::GetWindowRect(list, &before);
    ::PostMessageA(m_sheet, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT now{};
            ::GetWindowRect(list, &now);
            return now.right - now.left > before.right - before.left &&
                   now.bottom - now.top > before.bottom - before.top;
        },
        5s))
        << "list 1001 grows with the maximised sheet";

    EXPECT_FALSE(m_program->HasExited());
    Exit();
}

} // namespace
