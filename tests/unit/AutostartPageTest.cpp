// The Autostart page: its keys, texts and menu without a window, then the page
// itself in a real property sheet against the real registry.
#include "app/PathHelpers.h"
#include "app/ReportHeading.h"
#include "app/SettingsStore.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/EntryTexts.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/ListCallCounter.h"
#include "tests/unit/TempDir.h"
#include "ui/AppWindow.h"
#include "ui/PageCommands.h"
#include "ui/PageKeys.h"
#include "ui/PropPageAutostartDlg.h"
#include "ui/QuickMenu.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Letters of code page 1250 (and 1252) above 0x7F: a name only the ANSI
// functions carry, through the system's code page and back.
const char kCentralEuropeanName[] = "orv-page-\x8A\xE8\xF8";

using testsupport::kRunKey;

TEST(PageKeys, EachKeyGivesItsCommandAndModifiersOnlyCountForNAndEnter) {
    struct Row {
        UINT key;
        bool control;
        bool alt;
        int command;
    };
    const Row rows[] = {
        {VK_INSERT, false, false, kCommandNew},
        {'N', true, false, kCommandNew},
        {'N', false, false, 0},
        {'N', false, true, 0},
        {VK_DELETE, false, false, kCommandRemove},
        {VK_DELETE, true, true, kCommandRemove},
        {VK_RETURN, false, true, kCommandProperties},
        {VK_RETURN, false, false, 0},
        {VK_RETURN, true, false, 0},
        {VK_F3, false, false, kCommandOnlineInfo},
        {VK_F5, false, false, kCommandRefresh},
        {VK_F5, true, true, kCommandRefresh},
        {'A', true, false, 0},
        {VK_F4, false, true, 0},
        {VK_ESCAPE, false, false, 0},
        {VK_BACK, false, false, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(KeyToCommand(row.key, row.control, row.alt), row.command)
            << "key " << row.key << " control " << row.control << " alt " << row.alt;
    }
}

// A file whose description the tests can predict, reached through its short name.
class AutostartEntryTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileText(m_file, std::string(3000, 'x')));
        char shortPath[MAX_PATH] = {};
        ASSERT_NE(GetShortPathNameA(m_file.c_str(), shortPath, MAX_PATH), 0u);
        m_shortPath = shortPath;
    }

    TempDir m_dir;
    std::string m_file = m_dir.File("Long Program Name.exe");
    std::string m_shortPath;
};

TEST_F(AutostartEntryTexts, DescriptionNamesTheLongFileAndTheBareLocation) {
    AutostartEntry entry{"Helper", m_shortPath, kRunKey, 0x80000001};
    const std::string text = DescribeAutostartEntry(entry);
    EXPECT_EQ(text.rfind("Title: Helper\r\nFile name: Long Program Name.exe\r\nPath: " + m_file +
                             "\r\nModified: ",
                         0),
              0u)
        << text;
    const std::string tail =
        std::string("File size: 2 KB\r\nSignature: Not signed\r\nLocation: ") + kRunKey;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "no HKCU\\ before the key";

    // A command line with arguments has no long form: its file is described.
    entry.path = "\"" + m_file + "\" /tray";
    entry.location = "C:\\Startup\\Helper.lnk";
    EXPECT_NE(DescribeAutostartEntry(entry).find("Path: " + m_file + "\r\nModified: "),
              std::string::npos);

    entry.path = m_dir.File("gone.exe");
    EXPECT_EQ(DescribeAutostartEntry(entry),
              "Title: Helper\r\nFile name: gone.exe\r\nPath: " + entry.path +
                  "\r\nCouldn't locate the file\r\n"
                  "Location: C:\\Startup\\Helper.lnk");
}

TEST_F(AutostartEntryTexts, ReportHasOneNumberedBlockPerEntryEachFollowedByTheSeparator) {
    const std::string rule = "-----------------------------\r\n";
    EXPECT_EQ(rule.size(), 31u) << "29 dashes";
    EXPECT_EQ(FormatReportHeading("Autostart program", 12),
              "\r\n\r\n" + rule + "Autostart program #12\r\n" + rule);

    const AutostartEntryList entries = {{"First", m_shortPath, kRunKey, 0x80000002},
                                        {"Second", m_dir.File("gone.exe"), "C:\\S\\b.lnk", 0}};
    const std::string report = GetAutostartReportText(entries, "<sep>");
    EXPECT_EQ(report, FormatReportHeading("Autostart program", 1) +
                          DescribeAutostartEntry(entries[0]) + "<sep>" +
                          FormatReportHeading("Autostart program", 2) +
                          DescribeAutostartEntry(entries[1]) + "<sep>");
    EXPECT_EQ(GetAutostartReportText({}, "<sep>"), "");
}

TEST(RemovedEntryTexts, RemovedValueLivesInTheDatabaseAndARemovedFileInTheFolder) {
    const RemovedEntry value{kRunKey, "Tool", "C:\\tool.exe -x", 0x80000001};
    EXPECT_EQ(GetRemovedOriginalText(value), std::string("HKCU\\") + kRunKey);
    EXPECT_EQ(GetRemovedCurrentText(value), "My database");
    const RemovedEntry machine{kRunKey, "Tool", "C:\\tool.exe", 0x80000002};
    EXPECT_EQ(GetRemovedOriginalText(machine), std::string("HKLM\\") + kRunKey);

    const RemovedEntry file{"C:\\Startup\\Tool.lnk", "Tool", "C:\\Orvane\\removed\\Tool.lnk", 0};
    EXPECT_EQ(GetRemovedOriginalText(file), "C:\\Startup\\Tool.lnk");
    EXPECT_EQ(GetRemovedCurrentText(file), "C:\\Orvane\\removed\\Tool.lnk");
}

TEST(AutostartMenu, ItemsInTheirOrderAndTheCommandsTheyRun) {
    CQuickMenu menu;
    menu.AttachMenu(CreatePopupMenu());
    AppendCurrentEntriesMenuItems(menu);
    struct Row {
        const char* text;
        int command;
    };
    const Row rows[] = {
        {"Accept (I trust this application)", kCommandAccept},
        {"Unaccept (I have doubts about it)", kCommandUnaccept},
        {nullptr, 0},
        {"Open folder containing...", kCommandOpenFolder},
        {"Properties...\t(Alt+Enter)", kCommandProperties},
        {"More info...\t(F3)", kCommandOnlineInfo},
        {nullptr, 0},
        {"Remove\t(Delete)", kCommandRemove},
        {nullptr, 0},
        {"Show its process", kCommandShowLinked},
    };
    ASSERT_EQ(GetMenuItemCount(menu.GetMenu()), static_cast<int>(std::size(rows)));
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const UINT id = GetMenuItemID(menu.GetMenu(), i);
        if (rows[i].text == nullptr) {
            EXPECT_EQ(id, kQuickMenuSeparatorId) << i;
            continue;
        }
        char text[64] = {};
        GetMenuStringA(menu.GetMenu(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, rows[i].text);
        EXPECT_EQ(CommandOfCurrentEntriesMenuItem(id), rows[i].command) << rows[i].text;
    }
    EXPECT_EQ(CommandOfCurrentEntriesMenuItem(-1), 0) << "a dismissed menu runs nothing";
}

void SetRunValue(const std::string& name, DWORD type, const std::string& data) {
    ASSERT_TRUE(testsupport::SetUserRunValue(name, type, data));
}

void SetRunString(const std::string& name, const std::string& text) {
    ASSERT_TRUE(testsupport::SetUserRunString(name, text));
}

// The page in a modeless sheet of its own, as the main sheet holds it. The
// page keeps its files beside the test program: what it makes there goes.
class AutostartPage : public ::testing::Test {
  protected:
    void SetUp() override {
        m_hadRemovedFolder = FileExists(m_removedFolder);
        m_hadAcceptedFile = FileExists(m_acceptedFile);
        SHFILEINFOA info{};
        SystemImageList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("c:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        SetRunString("orv-page-a", "C:\\orv-page\\a.exe");

        m_sheet = testsupport::CreateSheetAround(m_page, "Autostart page test");
        ASSERT_NE(m_sheet, nullptr);
        testsupport::PumpMessages();
        ASSERT_TRUE(m_page.IsWindow());
        m_list = m_page.GetItem(IDC_AUTOSTART_CURRENT);
        m_counter = std::make_unique<ListCallCounter>(m_list, m_page.GetHwnd());
    }

    void TearDown() override {
        // Left unfiltered for the tests after this one.
        GetSettings().SetText("Options", "AutostartFilter", "");
        GetSettings().SetBool("Options", "AutostartHideWindowsOwn", false);
        if (m_sheet != nullptr) {
            m_counter.reset();
            DestroyWindow(m_sheet);
            testsupport::PumpMessages();
        }
        for (const char* name : {"orv-page-a", "orv-page-b", "orv-page-long", "orv-page-dword",
                                 "orv-page-binary", kCentralEuropeanName, ""}) {
            if (*name != '\0' || m_setDefaultValue) {
                testsupport::DeleteUserRunValue(name);
            }
        }
        if (!m_hadAcceptedFile) {
            DeleteFileA(m_acceptedFile.c_str());
        }
        if (!m_hadRemovedFolder) {
            TempDir::RemoveTree(m_removedFolder);
        }
    }

    int ItemCount() const { return static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0)); }

    // The 30-second timer's work, now.
    void TimerTick() {
        SendMessageA(m_page.GetHwnd(), WM_TIMER, 0, 0);
        testsupport::PumpMessages();
    }

    std::string ItemText(int item, int column) const {
        char text[4096] = {};
        LVITEMA lvItem{};
        lvItem.iSubItem = column;
        lvItem.pszText = text;
        lvItem.cchTextMax = sizeof text;
        SendMessageA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&lvItem));
        return text;
    }

    int FindItem(const std::string& name) const {
        for (int i = 0; i < ItemCount(); ++i) {
            if (ItemText(i, 0) == name) {
                return i;
            }
        }
        return -1;
    }

    const std::string m_removedFolder = JoinPath(GetExeDir(), "removed");
    const std::string m_acceptedFile = JoinPath(GetExeDir(), "autostart.dat");
    bool m_hadRemovedFolder = false;
    bool m_hadAcceptedFile = false;
    bool m_setDefaultValue = false;
    CPropPageAutostartDlg m_page;
    HWND m_sheet = nullptr;
    HWND m_list = nullptr;
    std::unique_ptr<ListCallCounter> m_counter;
    ListCallCounts& Counts() { return m_counter->counts; }
};

TEST_F(AutostartPage, UnchangedRescanLeavesTheListAloneAndAHiddenPageDrawsNothing) {
    ASSERT_TRUE(FileExists(m_removedFolder)) << "the removed folder is made at start";
    const int shown = ItemCount();
    ASSERT_EQ(static_cast<size_t>(shown), m_page.GetCurrentEntries().GetEntries().size());
    ASSERT_GE(FindItem("orv-page-a"), 0);
    EXPECT_EQ(ItemText(FindItem("orv-page-a"), 2), std::string("HKCU\\") + kRunKeyPath)
        << "the key as the location table spells it";

    TimerTick();
    TimerTick();
    EXPECT_EQ(Counts().inserts, 0) << "nothing changed, nothing inserted";
    EXPECT_EQ(Counts().clears, 0);

    // In the tray: the rescan still follows the system but draws nothing.
    ShowWindow(m_sheet, SW_HIDE);
    testsupport::PumpMessages();
    Counts().drawn = 0;
    SetRunString("orv-page-b", "C:\\orv-page\\b.exe");
    TimerTick();
    EXPECT_EQ(Counts().clears, 1);
    EXPECT_EQ(Counts().inserts, shown + 1);
    EXPECT_EQ(ItemCount(), shown + 1);
    EXPECT_EQ(Counts().drawn, 0) << "a hidden page draws no row";

    ShowWindow(m_sheet, SW_SHOW);
    UpdateWindow(m_sheet);
    testsupport::PumpMessages();
    EXPECT_GE(Counts().drawn, shown + 1) << "shown again, every row is drawn";

    // A forced refresh (F5) rebuilds even an unchanged list.
    Counts().inserts = 0;
    m_page.RunCommand(kCommandRefresh);
    EXPECT_EQ(Counts().inserts, shown + 1);
}

TEST_F(AutostartPage, ValuesOfAnyShapeAreListedAndDrawnAndTheRegistryStaysAsItWas) {
    const std::string longPath = "C:\\" + std::string(1996, 'L') + ".exe";
    SetRunString("orv-page-long", longPath);
    SetRunString(kCentralEuropeanName, "C:\\orv-page\\\x8A\xE8.exe");
    SetRunValue("orv-page-dword", REG_DWORD, std::string("\x2A\0\0\0", 4));
    SetRunValue("orv-page-binary", REG_BINARY, std::string("\x01\xFF\r\n&x", 6));
    // The key's unnamed (default) value, unless the prefix already has one.
    win::UniqueRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.Put()), ERROR_SUCCESS);
    if (RegQueryValueExA(key.Get(), "", nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        SetRunString("", "C:\\orv-page\\unnamed.exe");
        m_setDefaultValue = true;
    }

    m_page.RunCommand(kCommandRefresh);
    const int longItem = FindItem("orv-page-long");
    ASSERT_GE(longItem, 0);
    EXPECT_EQ(ItemText(longItem, 1), longPath);
    EXPECT_GE(FindItem("orv-page-dword"), 0);
    EXPECT_GE(FindItem("orv-page-binary"), 0);
    const int accented = FindItem(kCentralEuropeanName);
    ASSERT_GE(accented, 0) << "a name in the system's code page comes back byte for byte";
    EXPECT_EQ(ItemText(accented, 1), "C:\\orv-page\\\x8A\xE8.exe");
    if (m_setDefaultValue) {
        EXPECT_GE(FindItem(""), 0) << "the unnamed value has a row with an empty name";
    }
    EXPECT_NE(m_page.GetReportText("").find("Title: orv-page-long\r\n"), std::string::npos);

    // Every row drawn, the long one selected too, without a fault.
    Counts().drawn = 0;
    ListView_SetItemState(m_list, longItem, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(m_list, longItem);
    SetFocus(m_list);
    InvalidateRect(m_list, nullptr, TRUE);
    UpdateWindow(m_list);
    testsupport::PumpMessages();
    EXPECT_GE(Counts().drawn, ItemCount());
    m_page.UpdateInfoText();
    const std::string info = m_page.GetItemText(IDC_AUTOSTART_INFO);
    EXPECT_EQ(info.rfind("Title: orv-page-long\r\n", 0), 0u) << info;

    // Seeing them changed nothing.
    char data[16] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(key.Get(), "orv-page-dword", nullptr, &type,
                               reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(std::string(data, size), std::string("\x2A\0\0\0", 4));
}

TEST_F(AutostartPage, ColumnClicksSortTheRowsAndTheSameColumnAgainTurnsTheOrder) {
    SetRunString("orv-page-b", "C:\\orv-page\\0.exe");
    m_page.RunCommand(kCommandRefresh);
    ASSERT_LT(FindItem("orv-page-a"), FindItem("orv-page-b")) << "by name, ascending";

    NMLISTVIEW click{};
    click.hdr.hwndFrom = m_list;
    click.hdr.idFrom = IDC_AUTOSTART_CURRENT;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = 1;
    SendMessageA(m_page.GetHwnd(), WM_NOTIFY, IDC_AUTOSTART_CURRENT,
                 reinterpret_cast<LPARAM>(&click));
    EXPECT_GT(FindItem("orv-page-a"), FindItem("orv-page-b")) << "by path: 0.exe before a.exe";
    SendMessageA(m_page.GetHwnd(), WM_NOTIFY, IDC_AUTOSTART_CURRENT,
                 reinterpret_cast<LPARAM>(&click));
    EXPECT_LT(FindItem("orv-page-a"), FindItem("orv-page-b")) << "by path, descending";
    EXPECT_EQ(ItemText(FindItem("orv-page-b"), 1), "C:\\orv-page\\0.exe")
        << "the texts moved with their rows";
}

TEST_F(AutostartPage, FilterNarrowsAsOneTypesIsKeptAndClearingBringsEveryRowBackSelected) {
    SetRunString("orv-page-b", "C:\\orv-page\\b.exe");
    SetRunString(kCentralEuropeanName, "C:\\orv-page\\c.exe");
    m_page.RunCommand(kCommandRefresh);
    const int all = ItemCount();
    for (const char* name : {"orv-page-b", kCentralEuropeanName}) {
        ListView_SetItemState(m_list, FindItem(name), LVIS_SELECTED, LVIS_SELECTED);
    }
    // Written now, seen only by a rescan: the filter works on the rows it has.
    SetRunString("orv-page-long", "C:\\orv-page\\unscanned.exe");

    // The name's letters in the other case: \x9A is the small of \x8A, \xC8 the capital of \xE8.
    HWND field = m_page.GetItem(IDC_AUTOSTART_FILTER);
    testsupport::TypeText(field, "PAGE-\x9A\xC8");
    ASSERT_EQ(ItemCount(), 1);
    EXPECT_EQ(ItemText(0, 0), kCentralEuropeanName);
    EXPECT_EQ(ListView_GetItemState(m_list, 0, LVIS_SELECTED), LVIS_SELECTED);
    std::vector<std::string> paths;
    m_page.CollectSelectedPaths(paths);
    EXPECT_EQ(paths, std::vector<std::string>{"C:\\orv-page\\c.exe"})
        << "commands take the selected rows in sight";
    SendMessageA(m_page.GetItem(IDC_AUTOSTART_HIDE_SYSTEM), BM_CLICK, 0, 0);
    EXPECT_EQ(ItemCount(), 1) << "an unsigned file is not the system's own";

    {
        // Kept in the settings: a page made now starts filtered.
        CPropPageAutostartDlg again;
        HWND sheet = testsupport::CreateSheetAround(again, "Autostart page again");
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(again.GetItemText(IDC_AUTOSTART_FILTER), "PAGE-\x9A\xC8");
        EXPECT_EQ(IsDlgButtonChecked(again.GetHwnd(), IDC_AUTOSTART_HIDE_SYSTEM), BST_CHECKED);
        EXPECT_EQ(ListView_GetItemCount(again.GetItem(IDC_AUTOSTART_CURRENT)), 1);
        DestroyWindow(sheet);
        testsupport::PumpMessages();
    }

    SendMessageA(m_page.GetItem(IDC_AUTOSTART_HIDE_SYSTEM), BM_CLICK, 0, 0);
    SetWindowTextA(field, "");
    ASSERT_EQ(ItemCount(), all) << "every scanned row back, nothing rescanned";
    EXPECT_EQ(ListView_GetItemState(m_list, FindItem("orv-page-b"), LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(ListView_GetSelectedCount(m_list), 2u);
    const int first = std::min(FindItem("orv-page-b"), FindItem(kCentralEuropeanName));
    EXPECT_EQ(ListView_GetNextItem(m_list, -1, LVNI_FOCUSED), first);
}

} // namespace
