// Creating autostart entries in the real startup folders and Run keys.
#include "app/ShellShortcut.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartMessages.h"
#include "autostart/AutostartScan.h"
#include "autostart/NewAutostartItem.h"
#include "res/resource.h"
#include "ui/NewAutostartItemDlg.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const char kTitle[] = "Orvane new item test";

bool ReadRunValue(HKEY hive, const std::string& name, std::string& data, DWORD& type) {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(hive, kRunKeyPath, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS) {
        return false;
    }
    data = buffer;
    return true;
}

void DeleteRunValue(HKEY hive, const std::string& name) {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(hive, kRunKeyPath, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key.Get(), name.c_str());
    }
}

class NewAutostartItemTest : public testing::Test {
  protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        Clean();
    }
    void TearDown() override {
        Clean();
        ::CoUninitialize();
    }
    void Clean() {
        for (bool allUsers : {true, false}) {
            NewAutostartItem item{kTitle, "x", allUsers, false};
            ::DeleteFileA(NewShortcutPath(item).c_str());
            DeleteRunValue(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kTitle);
        }
    }
};

TEST_F(NewAutostartItemTest, TitleAndPathAreRequiredAndNothingIsWrittenWithout) {
    EXPECT_EQ(CreateAutostartItem({"", "C:\\t.exe", true, false}), kNewItemNeedsTitle);
    EXPECT_EQ(CreateAutostartItem({kTitle, "", true, true}), kNewItemNeedsPath);
    std::string data;
    DWORD type = 0;
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, kTitle, data, type));
    EXPECT_FALSE(FileExists(NewShortcutPath({kTitle, "x", true, false})));
}

TEST_F(NewAutostartItemTest, DefaultsMakeAShortcutInTheCommonStartupFolder) {
    std::string target = GetExePath();
    NewAutostartItem item{kTitle, target, true, false};
    std::string shortcut = NewShortcutPath(item);
    EXPECT_EQ(shortcut, GetSpecialFolderPath(CSIDL_COMMON_STARTUP) + "\\" + kTitle + ".lnk");

    ASSERT_EQ(CreateAutostartItem(item), "");
    ASSERT_TRUE(FileExists(shortcut));
    CShortcutFile link;
    ASSERT_TRUE(link.Load(shortcut));
    EXPECT_STRCASEEQ(link.path.c_str(), target.c_str());
    EXPECT_STRCASEEQ(link.workingDirectory.c_str(), GetExeDir().c_str());
    EXPECT_EQ(link.arguments, "");

    // The same title again changes nothing.
    EXPECT_EQ(CreateAutostartItem({kTitle, "C:\\other.exe", true, false}), kNewItemTitleExists);
    CShortcutFile again;
    ASSERT_TRUE(again.Load(shortcut));
    EXPECT_STRCASEEQ(again.path.c_str(), target.c_str());
}

TEST_F(NewAutostartItemTest, CurrentUserShortcutGoesToTheUsersStartupFolder) {
    NewAutostartItem item{kTitle, GetExePath(), false, false};
    ASSERT_EQ(CreateAutostartItem(item), "");
    EXPECT_TRUE(
        FileExists(GetSpecialFolderPath(CSIDL_STARTUP) + "\\" + std::string(kTitle) + ".lnk"));
    EXPECT_FALSE(FileExists(NewShortcutPath({kTitle, "x", true, false})));
}

TEST_F(NewAutostartItemTest, AnInvalidFileNameIsReportedNotSwallowed) {
    NewAutostartItem item{"bad|name?", GetExePath(), false, false};
    EXPECT_EQ(CreateAutostartItem(item), kOperationFailed);
}

TEST_F(NewAutostartItemTest, RegistryValuesAreWrittenAsTypedAndOverwrittenSilently) {
    const std::string commandLine = "\"C:\\Program Files\\t.exe\" -x /y";
    ASSERT_EQ(CreateAutostartItem({kTitle, commandLine, false, true}), "");
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRunValue(HKEY_CURRENT_USER, kTitle, data, type));
    EXPECT_EQ(data, commandLine);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, kTitle, data, type));

    ASSERT_EQ(CreateAutostartItem({kTitle, "C:\\t.exe", false, true}), "");
    ASSERT_TRUE(ReadRunValue(HKEY_CURRENT_USER, kTitle, data, type));
    EXPECT_EQ(data, "C:\\t.exe");

    ASSERT_EQ(CreateAutostartItem({kTitle, "C:\\t.exe", true, true}), "");
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, kTitle, data, type));
}

// Fills the open dialog and presses OK, as a user would, from a timer.
class FilledDialog : public COrvNewAutostartItemDlg {
  public:
    std::string title, path;
    bool registry = false;
    bool sawAllUsersChecked = false;
    bool sawTitleFocused = false;

  protected:
    BOOL OnInitDialog() override {
        BOOL result = COrvNewAutostartItemDlg::OnInitDialog();
        sawAllUsersChecked = ::IsDlgButtonChecked(m_hWnd, IDC_NEW_ALL_USERS) == BST_CHECKED;
        sawTitleFocused = ::GetFocus() == GetItem(IDC_NEW_TITLE);
        ::SetTimer(m_hWnd, 1, 50, nullptr);
        return result;
    }
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg != WM_TIMER) {
            return false;
        }
        ::KillTimer(m_hWnd, 1);
        SetItemText(IDC_NEW_TITLE, title);
        SetItemText(IDC_NEW_PATH, path);
        ::CheckDlgButton(m_hWnd, IDC_NEW_ALL_USERS, BST_UNCHECKED);
        ::CheckDlgButton(m_hWnd, IDC_NEW_REGISTRY, registry ? BST_CHECKED : BST_UNCHECKED);
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetItem(IDOK)));
        result = 0;
        return true;
    }
};

TEST_F(NewAutostartItemTest, DialogOpensWithAllUsersCheckedAndWritesWhatWasEntered) {
    FilledDialog dialog;
    dialog.title = kTitle;
    dialog.path = "C:\\t.exe";
    dialog.registry = true;
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(dialog.sawAllUsersChecked);
    EXPECT_TRUE(dialog.sawTitleFocused);
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(ReadRunValue(HKEY_CURRENT_USER, kTitle, data, type));
    EXPECT_EQ(data, "C:\\t.exe");
}

} // namespace
