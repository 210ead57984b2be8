// No system calls here: this file also runs natively under the sanitizers.
#include "app/Mbcs.h"
#include "app/PathHelpers.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CommandLinePath, QuotedPathEndsAtTheClosingQuote) {
    EXPECT_EQ(ExePathFromCommandLine("\"C:\\Program Files\\A\\a.exe\" -min /x"),
              "C:\\Program Files\\A\\a.exe");
    EXPECT_EQ(ExePathFromCommandLine("\"C:\\no end.exe -x"), "");
    EXPECT_EQ(ExePathFromCommandLine("\"\""), "");
}

TEST(CommandLinePath, UnquotedPathEndsAtTheLastExe) {
    EXPECT_EQ(ExePathFromCommandLine("C:\\PROGRA~1\\A\\A.EXE -x"), "C:\\PROGRA~1\\A\\A.EXE");
    EXPECT_EQ(ExePathFromCommandLine("rundll32.exe shell32.dll,x"), "rundll32.exe");
    EXPECT_EQ(ExePathFromCommandLine("C:\\a.exe\\b.exe arg"), "C:\\a.exe\\b.exe");
    EXPECT_EQ(ExePathFromCommandLine("C:\\a.exe.exe"), "C:\\a.exe.exe");
    EXPECT_EQ(ExePathFromCommandLine("C:\\Program Files\\A\\a.exe -x"),
              "C:\\Program Files\\A\\a.exe");
}

TEST(CommandLinePath, NothingToPickOut) {
    EXPECT_EQ(ExePathFromCommandLine("C:\\doc.txt"), "");
    EXPECT_EQ(ExePathFromCommandLine("x"), "");
    EXPECT_EQ(ExePathFromCommandLine(""), "");
    EXPECT_EQ(ExePathFromCommandLine("C:\\a.ex"), "");
}

TEST(CommandLinePath, FilePathFallsBackToTheWholeLine) {
    EXPECT_EQ(CommandLineToFilePath("C:\\doc.txt"), "C:\\doc.txt");
    EXPECT_EQ(CommandLineToFilePath("\"C:\\no end"), "\"C:\\no end");
    EXPECT_EQ(CommandLineToFilePath("\"C:\\a b\\c.exe\" /s"), "C:\\a b\\c.exe");
    EXPECT_EQ(CommandLineToFilePath("C:\\x.exe /s"), "C:\\x.exe");
}

TEST(SamePath, SeparatorsCaseAndOuterSlashesDoNotMatter) {
    EXPECT_TRUE(IsSamePath("c:/windows/", "C:\\Windows"));
    EXPECT_TRUE(IsSamePath("\\dir\\a.exe", "dir\\a.exe"));
    EXPECT_TRUE(IsSamePath("dir/a.exe", "/dir/a.exe"));
    EXPECT_TRUE(IsSamePath("C:\\Tools/bin\\A.EXE", "c:/tools/BIN/a.exe"));
    EXPECT_TRUE(IsSamePath("abc", "ABC"));
    EXPECT_TRUE(IsSamePath("", ""));
}

TEST(SamePath, DifferentPaths) {
    EXPECT_FALSE(IsSamePath("a", "ab"));
    EXPECT_FALSE(IsSamePath("C:\\a\\b", "C:\\a\\c"));
    EXPECT_FALSE(IsSamePath("C:\\a\\b", "C:\\a"));
    // Only one outer separator is dropped.
    EXPECT_FALSE(IsSamePath("C:\\a\\\\", "C:\\a"));
}

TEST(JoinPath, OneSeparatorBetween) {
    EXPECT_EQ(JoinPath("C:\\dir\\", "\\a.exe"), "C:\\dir\\a.exe");
    EXPECT_EQ(JoinPath("C:\\dir", "a.exe"), "C:\\dir\\a.exe");
    EXPECT_EQ(JoinPath("C:/dir/", "a.exe"), "C:/dir/a.exe");
    EXPECT_EQ(JoinPath("dir", "sub\\a.exe"), "dir\\sub\\a.exe");
    EXPECT_EQ(JoinPath("dir", "a.exe"), "dir/a.exe");
}

TEST(JoinPath, EmptyPartGivesTheOther) {
    EXPECT_EQ(JoinPath("", "a.exe"), "a.exe");
    EXPECT_EQ(JoinPath("C:\\dir\\", ""), "C:\\dir\\");
}

TEST(SplitPath, FourParts) {
    const SplitPathParts parts = SplitPath("C:\\dir\\sub\\file.tar.gz");
    EXPECT_EQ(parts.drive, "C:");
    EXPECT_EQ(parts.dir, "\\dir\\sub\\");
    EXPECT_EQ(parts.fname, "file.tar");
    EXPECT_EQ(parts.ext, ".gz");

    const SplitPathParts unc = SplitPath("\\\\server\\share/x.txt");
    EXPECT_EQ(unc.drive, "");
    EXPECT_EQ(unc.dir, "\\\\server\\share/");
    EXPECT_EQ(unc.fname, "x");
    EXPECT_EQ(unc.ext, ".txt");
}

TEST(SplitPath, DotsOutsideTheNameAreNoExtension) {
    const SplitPathParts parts = SplitPath("C:\\dir.d\\file");
    EXPECT_EQ(parts.dir, "\\dir.d\\");
    EXPECT_EQ(parts.fname, "file");
    EXPECT_EQ(parts.ext, "");

    const SplitPathParts hidden = SplitPath(".profile");
    EXPECT_EQ(hidden.fname, "");
    EXPECT_EQ(hidden.ext, ".profile");

    const SplitPathParts driveOnly = SplitPath("C:");
    EXPECT_EQ(driveOnly.drive, "C:");
    EXPECT_EQ(driveOnly.dir + driveOnly.fname + driveOnly.ext, "");
}

TEST(PathParts, NameExtensionAndDrive) {
    EXPECT_EQ(GetNameWithoutExt("C:\\a\\setup.exe"), "setup");
    EXPECT_EQ(GetFileNameWithExt("C:\\a\\setup.exe"), "setup.exe");
    EXPECT_EQ(GetFileNameWithExt("C:\\a\\README"), "README");
    EXPECT_EQ(GetExtNoDot("C:\\a\\setup.exe"), "exe");
    EXPECT_EQ(GetExtNoDot("C:\\a\\README"), "");
    EXPECT_EQ(GetDriveOfPath("d:\\a\\b"), "d:");
    EXPECT_EQ(GetDriveOfPath("\\a\\b"), "");
}

TEST(PathParts, DirectoryOfPath) {
    EXPECT_EQ(GetDirOfPath("C:\\dir\\file.exe"), "C:\\dir\\");
    EXPECT_EQ(GetDirOfPath("C:\\dir\\"), "C:\\");
    EXPECT_EQ(GetDirOfPath("C:\\file.exe"), "C:\\");
    EXPECT_EQ(GetDirOfPath("C:/dir/file.exe"), "C:/dir/");
    EXPECT_EQ(GetDirOfPath("file.exe"), "");
    EXPECT_EQ(GetDirOfPath("C:\\"), "");
    EXPECT_EQ(GetDirOfPath(""), "");

    EXPECT_EQ(GetDirNoSlash("C:\\dir\\file.exe"), "C:\\dir");
    // The program at a drive's root: its settings file becomes C:\settings.ini.
    EXPECT_EQ(GetDirNoSlash("C:\\app.exe"), "C:");
}

TEST(PathParts, FolderOfPath) {
    EXPECT_EQ(GetFolderOfPath("C:\\Tools\\a.exe"), "C:\\Tools");
    EXPECT_EQ(GetFolderOfPath("C:\\a.exe"), "C:");
    EXPECT_EQ(GetFolderOfPath("a.exe"), "");
    EXPECT_EQ(GetFolderOfPath(""), "");
}

TEST(PathText, StripAndUnifySlashes) {
    std::string text = "C:\\dir\\\\";
    StripTrailingSlash(text);
    EXPECT_EQ(text, "C:\\dir\\");
    text = "C:/dir/";
    StripTrailingSlash(text);
    EXPECT_EQ(text, "C:/dir");
    StripTrailingSlash(text);
    EXPECT_EQ(text, "C:/dir");

    text = "C:/a\\b/c";
    UnifySlashes(text, '/');
    EXPECT_EQ(text, "C:/a/b/c");
    UnifySlashes(text, '\\');
    EXPECT_EQ(text, "C:\\a\\b\\c");
}

TEST(PathText, FindSeparatorPrefersBackslash) {
    EXPECT_EQ(FindSeparator("a/b\\c", 0), 3);
    EXPECT_EQ(FindSeparator("a/b/c", 2), 3);
    EXPECT_EQ(FindSeparator("a\\b\\c", 2), 3);
    EXPECT_EQ(FindSeparator("abc", 0), -1);
    EXPECT_EQ(FindSeparator("a\\b", 2), -1);
}

TEST(PathText, FindNoCase) {
    EXPECT_EQ(FindNoCase("C:\\A.EXE", ".exe"), 4);
    EXPECT_EQ(FindNoCase("a.exe b.exe", ".EXE"), 1);
    EXPECT_EQ(FindNoCase(".ex", ".exe"), -1);
    EXPECT_EQ(FindNoCase("C:\\a.com", ".exe"), -1);
}

TEST(NumberText, Integers) {
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
    EXPECT_EQ(ULongToText(4294967295u), "4294967295");
    EXPECT_EQ(UInt64ToText(18446744073709551615ull), "18446744073709551615");
}

TEST(NumberText, DoubleWithDecimals) {
    EXPECT_EQ(DoubleToText(3.14159, 2), "3.14");
    EXPECT_EQ(DoubleToText(2.6, 0), "3");
    EXPECT_EQ(DoubleToText(-0.25, 3), "-0.250");
    const std::string wide = DoubleToText(1.0, 255);
    EXPECT_EQ(wide.size(), 2u + 255u);
    EXPECT_EQ(DoubleToText(1.0, 1000), wide);
    EXPECT_EQ(DoubleToText(1e300, 2).size(), 301u + 3u);
}

// A Shift-JIS-like code page: lead bytes 0x81-0x9F and 0xE0-0xFC. In it the
// character "\x95\x5C" ends with the byte of "\" and "\x83\x41" / "\x83\x61"
// end with the bytes of "A" / "a".
class DoubleBytePaths : public ::testing::Test {
  protected:
    static bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; }
    void SetUp() override { mbcs::SetLeadBytePredicateForTesting(&ShiftJisLead); }
    void TearDown() override { mbcs::SetLeadBytePredicateForTesting(nullptr); }
};

TEST_F(DoubleBytePaths, CharactersAreStepped) {
    const std::string text = "a\x95\x5C"
                             "b\x95";
    EXPECT_EQ(mbcs::NextChar(text, 0), 1u);
    EXPECT_EQ(mbcs::NextChar(text, 1), 3u);
    EXPECT_EQ(mbcs::NextChar(text, 3), 4u);
    EXPECT_EQ(mbcs::NextChar(text, 4), 5u) << "a lead byte at the end stands alone";
    EXPECT_EQ(mbcs::NextChar(text, 5), 5u);
    EXPECT_EQ(mbcs::NextChar(std::string("\x95\0x", 3), 0), 1u);
}

TEST_F(DoubleBytePaths, TrailByteIsNoSeparator) {
    const std::string name = "\x95\x5C";
    const std::string path = "C:\\dir\\" + name;

    std::string stripped = path;
    StripTrailingSlash(stripped);
    EXPECT_EQ(stripped, path);

    EXPECT_EQ(FindSeparator(name + "/x", 0), 2);
    EXPECT_EQ(GetFileNameWithExt(path), name);
    EXPECT_EQ(GetDirOfPath(path), "C:\\dir\\");
    EXPECT_EQ(GetDirOfPath(name), "");

    const SplitPathParts parts = SplitPath("C:\\" + name + "\\file.txt");
    EXPECT_EQ(parts.dir, "\\" + name + "\\");
    EXPECT_EQ(parts.fname, "file");

    std::string unified = "C:\\" + name;
    UnifySlashes(unified, '/');
    EXPECT_EQ(unified, "C:/" + name);

    EXPECT_EQ(JoinPath(name, "a.exe"), name + "/a.exe");
}

TEST_F(DoubleBytePaths, TrailBytesKeepTheirCase) {
    EXPECT_FALSE(IsSamePath("C:\\\x95", "C:\\\x95\x5C"));
    EXPECT_FALSE(IsSamePath("C:\\\x83\x41", "c:\\\x83\x61"));
    EXPECT_TRUE(IsSamePath("C:\\\x83\x41x", "c:/\x83\x41X"));
    EXPECT_NE(mbcs::CompareNoCase("\x83\x41", "\x83\x61"), 0);
    EXPECT_EQ(mbcs::CompareNoCase("A\x83\x41", "a\x83\x41"), 0);
}

TEST_F(DoubleBytePaths, MatchesStartOnCharacters) {
    EXPECT_EQ(FindNoCase("\x95\x5C"
                         "x",
                         "\\x"),
              -1);
    EXPECT_EQ(FindNoCase("\x95\x5C\\x", "\\X"), 2);
    EXPECT_EQ(ExePathFromCommandLine("C:\\\x95\x5C.exe /x"), "C:\\\x95\x5C.exe");
}
