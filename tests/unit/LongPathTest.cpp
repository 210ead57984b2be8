#include "app/LongPath.h"
#include "app/SystemHelpers.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Wine makes hashed 8.3 names; only the system can say what they are.
std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// Wine's GetLongPathNameA gives up on long forms past MAX_PATH; this answers as
// Windows does for a long form of g_longFormLength characters: the form when
// it fits the buffer, otherwise the buffer size it would need.
size_t g_longFormLength = 0;

std::string StandInLongForm() {
    return "C:\\" + std::string(g_longFormLength - 3, 'x');
}

DWORD WINAPI StandInGetLongPathName(LPCSTR, LPSTR buffer, DWORD bufferChars) {
    const std::string form = StandInLongForm();
    if (form.size() + 1 > bufferChars) {
        return static_cast<DWORD>(form.size() + 1);
    }
    std::memcpy(buffer, form.c_str(), form.size() + 1);
    return static_cast<DWORD>(form.size());
}

} // namespace

class LongPath : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
        ASSERT_TRUE(WriteFileText(m_file, "MZ"));
    }
    void TearDown() override { ResetLongPathBindingForTesting(); }

    TempDir m_dir{GetExeDir()};
    std::string m_folder = m_dir.File("Long Folder Name");
    std::string m_file = m_folder + "\\Some Application.exe";
};

TEST_F(LongPath, ShortFormOfARealFileGivesItsLongForm) {
    const std::string shortFile = ShortPathOf(m_file);
    ASSERT_FALSE(shortFile.empty());
    ASSERT_NE(shortFile, m_file);
    EXPECT_EQ(GetLongPath(shortFile), m_file);

    const std::string shortFolder = ShortPathOf(m_folder);
    ASSERT_NE(shortFolder, m_folder);
    EXPECT_EQ(GetLongPath(shortFolder), m_folder);

    EXPECT_EQ(GetLongPath(m_file), m_file);
}

TEST_F(LongPath, TextThatIsNotAnExistingPathGivesNothing) {
    const std::string shortFile = ShortPathOf(m_file);
    ASSERT_FALSE(shortFile.empty());
    EXPECT_EQ(GetLongPath(shortFile + " /min"), "");
    EXPECT_EQ(GetLongPath("\"" + m_file + "\""), "");
    EXPECT_EQ(GetLongPath(m_folder + "\\Missing.exe"), "");
    EXPECT_EQ(GetLongPath("%windir%\\notepad.exe"), "");
    EXPECT_EQ(GetLongPath(""), "");
}

TEST_F(LongPath, LongFormOf600CharactersOrMoreIsNotAvailable) {
    SetLongPathBindingForTesting(StandInGetLongPathName);
    g_longFormLength = 599;
    EXPECT_EQ(GetLongPath("C:\\X"), StandInLongForm());
    g_longFormLength = 600;
    EXPECT_EQ(GetLongPath("C:\\X"), "");
    g_longFormLength = 5000;
    EXPECT_EQ(GetLongPath("C:\\X"), "");
}

TEST_F(LongPath, SystemWithoutTheFunctionGivesNothing) {
    SetLongPathBindingForTesting(nullptr);
    EXPECT_EQ(GetLongPath(ShortPathOf(m_file)), "");
    ResetLongPathBindingForTesting();
    EXPECT_EQ(GetLongPath(ShortPathOf(m_file)), m_file);
}
