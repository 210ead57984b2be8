#include "app/Elevation.h"
#include "app/FileIdentity.h"
#include "app/PathHelpers.h"
#include "app/SingleInstance.h"
#include "app/SystemHelpers.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

class FileQueries : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(WriteFileText(m_file, "hello world")); }

    TempDir m_dir;
    std::string m_file = m_dir.File("a.bin");
};

TEST_F(FileQueries, ExistenceAndSize) {
    EXPECT_TRUE(FileExists(m_file));
    EXPECT_TRUE(FileExists(m_dir.Path()));
    EXPECT_FALSE(FileExists(m_dir.File("missing.bin")));

    EXPECT_EQ(GetFileSize64(m_file), 11u);
    EXPECT_EQ(GetFileSize64(m_dir.Path()), 0u);
    EXPECT_EQ(GetFileSize64(m_dir.File("missing.bin")), 0u);
}

TEST_F(FileQueries, SizeByDirectorySearch) {
    ASSERT_TRUE(WriteFileText(m_dir.File("b.txt"), "1234"));
    EXPECT_EQ(GetFileSizeByFind(m_file, false), 11);
    EXPECT_EQ(GetFileSizeByFind(m_dir.File("*.bin"), false), 11);
    EXPECT_EQ(GetFileSizeByFind(m_dir.File("*.txt"), true), 4);
    EXPECT_EQ(GetFileSizeByFind(m_dir.File("missing.bin"), true), -1);

    ASSERT_TRUE(CreateDirectoryA(m_dir.File("sub").c_str(), nullptr));
    EXPECT_EQ(GetFileSizeByFind(m_dir.File("sub"), true), 0);
    EXPECT_EQ(GetFileSizeByFind(m_dir.File("sub"), false), -1);
}

TEST_F(FileQueries, SizesAbove4GiBAreWhole) {
    const std::string big = m_dir.File("big.bin");
    const LONGLONG size = (5LL << 30) + 3;
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end{};
    end.QuadPart = size;
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!sized) {
        GTEST_SKIP() << "the file system cannot hold a 5 GiB file";
    }
    EXPECT_EQ(GetFileSize64(big), static_cast<uint64_t>(size));
    EXPECT_EQ(GetFileSizeByFind(big, true), size);
}

TEST_F(FileQueries, ModificationTimeInSecondsSince1970) {
    // 2001-09-09 01:46:40 UTC is 1000000000 s after 1970 and 12622780800 s after 1601.
    ULARGE_INTEGER steps{};
    steps.QuadPart = (1000000000ULL + 11644473600ULL) * 10000000ULL;
    FILETIME time{steps.LowPart, steps.HighPart};
    HANDLE file = CreateFileA(m_file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);

    EXPECT_EQ(GetFileModTime(m_file), 1000000000);
    EXPECT_EQ(GetFileModTime(m_dir.File("missing.bin")), 0);

    // The identity of an accepted file: the whole 64-bit time, and the
    // system's SHA-256 through the functions bound at run time.
    FileStamp stamp;
    ASSERT_TRUE(ReadFileStamp(m_file, stamp));
    EXPECT_EQ(stamp, (FileStamp{11, steps.QuadPart}));
    EXPECT_FALSE(ReadFileStamp(m_dir.Path(), stamp)) << "a folder is no file";
    EXPECT_EQ(HashFileSha256(m_file),
              "b94d27b9934d3e08a52e52d7da7dabfac484efe37a5380ee9088f7ace2efcde9");
    EXPECT_EQ(HashBytesSha256(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashFileSha256(m_dir.File("missing.bin")), "");
}

class Environment : public ::testing::Test {
  protected:
    void SetUp() override { SetEnvironmentVariableA("ORV_TEST_DIR", "C:\\Orv Dir"); }
    void TearDown() override { SetEnvironmentVariableA("ORV_TEST_DIR", nullptr); }
};

TEST_F(Environment, ReferencesAreSubstituted) {
    EXPECT_EQ(ExpandEnvVars("%ORV_TEST_DIR%\\a.exe -x"), "C:\\Orv Dir\\a.exe -x");
    EXPECT_EQ(ExpandEnvVars("%ORV_NO_SUCH_VARIABLE%\\a.exe"), "%ORV_NO_SUCH_VARIABLE%\\a.exe");
    EXPECT_EQ(ExpandEnvVars("plain"), "plain");
    EXPECT_EQ(ExpandEnvVars(""), "");
}

TEST_F(Environment, TooLongForTheBufferIsLeftAlone) {
    const std::string longText = "%ORV_TEST_DIR%" + std::string(1000, 'x');
    EXPECT_EQ(ExpandEnvVars(longText), longText);

    SetEnvironmentVariableA("ORV_TEST_DIR", std::string(600, 'v').c_str());
    const std::string grows = "%ORV_TEST_DIR%\\%ORV_TEST_DIR%";
    EXPECT_EQ(ExpandEnvVars(grows), grows);

    const std::string fits = "%ORV_TEST_DIR%\\a";
    EXPECT_EQ(ExpandEnvVars(fits), std::string(600, 'v') + "\\a");
}

TEST(Modules, ProgramPathAndDirectory) {
    const std::string exe = GetExePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(GetModulePath(), exe);
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(FindNoCase(GetExtNoDot(exe), "exe"), 0);

    const std::string dir = GetExeDir();
    EXPECT_TRUE(FileExists(dir));
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(IsSamePath(JoinPath(dir, GetFileNameWithExt(exe)), exe));
}

TEST(Modules, LoadedLibrary) {
    const std::string kernel = GetModulePath(GetModuleHandleA("kernel32.dll"));
    EXPECT_TRUE(IsSamePath(GetFileNameWithExt(kernel), "kernel32.dll")) << kernel;
    EXPECT_TRUE(FileExists(kernel));
}

// A copy running as administrator made its mutex with rights the user's own
// token lacks; a plain start must still see that a copy runs. And the copy it
// starts learns, from its command line, which copy it takes over from.
TEST(OneCopy, ACopyRunningAsAdministratorCountsAndIsTakenOverByItsId) {
    const std::string folder = "C:\\Orvane-" + std::to_string(GetCurrentProcessId());
    const testsupport::AccessList systemOnly("D:P(A;;GA;;;SY)");
    SECURITY_ATTRIBUTES security{sizeof security, systemOnly.Descriptor(), FALSE};
    const win::UniqueHandle elevatedCopys(
        CreateMutexA(&security, FALSE, OneCopyMutexName(folder).c_str()));
    ASSERT_TRUE(elevatedCopys);
    ASSERT_FALSE(win::UniqueHandle(CreateMutexA(nullptr, FALSE, OneCopyMutexName(folder).c_str())))
        << "the user's own token is refused";
    EXPECT_FALSE(CSingleInstance(folder).IsFirst());
    EXPECT_TRUE(CSingleInstance(folder + "\\other").IsFirst());

    EXPECT_EQ(TakeOverFrom("\"C:\\Orvane\\orvane.exe\" /takeover=4321"), 4321u);
    EXPECT_EQ(TakeOverFrom("orvane.exe /takeover=12x"), 0u);
    EXPECT_EQ(TakeOverFrom("orvane.exe"), 0u);
}

TEST(Directories, CurrentDirectory) {
    const std::string before = GetCurDir();
    ASSERT_FALSE(before.empty());
    {
        TempDir dir;
        ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
        EXPECT_TRUE(IsSamePath(GetCurDir(), dir.Path())) << GetCurDir();
        SetCurrentDirectoryA(before.c_str());
    }
    EXPECT_EQ(GetCurDir(), before);
}

TEST(Directories, SystemDrive) {
    uint64_t total = 0;
    uint64_t free = 0;
    std::string root;
    ASSERT_TRUE(GetSystemDriveSpace(total, free, root));

    char systemDir[MAX_PATH] = {};
    GetSystemDirectoryA(systemDir, MAX_PATH);
    EXPECT_EQ(root, GetDriveOfPath(systemDir) + "\\");
    EXPECT_EQ(root.size(), 3u);
    EXPECT_GT(total, 0u);
    EXPECT_GT(free, 0u);
    EXPECT_LE(free, total);

    // The kept-open reader tells the same, reading after reading.
    CSystemDriveSpace drive;
    for (int reading = 0; reading < 3; ++reading) {
        uint64_t keptTotal = 0;
        uint64_t keptFree = 0;
        std::string keptRoot;
        ASSERT_TRUE(drive.Read(keptTotal, keptFree, keptRoot));
        EXPECT_EQ(keptRoot, root);
        EXPECT_EQ(keptTotal, total);
        // Other programs write meanwhile: within 1 % of the drive.
        EXPECT_LE(keptFree > free ? keptFree - free : free - keptFree, total / 100);
    }
}

class Registry : public ::testing::Test {
  protected:
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, (kParent + "\\Run\\Deeper").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, (kParent + "\\Run").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kParent.c_str());
    }

    // The value as the registry holds it: type and bytes.
    static bool Read(const std::string& key, const std::string& name, DWORD& type,
                     std::string& bytes) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != 0) {
            return false;
        }
        char data[512] = {};
        DWORD size = sizeof data;
        const LONG status = RegQueryValueExA(handle, name.empty() ? nullptr : name.c_str(), nullptr,
                                             &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(handle);
        bytes.assign(data, size);
        return status == 0;
    }

    const std::string kParent = "Software\\OrvaneTests" + std::to_string(GetCurrentProcessId());
};

TEST_F(Registry, CreatesTheKeyAndWritesTerminatedText) {
    const std::string key = kParent + "\\Run\\Deeper";
    ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key, "C:\\Orv\\orv.exe", "ORV"), 0);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Read(key, "ORV", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("C:\\Orv\\orv.exe", 15));
}

TEST_F(Registry, OverwritesAndWritesTheDefaultValue) {
    const std::string key = kParent + "\\Run";
    ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key, "a much longer first text", "ORV"), 0);
    ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key, "short", "ORV"), 0);
    ASSERT_EQ(WriteRegString(HKEY_CURRENT_USER, key, "default", ""), 0);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(Read(key, "ORV", type, bytes));
    EXPECT_EQ(bytes, std::string("short", 6));
    ASSERT_TRUE(Read(key, "", type, bytes));
    EXPECT_EQ(bytes, std::string("default", 8));
}

TEST_F(Registry, ReportsTheSystemError) {
    const HKEY noSuchHive = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678));
    EXPECT_EQ(WriteRegString(noSuchHive, kParent, "x", "ORV"), ERROR_INVALID_HANDLE);
}
