#include "app/FileInfo.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Noon UTC on the day, so every time zone of the test machine sees the same date.
void SetModified(const std::string& path, WORD year, WORD month, WORD day) {
    SYSTEMTIME noon{};
    noon.wYear = year;
    noon.wMonth = month;
    noon.wDay = day;
    noon.wHour = 12;
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&noon, &time));
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

} // namespace

class FileInfo : public ::testing::Test {
  protected:
    TempDir m_dir;
};

TEST_F(FileInfo, CommandLineDescribesTheFileItStarts) {
    const std::string folder = m_dir.File("Program Files");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string path = folder + "\\a.exe";
    ASSERT_TRUE(WriteFileText(path, std::string(2048, 'x')));
    SetModified(path, 2008, 3, 7);

    EXPECT_EQ(GetFileInfoText("\"" + path + "\" /tray"), "File name: a.exe\r\n"
                                                         "Path: " +
                                                             path +
                                                             "\r\n"
                                                             "Modified: 07-March-2008, Friday\r\n"
                                                             "File size: 2 KB\r\n"
                                                             "Signature: Not signed");
    EXPECT_EQ(GetFileInfoText(path), GetFileInfoText("\"" + path + "\" /tray"));
}

TEST_F(FileInfo, SizeInWholeKilobytes) {
    const std::string small = m_dir.File("small.bin");
    ASSERT_TRUE(WriteFileText(small, std::string(1023, 'x')));
    SetModified(small, 1999, 12, 31);
    EXPECT_EQ(GetFileInfoText(small), "File name: small.bin\r\nPath: " + small +
                                          "\r\nModified: 31-December-1999, Friday\r\n"
                                          "File size: 0 KB\r\nSignature: Not signed");

    const std::string folder = m_dir.File("folder");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    SetModified(folder, 2010, 1, 4);
    EXPECT_EQ(GetFileInfoText(folder), "File name: folder\r\nPath: " + folder +
                                           "\r\nModified: 04-January-2010, Monday\r\n"
                                           "File size: 0 KB")
        << "a folder has no signature";
}

TEST_F(FileInfo, MissingFileGivesTwoLinesAndTheNotice) {
    const std::string path = m_dir.File("nothing here.exe");
    EXPECT_EQ(GetFileInfoText(path),
              "File name: nothing here.exe\r\nPath: " + path + "\r\nCouldn't locate the file");
    EXPECT_EQ(GetFileInfoText(""), "File name: \r\nPath: \r\nCouldn't locate the file");
}
