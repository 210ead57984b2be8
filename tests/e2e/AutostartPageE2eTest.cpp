// The Autostart page as its user meets it: new entries turning up in red,
// accepting, removing and restoring registry values and startup files, and
// entries of odd shapes that must neither break the page nor be changed by it.
#include "app/AcceptedList.h"
#include "app/ShellShortcut.h"
#include "autostart/AutostartScan.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/RemoteListView.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace e2e;

namespace {

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kSheetCaption[] = "Orvane : ";
constexpr int kNewTitle = 1028;
constexpr int kNewPath = 1029;
constexpr int kNewAllUsers = 1030;
constexpr int kNewRegistry = 1031;
constexpr int kBarNew = 1027;
const char kConfirmRemoval[] = "Are you sure you want to remove selected items?";
constexpr COLORREF kUnacceptedRed = RGB(200, 0, 0);
constexpr COLORREF kUnacceptedPink = RGB(255, 220, 220);

std::string SystemFile(const char* name) {
    char dir[MAX_PATH] = {};
    ::GetSystemDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

std::string StartupFolder(int folder = CSIDL_STARTUP) {
    char dir[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, folder | CSIDL_FLAG_CREATE, nullptr, 0, dir);
    return dir;
}

bool SetUserRunValue(const std::string& name, DWORD type, const std::string& data) {
    win::UniqueRegKey key;
    return ::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                             key.Put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExA(key.Get(), name.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool SetUserRunString(const std::string& name, const std::string& text) {
    return SetUserRunValue(name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

// A value's type and bytes; type REG_NONE when it is missing.
std::pair<DWORD, std::string> ReadUserRunValue(const std::string& name) {
    win::UniqueRegKey key;
    std::pair<DWORD, std::string> value{REG_NONE, std::string()};
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return value;
    }
    std::string data(8192, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
        data.resize(size);
        value = {type, data};
    }
    return value;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// How many pixels of the rectangle on the screen have the colour.
int PixelsOfColour(const RECT& rect, COLORREF colour) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return 0;
    }
    win::WindowDc screen(nullptr);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(
        ::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !memory) {
        return 0;
    }
    {
        win::SelectGuard select(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        count += (pixels[i] & 0xFFFFFF) == wanted ? 1 : 0;
    }
    return count;
}

// Two clicks on one place within the double-click time make a double click,
// which selects nothing: every click on a row waits that time out.
POINT PointOnItem(const RemoteListView& list, int item) {
    static DWORD lastClick = 0;
    const DWORD sinceLast = ::GetTickCount() - lastClick;
    if (sinceLast < ::GetDoubleClickTime() + 100) {
        ::Sleep(::GetDoubleClickTime() + 100 - sinceLast);
    }
    lastClick = ::GetTickCount();
    list.EnsureVisible(item);
    const RECT row = list.ItemRect(item);
    return POINT{row.left + 40, (row.top + row.bottom) / 2};
}

void ClickItem(const RemoteListView& list, int item, bool rightButton = false) {
    ClickAt(PointOnItem(list, item), rightButton);
}

void SendInputs(std::initializer_list<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.begin()),
                sizeof(INPUT));
    std::this_thread::sleep_for(100ms);
}

// A click with Control held adds the item to the selection or takes it out.
// The mouse is in place first: moving it would report Control as released.
void ControlClickItem(const RemoteListView& list, int item) {
    const POINT point = PointOnItem(list, item);
    ::SetCursorPos(point.x, point.y);
    std::this_thread::sleep_for(100ms);
    INPUT control{};
    control.type = INPUT_KEYBOARD;
    control.ki.wVk = VK_CONTROL;
    INPUT button{};
    button.type = INPUT_MOUSE;
    button.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInputs({control});
    SendInputs({button});
    button.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    control.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInputs({button, control});
}

// Chooses the menu's item (counting from 1, separators skipped) with the keys.
void ChooseMenuItem(int item) {
    ASSERT_TRUE(WaitUntil([] { return testsupport::FindOpenMenu() != nullptr; }, 5s))
        << "a right click opens the menu";
    for (int press = 0; press < item; ++press) {
        PressKeys({VK_DOWN});
    }
    PressKeys({VK_RETURN});
}

// EnumChildWindows calls back with the system's calling convention, which a
// lambda lacks in 32-bit code.
BOOL CALLBACK MatchControlId(HWND child, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(data);
    if (::GetDlgCtrlID(child) == wanted->first) {
        wanted->second = child;
        return FALSE;
    }
    return TRUE;
}

// A control anywhere below the window, by its id.
HWND FindDescendant(HWND window, int id) {
    std::pair<int, HWND> search{id, nullptr};
    ::EnumChildWindows(window, MatchControlId, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

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
        for (const std::string& name : m_values) {
            DeleteUserRegistryValue(kRunKey, name);
        }
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
        m_values.push_back(name);
        ASSERT_TRUE(SetUserRunString(name, text));
    }

    std::string StartupItem(const std::string& name) {
        m_startupItems.push_back(name);
        return StartupFolder() + "\\" + name;
    }

    // Accepts the paths and everything registered already, so that only what
    // the test adds later is unaccepted.
    void Accept(std::vector<std::string> paths) {
        AutostartEntryList present;
        EnumerateAutostartEntries(present);
        for (const AutostartEntry& entry : present) {
            paths.push_back(entry.path);
        }
        CAcceptedList accepted(folder.File("autostart.dat"));
        for (const std::string& path : paths) {
            accepted.SetState(path, 1);
        }
        ASSERT_TRUE(accepted.Store());
    }

    // Starts a later run, shows the sheet from the tray and opens the page.
    void OpenPage() {
        ASSERT_TRUE(WriteFileText(folder.File("settings.ini"), "[GENERAL]\r\nFirstUse=1\r\n"));
        m_program = std::make_unique<RunningProgram>(folder.Exe(), folder.Dir());
        m_sheet = WaitForTopWindow(m_program->Id(), kSheetCaption, 20s);
        ASSERT_NE(m_sheet, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_sheet); }, 5s));
        // An icon left behind by a program that was killed goes at its first
        // click; the user then clicks again.
        for (int click = 0; click < 3 && !::IsWindowVisible(m_sheet); ++click) {
            ClickFirstTrayIcon();
            WaitUntil([&] { return ::IsWindowVisible(m_sheet) != FALSE; }, 3s);
        }
        ASSERT_TRUE(::IsWindowVisible(m_sheet)) << "a tray click shows the sheet";
        // Clear of Wine's little tray window, which the sheet would cover.
        ::SetWindowPos(m_sheet, nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::SendMessageA(m_sheet, PSM_SETCURSEL, 0, 0);
        for (HWND child = ::FindWindowExA(m_sheet, nullptr, "#32770", nullptr);
             child != nullptr && m_page == nullptr;
             child = ::FindWindowExA(m_sheet, child, "#32770", nullptr)) {
            m_page = ::GetDlgItem(child, 1001) != nullptr ? child : nullptr;
        }
        ASSERT_NE(m_page, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(m_page) != FALSE; }, 5s));
        m_current = std::make_unique<RemoteListView>(::GetDlgItem(m_page, 1001));
        m_removed = std::make_unique<RemoteListView>(::GetDlgItem(m_page, 1002));
        ASSERT_TRUE(m_current->IsReady());
    }

    bool WaitForEntry(const std::string& name, std::chrono::milliseconds timeout) {
        return WaitUntil([&] { return m_current->Find(name) >= 0; }, timeout);
    }

    int RedPixelsOf(const std::string& name, COLORREF colour = kUnacceptedRed) {
        const int item = m_current->Find(name);
        return item < 0 ? -1 : PixelsOfColour(m_current->ItemRect(item), colour);
    }

    // Answers the removal question, which must come exactly once.
    void ConfirmRemoval() {
        HWND box = WaitForMessageBox(m_program->Id(), "", 5s);
        ASSERT_NE(box, nullptr) << "Delete asks first";
        EXPECT_EQ(MessageBoxText(box), kConfirmRemoval);
        ::PostMessageA(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5s));
    }

    // The program's own message box: its text, after it is closed with OK.
    std::string TakeMessage() {
        HWND box = WaitForMessageBox(m_program->Id(), "Orvane", 5s);
        if (box == nullptr) {
            return "<no message>";
        }
        const std::string text = MessageBoxText(box);
        ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return !::IsWindow(box); }, 5s);
        return text;
    }

    // Fills in the new-entry dialog (ticking the boxes by clicks where they
    // must change) and presses OK.
    void FillNewEntry(HWND dialog, const std::string& title, const std::string& path, bool allUsers,
                      bool registry) {
        ::SendMessageA(::GetDlgItem(dialog, kNewTitle), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(title.c_str()));
        ::SendMessageA(::GetDlgItem(dialog, kNewPath), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(path.c_str()));
        for (auto [box, wanted] : {std::pair{kNewAllUsers, allUsers}, {kNewRegistry, registry}}) {
            if ((::IsDlgButtonChecked(dialog, box) == BST_CHECKED) != wanted) {
                ClickCenterOf(::GetDlgItem(dialog, box));
            }
            EXPECT_EQ(::IsDlgButtonChecked(dialog, box) == BST_CHECKED, wanted) << box;
        }
        ClickCenterOf(::GetDlgItem(dialog, IDOK));
    }

    HWND WaitForNewEntryDialog() {
        return WaitForTopWindow(m_program->Id(), "Create new autostart item", 5s);
    }

    std::string LogText() const {
        HWND log = FindTopWindow(m_program->Id(), "Log Window");
        return log != nullptr ? WindowText(::GetDlgItem(log, 1024)) : std::string();
    }

    void Exit() {
        ::PostMessageA(::GetDlgItem(m_sheet, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_TRUE(m_program->WaitForExit(20s));
    }

    ProgramFolder folder;
    std::unique_ptr<RunningProgram> m_program;
    HWND m_sheet = nullptr;
    HWND m_page = nullptr;
    std::unique_ptr<RemoteListView> m_current;
    std::unique_ptr<RemoteListView> m_removed;
    std::vector<std::string> m_values;
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
    const std::string startLog = LogText();
    EXPECT_NE(
        startLog.find("GetFolderOfRemovedItems():" + folder.File("removed") +
                      "\r\nGetFileOfRemovedInfoDataBase():" + folder.File("removed\\_index_.dat") +
                      "\r\nremoved items. dir exists?: 1\r\n"),
        std::string::npos)
        << startLog;

    // Accept from the menu of the space below the rows: nothing is selected.
    const std::string acceptedBefore = ReadFileText(folder.File("autostart.dat"));
    const RECT last = m_current->ItemRect(m_current->Count() - 1);
    ClickAt(POINT{last.left + 40, last.bottom + 20}, true);
    ChooseMenuItem(1);
    EXPECT_EQ(TakeMessage(), "Nothing selected");
    EXPECT_EQ(ReadFileText(folder.File("autostart.dat")), acceptedBefore);

    // A program registers itself: the rescan shows it within 30 seconds, in red.
    m_values.push_back("Orvane Test New");
    ASSERT_TRUE(SetUserRunString("Orvane Test New", fresh));
    ASSERT_TRUE(WaitForEntry("Orvane Test New", 35s)) << "the timer's rescan finds it";
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOf("Orvane Test New") >= 20; }, 3s))
        << "an unaccepted entry is drawn in red";
    for (int item = 0; item < m_current->Count(); ++item) {
        if (m_current->Text(item, 0) != "Orvane Test New") {
            EXPECT_EQ(PixelsOfColour(m_current->ItemRect(item), kUnacceptedRed), 0)
                << "accepted entries are not: " << m_current->Text(item, 0);
        }
    }
    if (const char* output = std::getenv("ORV_TEST_OUTPUT")) {
        ::CreateDirectoryA((testsupport::WinePathOf(output) + "\\pages").c_str(), nullptr);
    }
    SaveScreenshot("pages\\autostart");

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
    PressKeys({VK_MENU, VK_RETURN});
    EXPECT_TRUE(
        WaitUntil([&] { return LogText().find("Invoke action:6\r\n") != std::string::npos; }, 3s))
        << LogText();

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
    ControlClickItem(*m_current, m_current->Find("Orvane Test Beta"));
    ControlClickItem(*m_current, m_current->Find("Orvane Test New"));
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
    EXPECT_TRUE(WaitUntil([&] { return m_removed->Count() == 0; }, 3s));
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
    EXPECT_TRUE(WaitUntil([&] { return m_removed->Count() == 0; }, 3s));
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
    m_values.push_back("Orvane Test Made");
    m_commonStartupItems.push_back("Orvane Test Made Link.lnk");
    const std::string link = StartupFolder(CSIDL_COMMON_STARTUP) + "\\Orvane Test Made Link.lnk";
    Accept({});
    ASSERT_NO_FATAL_FAILURE(OpenPage());

    // Insert in the list: the dialog, All Users ticked; OK without a title
    // says so and keeps the dialog.
    ClickItem(*m_current, 0);
    PressKeys({VK_INSERT});
    HWND dialog = WaitForNewEntryDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kNewAllUsers), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(dialog, kNewRegistry), static_cast<UINT>(BST_UNCHECKED));
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeMessage(), "You have to enter a valid title, this can be anything");
    ASSERT_TRUE(::IsWindow(dialog));

    // A value in the user's own Run key: written, listed at once, unaccepted.
    FillNewEntry(dialog, "Orvane Test Made", program, false, true);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(ReadUserRunValue("Orvane Test Made"),
              std::make_pair(static_cast<DWORD>(REG_SZ), program + '\0'));
    EXPECT_TRUE(WaitForEntry("Orvane Test Made", 3s)) << "listed without waiting for the timer";
    EXPECT_TRUE(WaitUntil([&] { return RedPixelsOf("Orvane Test Made") >= 20; }, 3s));

    // The action bar's New: a shortcut in the startup folder of all users.
    ClickCenterOf(FindDescendant(m_page, kBarNew));
    dialog = WaitForNewEntryDialog();
    ASSERT_NE(dialog, nullptr);
    FillNewEntry(dialog, "Orvane Test Made Link", target, true, false);
    SaveScreenshot("autostart-new-entry");
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    ASSERT_TRUE(Exists(link));
    EXPECT_EQ(GetShortcutTarget(link, SLR_NO_UI), target);
    EXPECT_TRUE(WaitForEntry("Orvane Test Made Link", 3s));

    // The same title again: refused, the shortcut left as it was.
    const std::string linkBytes = ReadFileText(link);
    ClickItem(*m_current, 0);
    PressKeys({VK_CONTROL, 'N'});
    dialog = WaitForNewEntryDialog();
    ASSERT_NE(dialog, nullptr);
    FillNewEntry(dialog, "Orvane Test Made Link", program, true, false);
    EXPECT_EQ(TakeMessage(), "A file with this title already exists, please enter a different one");
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5s));
    EXPECT_EQ(ReadFileText(link), linkBytes);
    Exit();
}

TEST_F(AutostartPageTest, OddEntriesAreShownAndFailuresChangeNothing) {
    const std::string longText = "C:\\" + std::string(1996, 'L') + ".exe";
    AddValue("Orvane Test Long", longText);
    m_values.push_back("Orvane Test Dword");
    ASSERT_TRUE(SetUserRunValue("Orvane Test Dword", REG_DWORD, std::string("\x2A\0\0\0", 4)));
    m_values.push_back("Orvane Test Binary");
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
    EXPECT_TRUE(WaitUntil([&] { return m_removed->Count() == 0; }, 3s));
    EXPECT_EQ(ReadFileText(plain), "no extension");
    ::SetFileAttributesA(folder.File("removed").c_str(), FILE_ATTRIBUTE_NORMAL);

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
