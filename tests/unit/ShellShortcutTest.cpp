#include "app/ShellShortcut.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

class ShellShortcut : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(WriteFileText(m_target, "MZ"));
    }
    void TearDown() override { CoUninitialize(); }

    static CShortcutData Loaded(const std::string& shortcut) {
        CShortcutFile file;
        EXPECT_TRUE(file.Load(shortcut)) << shortcut;
        return file;
    }

    TempDir m_dir;
    std::string m_target = m_dir.File("Target Program.exe");
};

TEST_F(ShellShortcut, EveryFieldSavedIsLoadedBack) {
    CShortcutData data;
    data.path = m_target;
    data.arguments = "/min --from \"x y\"";
    data.description = "Starts the target";
    data.hotkey = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
    data.iconPath = m_dir.File("icons.dll");
    data.iconIndex = 3;
    data.showCommand = SW_SHOWMAXIMIZED;
    data.workingDirectory = m_dir.Path();

    const std::string shortcut = m_dir.File("Everything.lnk");
    CShortcutFile file;
    ASSERT_TRUE(file.CopyFrom(data));
    ASSERT_TRUE(file.Save(shortcut));

    const CShortcutData back = Loaded(shortcut);
    EXPECT_EQ(back.path, m_target);
    EXPECT_TRUE(back.itemIdList);
    EXPECT_EQ(back.arguments, data.arguments);
    EXPECT_EQ(back.description, data.description);
    EXPECT_EQ(back.hotkey, data.hotkey);
    EXPECT_EQ(back.iconPath, data.iconPath);
    EXPECT_EQ(back.iconIndex, 3);
    // Wine's link object reads the show command back as 1 whatever the file
    // holds, so it is checked in the file's header (offset 0x3C).
    const std::string bytes = ReadFileText(shortcut);
    ASSERT_GE(bytes.size(), 0x40u);
    EXPECT_EQ(bytes.substr(0x3C, 4), std::string("\x03\0\0\0", 4));
    EXPECT_EQ(back.workingDirectory, m_dir.Path());
}

TEST_F(ShellShortcut, ALoadedItemIdListIsCopiedAndSavedInsteadOfThePath) {
    const std::string first = m_dir.File("First.lnk");
    CreateShortcut(first, m_target, "", "");

    CShortcutData data = Loaded(first);
    ASSERT_TRUE(data.itemIdList);
    data.path = m_dir.File("Other.exe");
    const CShortcutData copy = data;
    // A copy owns a list of its own.
    ASSERT_TRUE(copy.itemIdList);
    EXPECT_NE(copy.itemIdList.Get(), data.itemIdList.Get());
    data = CShortcutData();

    const std::string second = m_dir.File("Second.lnk");
    CShortcutFile file;
    ASSERT_TRUE(file.CopyFrom(copy));
    ASSERT_TRUE(file.Save(second));
    EXPECT_EQ(Loaded(second).path, m_target);
}

TEST_F(ShellShortcut, CreateShortcutTakesTheTargetsFolderOnlyForTheExactWordAuto) {
    struct Case {
        std::string target, workingDirectory, expected;
    } cases[] = {
        {"C:\\a.exe", "auto", "C:"},
        {"C:\\Tools\\a.exe", "auto", "C:\\Tools"},
        {"C:\\Tools\\a.exe", "Auto", "Auto"},
        {"C:\\Tools\\a.exe", "", ""},
        {"C:\\Tools\\a.exe", "D:\\Work", "D:\\Work"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target + " / " + c.workingDirectory);
        const std::string shortcut = m_dir.File("Auto.lnk");
        DeleteFileA(shortcut.c_str());
        CreateShortcut(shortcut, c.target, c.workingDirectory, "");
        const CShortcutData back = Loaded(shortcut);
        EXPECT_EQ(back.workingDirectory, c.expected);
        EXPECT_EQ(back.path, c.target);
    }
}

TEST_F(ShellShortcut, CreateShortcutSetsArgumentsOnlyWhenGivenAndOverwrites) {
    const std::string shortcut = m_dir.File("Args.lnk");
    CreateShortcut(shortcut, m_target, "", "/tray /min");
    EXPECT_EQ(Loaded(shortcut).arguments, "/tray /min");

    CreateShortcut(shortcut, m_target, "auto", "");
    const CShortcutData back = Loaded(shortcut);
    EXPECT_EQ(back.arguments, "");
    EXPECT_EQ(back.workingDirectory, m_dir.Path());
}

TEST_F(ShellShortcut, TargetOfAMissingOrUnreadableShortcutIsEmpty) {
    const std::string shortcut = m_dir.File("App.lnk");
    CreateShortcut(shortcut, m_target, "", "");
    EXPECT_EQ(GetShortcutTarget(shortcut, SLR_NO_UI | SLR_ANY_MATCH), m_target);
    EXPECT_EQ(GetShortcutTarget(shortcut, 0), m_target);

    EXPECT_EQ(GetShortcutTarget(m_dir.File("Missing.lnk"), SLR_NO_UI | SLR_ANY_MATCH), "");
    CShortcutFile missing;
    EXPECT_FALSE(missing.Load(m_dir.File("Missing.lnk")));

    const std::string garbage = m_dir.File("Garbage.lnk");
    ASSERT_TRUE(WriteFileText(garbage, "this is not a shell link"));
    EXPECT_EQ(GetShortcutTarget(garbage, SLR_NO_UI | SLR_ANY_MATCH), "");
}

TEST_F(ShellShortcut, AShortcutPathLongerThanTheLinkObjectTakesFailsInsteadOfBeingCut) {
    // 259 characters and the terminator fit; the first 259 characters of a
    // longer name are another file, which must be neither written nor read.
    const std::string longName = m_dir.Path() + "\\" + std::string(300, 'a') + ".lnk";
    const std::string fits = longName.substr(0, MAX_PATH - 1);

    CShortcutData data;
    data.path = m_target;
    CShortcutFile file;
    ASSERT_TRUE(file.CopyFrom(data));
    EXPECT_FALSE(file.Save(longName));
    EXPECT_EQ(GetFileAttributesA(fits.c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(file.Save(fits));
    CShortcutFile reader;
    EXPECT_FALSE(reader.Load(longName));
    EXPECT_EQ(reader.GetPath(), "");
    EXPECT_TRUE(reader.Load(fits));
    EXPECT_EQ(reader.GetPath(), m_target);
}

namespace {

struct DialogSearch {
    DWORD threadId;
    HWND found;
};

BOOL CALLBACK FindDialogOfThread(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (GetWindowThreadProcessId(window, nullptr) == search->threadId &&
        std::string(className) == "#32770" && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

// Wine's shell automation object cannot run the dialog (E_NOTIMPL), so this
// also proves the fallback: the dialog opens modally on this thread and is
// closed from outside like a user would.
TEST_F(ShellShortcut, ShowRunDialogOpensTheShellsRunDialog) {
    const DWORD threadId = GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::string caption;
    std::thread watcher([&] {
        for (int i = 0; i < 300 && !done; ++i) {
            DialogSearch search{threadId, nullptr};
            EnumWindows(FindDialogOfThread, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                char text[256] = {};
                GetWindowTextA(search.found, text, sizeof text);
                caption = text;
                PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return;
            }
            Sleep(50);
        }
    });
    const bool shown = ShowRunDialog();
    done = true;
    watcher.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(caption, "Run");
}
