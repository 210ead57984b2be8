// The installer a Windows user downloads, run silently as a script would: it
// installs for the user into the folder given, the program starts from
// there, and the uninstaller takes away what was installed and leaves the
// user's own files unless asked. tests/package_test.sh builds the installer and
// names it in ORV_INSTALLER, with the version it must carry in ORV_VERSION.
#include "tests/e2e/SheetSteps.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace e2e;

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane";
const DWORD kNotFinished = 0xFFFFFFFF;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Runs the command line to its end: its exit code, or kNotFinished.
DWORD RunToEnd(std::string commandLine, std::chrono::milliseconds timeout) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return kNotFinished;
    }
    win::UniqueHandle process(info.hProcess);
    win::UniqueHandle thread(info.hThread);
    DWORD code = kNotFinished;
    if (::WaitForSingleObject(info.hProcess, static_cast<DWORD>(Scaled(timeout).count())) ==
        WAIT_OBJECT_0) {
        ::GetExitCodeProcess(info.hProcess, &code);
    }
    return code;
}

std::string SpecialFolder(int csidl) {
    char folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, folder, csidl, FALSE);
    return folder;
}

std::string StartMenuShortcut() {
    return SpecialFolder(CSIDL_PROGRAMS) + "\\Orvane.lnk";
}

// "a.b.c.d" of the file's version resource, fixed part and text both.
std::string FileVersion(const std::string& path, std::string& text) {
    DWORD ignored = 0;
    std::vector<char> block(::GetFileVersionInfoSizeA(path.c_str(), &ignored));
    if (block.empty() ||
        !::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
        return {};
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    char* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\FileVersion",
                         reinterpret_cast<void**>(&value), &length)) {
        text = value;
    }
    if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        return {};
    }
    char version[64] = {};
    snprintf(version, sizeof(version), "%lu.%lu.%lu.%lu", fixed->dwFileVersionMS >> 16,
             fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
             fixed->dwFileVersionLS & 0xFFFF);
    return version;
}

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return temp;
}

class InstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(installer.empty()) << "run through tests/package_test.sh (ctest -L package)";
        TearDown();
    }
    void TearDown() override {
        testsupport::RemoveTree(dir);
        testsupport::RemoveTree(older);
        testsupport::RemoveTree(store);
        DeleteUserRegistryValue(kRunKey, "ORV");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0);
    }

    std::string File(const std::string& name) const { return dir + "\\" + name; }

    // Silent, into dir (or its own): /D= comes last and unquoted, spaces and all.
    void Install(bool intoDir = true) {
        ASSERT_EQ(RunToEnd("\"" + installer + "\" /S" + (intoDir ? " /D=" + dir : ""), 120s), 0u);
        ASSERT_TRUE(Exists(File("orvane.exe")));
    }

    // The uninstaller copies itself away, starts the copy and ends: its work
    // is done once the entry in Programs and Features has gone.
    void Uninstall(const std::string& options) {
        ASSERT_EQ(RunToEnd("\"" + File("uninstall.exe") + "\" /S" + options, 60s), 0u);
        std::string ignored;
        ASSERT_TRUE(WaitUntil(
            [&] {
                return !ReadRegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayName",
                                           ignored);
            },
            60s))
            << "the uninstaller did not finish";
        ASSERT_TRUE(WaitUntil([&] { return !Exists(File("uninstall.exe")); }, 10s));
    }

    std::string installer = testsupport::WinePathOf(Environment("ORV_INSTALLER"));
    std::string version = Environment("ORV_VERSION");
    std::string dir = TempFolder() + "Orvane Installed " + std::to_string(::GetCurrentProcessId());
    // An older installation for all users, and the user's VirtualStore copy of it.
    std::string older = SpecialFolder(CSIDL_PROGRAM_FILESX86) + "\\Orvane Old";
    std::string store = SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\VirtualStore" + older.substr(2);
};

TEST_F(InstallerTest, SilentInstallStartsFromItsFolderAndTheUninstallerKeepsTheUsersData) {
    Install();
    EXPECT_TRUE(Exists(File("help\\index.htm")));
    EXPECT_TRUE(Exists(File("ReadMe.txt")));
    EXPECT_TRUE(Exists(StartMenuShortcut()));
    const std::string built = ReadFileText(ProgramUnderTest());
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(ReadFileText(File("orvane.exe")) == built) << "installed another orvane.exe";

    std::string versionText;
    EXPECT_EQ(FileVersion(File("orvane.exe"), versionText), version + ".0");
    EXPECT_EQ(versionText, version + ".0");

    std::string value;
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", value));
    EXPECT_EQ(value, "Orvane");
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", value));
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion", value));
    EXPECT_EQ(value, version);
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kUninstallKey, "UninstallString", value));
    EXPECT_EQ(value, "\"" + File("uninstall.exe") + "\"");

    // A later run (the greeting has been seen), started from the installed folder.
    ASSERT_TRUE(WriteLaterRunSettings(dir));
    {
        RunningProgram program(File("orvane.exe"), dir);
        HWND sheet = WaitForTopWindow(program.Id(), kSheetCaption, 20s);
        ASSERT_NE(sheet, nullptr) << "the installed program shows no main window";
        HWND log = WaitForTopWindow(program.Id(), "Log Window", 5s);
        ASSERT_NE(log, nullptr);
        EXPECT_NE(WindowText(::GetDlgItem(log, 1024)).find("App dir:" + dir + "\r\n"),
                  std::string::npos);

        // While it runs, its exe cannot go: the uninstaller removes nothing.
        // (Run in place with _?=, it ends when done and tells how it went.)
        EXPECT_NE(RunToEnd("\"" + File("uninstall.exe") + "\" /S _?=" + dir, 60s), 0u);
        EXPECT_TRUE(Exists(File("orvane.exe")));
        EXPECT_TRUE(Exists(File("help\\index.htm")));
        EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", value));

        ::PostMessageA(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(program.WaitForExit(20s)) << "Exit did not end the program";
    }

    // What the user's Orvane keeps beside itself, and its own autostart value.
    const std::string accepted = "C:\\tools\\accepted.exe\r\n";
    ASSERT_TRUE(WriteFileText(File("autostart.dat"), accepted));
    ASSERT_TRUE(WriteFileText(File("processes.dat"), accepted));
    ::CreateDirectoryA(File("removed").c_str(), nullptr); // the program may have made it
    ASSERT_TRUE(WriteFileText(File("removed\\_index_.dat"), accepted));
    ASSERT_TRUE(SetUserRunString("ORV", File("orvane.exe")));

    Uninstall("");
    EXPECT_FALSE(Exists(File("orvane.exe")));
    EXPECT_FALSE(Exists(File("ReadMe.txt")));
    EXPECT_FALSE(Exists(File("help")));
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_FALSE(ReadUserRegistryString(kRunKey, "ORV", value))
        << "the autostart value still names the removed program";

    EXPECT_EQ(ReadFileText(File("autostart.dat")), accepted);
    EXPECT_EQ(ReadFileText(File("processes.dat")), accepted);
    EXPECT_EQ(ReadFileText(File("removed\\_index_.dat")), accepted);
    EXPECT_NE(ReadFileText(File("settings.ini")).find("FirstUse=1"), std::string::npos);
}

// An older installation's data comes over where the new folder lacks it, the
// VirtualStore's (the runs after the first) before its folder's; so does its autostart.
TEST_F(InstallerTest, OlderDataComesOverAndRemoveMyDataTakesTheWholeFolderButAnotherAutostart) {
    dir = SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Orvane";
    TearDown();
    for (const std::string& folder : {older, store}) {
        ASSERT_EQ(::SHCreateDirectoryExA(nullptr, (folder + "\\removed").c_str(), nullptr), 0);
        for (const char* name : {"\\autostart.dat", "\\processes.dat", "\\removed\\_index_.dat"}) {
            ASSERT_TRUE(WriteFileText(folder + name, folder));
        }
    }
    ASSERT_TRUE(WriteLaterRunSettings(older) && WriteFileText(older + "\\removed\\first", older));
    win::UniqueRegKey key;
    ASSERT_EQ(0, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0,
                                   KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.Put(), nullptr));
    ASSERT_EQ(0, ::RegSetValueExA(key.Get(), "InstallLocation", 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(older.c_str()), older.size() + 1));
    ASSERT_TRUE(SetUserRunString("ORV", older + "\\orvane.exe"));
    ASSERT_EQ(::SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr), 0);
    ASSERT_TRUE(WriteFileText(File("processes.dat"), "mine"));

    Install(false);
    EXPECT_NE(ReadFileText(File("settings.ini")).find("FirstUse=1"), std::string::npos);
    EXPECT_EQ(ReadFileText(File("autostart.dat")), store);
    EXPECT_EQ(ReadFileText(File("removed\\_index_.dat")), store);
    EXPECT_EQ(ReadFileText(File("removed\\first")), older);
    EXPECT_EQ(ReadFileText(File("processes.dat")), "mine");
    std::string value;
    ASSERT_TRUE(ReadUserRegistryString(kRunKey, "ORV", value));
    EXPECT_EQ(value, File("orvane.exe"));
    // Another copy of Orvane, elsewhere, starts with the system: that stays.
    const std::string otherCopy = "C:\\Portable\\Orvane\\orvane.exe";
    ASSERT_TRUE(SetUserRunString("ORV", otherCopy));

    Uninstall(" /REMOVEDATA");
    EXPECT_TRUE(WaitUntil([&] { return !Exists(dir); }, 10s)) << "the folder is still there";
    ASSERT_TRUE(ReadUserRegistryString(kRunKey, "ORV", value));
    EXPECT_EQ(value, otherCopy);
}

} // namespace
