#include "tests/unit/ShellOpenRecorder.h"
#include "tests/unit/TempDir.h"
#include "ui/EntryActions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kInfoScript = "http://www.orvane.net/products/orvane/procinfo/show.php";

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, length);
}

// Sets (or, with nullptr, removes) an environment variable of this process for
// one test and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
        if (size > 0) {
            m_old.resize(size);
            m_old.resize(GetEnvironmentVariableA(name, m_old.data(), size));
            m_had = true;
        }
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableA(m_name.c_str(), m_had ? m_old.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

// Watches, from another thread, for windows that appear on the test's thread
// (an error box of the shell would) and closes them, so none can block the test.
class NewWindowWatch {
  public:
    NewWindowWatch() : m_thread(GetCurrentThreadId()), m_before(VisibleWindows(m_thread)) {
        m_watcher = std::thread([this] {
            while (!m_stop) {
                for (HWND window : VisibleWindows(m_thread)) {
                    if (std::find(m_before.begin(), m_before.end(), window) == m_before.end()) {
                        ++m_seen;
                        m_before.push_back(window);
                        PostMessageA(window, WM_COMMAND, IDOK, 0);
                        PostMessageA(window, WM_CLOSE, 0, 0);
                    }
                }
                Sleep(20);
            }
        });
    }
    ~NewWindowWatch() { Stop(); }
    NewWindowWatch(const NewWindowWatch&) = delete;
    NewWindowWatch& operator=(const NewWindowWatch&) = delete;

    // The number of windows that appeared.
    int Stop() {
        if (m_watcher.joinable()) {
            // Whatever the calls left behind has a moment to show up.
            Sleep(300);
            m_stop = true;
            m_watcher.join();
        }
        return m_seen;
    }

  private:
    static BOOL CALLBACK CollectVisible(HWND window, LPARAM found) {
        if (IsWindowVisible(window)) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        }
        return TRUE;
    }

    static std::vector<HWND> VisibleWindows(DWORD thread) {
        std::vector<HWND> windows;
        EnumThreadWindows(thread, &CollectVisible, reinterpret_cast<LPARAM>(&windows));
        return windows;
    }

    DWORD m_thread;
    std::vector<HWND> m_before;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_seen{0};
    std::thread m_watcher;
};

} // namespace

TEST(DirectoryType, OnlyTheFolderDirectlyHoldingTheFileCounts) {
    const std::string windows = WindowsFolder();
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(GetDirectoryType(windows + "\\notepad.exe"), "win");
    EXPECT_EQ(GetDirectoryType(windows + "\\System\\x.drv"), "winsys");
    EXPECT_EQ(GetDirectoryType(windows + "\\System32\\svchost.exe"), "winsys32");
    EXPECT_EQ(GetDirectoryType(windows + "\\system32\\drivers\\x.sys"), "atypical");
    EXPECT_EQ(GetDirectoryType(windows + "\\System32Extra\\x.exe"), "atypical");
    EXPECT_EQ(GetDirectoryType("D:\\Tools\\x.exe"), "atypical");
    EXPECT_EQ(GetDirectoryType("x.exe"), "atypical");
    EXPECT_EQ(GetDirectoryType(""), "atypical");
}

TEST(DirectoryType, LetterCaseAndSlashesDoNotMatter) {
    const std::string windows = WindowsFolder();
    std::string upper = windows;
    std::string lower = windows;
    for (char& c : upper) {
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    }
    for (char& c : lower) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(GetDirectoryType(upper + "\\SYSTEM32\\SVCHOST.EXE"), "winsys32");
    EXPECT_EQ(GetDirectoryType(lower + "\\system32\\svchost.exe"), "winsys32");
    EXPECT_EQ(GetDirectoryType(lower + "\\sYsTeM\\x.drv"), "winsys");
    std::string forward = windows + "/System32/svchost.exe";
    std::replace(forward.begin(), forward.end(), '\\', '/');
    EXPECT_EQ(GetDirectoryType(forward), "winsys32");
}

TEST(DirectoryType, RootComesFromTheSystemRootVariable) {
    ScopedVariable root("SYSTEMROOT", "D:\\OtherWin");
    EXPECT_EQ(GetDirectoryType("D:\\OtherWin\\x.exe"), "win");
    EXPECT_EQ(GetDirectoryType("d:\\otherwin\\system32\\x.exe"), "winsys32");
    EXPECT_EQ(GetDirectoryType(WindowsFolder() + "\\System32\\svchost.exe"), "atypical");
}

TEST(DirectoryType, WithoutTheVariableTheWindowsFolderIsTheRoot) {
    const std::string windows = WindowsFolder();
    {
        ScopedVariable root("SYSTEMROOT", nullptr);
        EXPECT_EQ(GetDirectoryType(windows + "\\notepad.exe"), "win");
        EXPECT_EQ(GetDirectoryType(windows + "\\System\\x.drv"), "winsys");
        EXPECT_EQ(GetDirectoryType(windows + "\\System32\\svchost.exe"), "winsys32");
        EXPECT_EQ(GetDirectoryType("D:\\Tools\\x.exe"), "atypical");
    }
    {
        ScopedVariable root("SYSTEMROOT", "");
        EXPECT_EQ(GetDirectoryType(windows + "\\System32\\svchost.exe"), "winsys32");
        EXPECT_EQ(GetDirectoryType("System32\\x.exe"), "atypical");
    }
}

class OnlineInfoAddress : public ::testing::Test {
  protected:
    TempDir m_dir;
};

TEST_F(OnlineInfoAddress, NameSizeAndDirectoryType) {
    // A Windows folder of the test's own, so the system's files are left alone.
    ScopedVariable root("SYSTEMROOT", m_dir.Path().c_str());
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("system32").c_str(), nullptr));
    const std::string svchost = m_dir.File("system32\\svchost.exe");
    ASSERT_TRUE(WriteFileText(svchost, std::string(20480, 'x')));
    EXPECT_EQ(BuildOnlineInfoAddress(svchost),
              kInfoScript + "?name=svchost.exe&size=20480&dirtype=winsys32");

    const std::string explorer = m_dir.File("explorer.exe");
    ASSERT_TRUE(WriteFileText(explorer, ""));
    EXPECT_EQ(BuildOnlineInfoAddress(explorer),
              kInfoScript + "?name=explorer.exe&size=0&dirtype=win");
}

TEST_F(OnlineInfoAddress, FolderGivesSizeZeroAndMissingFileNoSize) {
    const std::string folder = m_dir.File("Tools");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(BuildOnlineInfoAddress(folder), kInfoScript + "?name=Tools&size=0&dirtype=atypical");

    EXPECT_EQ(BuildOnlineInfoAddress(m_dir.File("gone.exe")),
              kInfoScript + "?name=gone.exe&dirtype=atypical");
}

TEST_F(OnlineInfoAddress, ValuesArePercentEncoded) {
    const std::string odd = m_dir.File("a b&c#d.exe");
    ASSERT_TRUE(WriteFileText(odd, "abc"));
    EXPECT_EQ(BuildOnlineInfoAddress(odd),
              kInfoScript + "?name=a%20b%26c%23d.exe&size=3&dirtype=atypical");
    EXPECT_EQ(BuildOnlineInfoAddress(m_dir.File("x=1?y+z.exe")),
              kInfoScript + "?name=x%3D1%3Fy%2Bz.exe&dirtype=atypical");
}

TEST_F(OnlineInfoAddress, TheBrowserIsAskedForTheAddress) {
    ShellOpenRecorder browser;
    if (!browser.Installed()) {
        GTEST_SKIP() << "the http association cannot be changed here";
    }
    const std::string odd = m_dir.File("a b&c#d.exe");
    ASSERT_TRUE(WriteFileText(odd, "abc"));
    OpenOnlineInfo(odd);
    EXPECT_EQ(browser.WaitForAddress(),
              kInfoScript + "?name=a%20b%26c%23d.exe&size=3&dirtype=atypical");
}

TEST(SelectParameters, PathIsQuotedWithoutInnerQuotes) {
    EXPECT_EQ(BuildSelectParameters("C:\\a,b\\x.exe"), "/select, \"C:\\a,b\\x.exe\"");
    EXPECT_EQ(BuildSelectParameters("\"C:\\a,b\\x.exe\""), "/select, \"C:\\a,b\\x.exe\"");
    EXPECT_EQ(BuildSelectParameters("C:\\Program Files\\a\"b\\x.exe"),
              "/select, \"C:\\Program Files\\ab\\x.exe\"");
}

TEST(ShellProperties, FailuresShowNothing) {
    // This Wine has no properties sheet: every call fails, and must do so quietly.
    TempDir dir;
    const std::string file = dir.File("a.txt");
    ASSERT_TRUE(WriteFileText(file, "a"));
    NewWindowWatch watch;
    ShowShellProperties(file);
    ShowShellProperties(dir.File("missing.exe"));
    ShowShellPropertiesOfList({dir.File("missing.exe"), file});
    EXPECT_EQ(watch.Stop(), 0) << "a message box appeared";
}

TEST(ShellProperties, EmptyListDoesNothing) {
    NewWindowWatch watch;
    SetLastError(0x1234);
    ShowShellPropertiesOfList({});
    EXPECT_EQ(GetLastError(), 0x1234u) << "the shell was called";
    EXPECT_EQ(watch.Stop(), 0);
}
