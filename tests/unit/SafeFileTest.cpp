#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

class SafeFile : public ::testing::Test {
  protected:
    void TearDown() override { SetReplaceFailureForTesting(false); }

    TempDir m_dir;
    std::string m_target = m_dir.File("data.bin");
};

TEST_F(SafeFile, WritesTheBytesWhole) {
    const std::string bytes("line\r\n\0binary\xff", 15);
    ASSERT_TRUE(WriteFileWhole(m_target, bytes));
    EXPECT_EQ(ReadFileText(m_target), bytes);

    ASSERT_TRUE(WriteFileWhole(m_target, "short"));
    EXPECT_EQ(ReadFileText(m_target), "short");

    ASSERT_TRUE(WriteFileWhole(m_target, ""));
    EXPECT_EQ(ReadFileText(m_target), "");

    // The temporary lives beside the target (a rename cannot cross volumes) and is gone.
    EXPECT_EQ(GetDirOfPath(TemporaryPathFor(m_target)), GetDirOfPath(m_target));
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_target)));
}

TEST_F(SafeFile, FailedReplaceKeepsTheOldFile) {
    ASSERT_TRUE(WriteFileText(m_target, "old content"));
    SetReplaceFailureForTesting(true);
    EXPECT_FALSE(WriteFileWhole(m_target, "new content that never lands"));
    EXPECT_EQ(ReadFileText(m_target), "old content");
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_target)));
}

TEST_F(SafeFile, MissingTemporaryLeavesTheTarget) {
    ASSERT_TRUE(WriteFileText(m_target, "old content"));
    EXPECT_FALSE(ReplaceWithTemporary(m_dir.File("no-such.tmp"), m_target));
    EXPECT_EQ(ReadFileText(m_target), "old content");
}

TEST_F(SafeFile, MissingDirectoryFails) {
    const std::string target = m_dir.File("no-such-dir\\data.bin");
    EXPECT_FALSE(WriteFileWhole(target, "x"));
    EXPECT_FALSE(FileExists(target));
}
