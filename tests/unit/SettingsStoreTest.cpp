#include "app/SafeFile.h"
#include "app/SettingsStore.h"
#include "app/SystemHelpers.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

using testsupport::Contains;

class SettingsStore : public ::testing::Test {
  protected:
    void TearDown() override { SetReplaceFailureForTesting(false); }

    std::unique_ptr<CSettingsStore> Open() { return std::make_unique<CSettingsStore>(m_path); }

    // Saves through the store's normal end, as at process exit.
    static void Close(std::unique_ptr<CSettingsStore>& store) {
        store->SetSaveAtExit(true);
        store.reset();
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("settings.ini");
};

TEST_F(SettingsStore, FirstRunWritesTheFileAtExit) {
    auto store = Open();
    EXPECT_EQ(store->GetInt("GENERAL", "FirstUse", 0), 0);
    store->SetInt("GENERAL", "FirstUse", 1);
    Close(store);

    const std::string file = ReadFileText(m_path);
    EXPECT_TRUE(Contains(file, "[GENERAL]")) << file;
    EXPECT_TRUE(Contains(file, "FirstUse=1")) << file;
    EXPECT_EQ(Open()->GetInt("GENERAL", "FirstUse", 0), 1);
}

TEST_F(SettingsStore, NothingIsWrittenWithoutTheSaveFlag) {
    auto store = Open();
    store->SetInt("GENERAL", "FirstUse", 1);
    store.reset();
    EXPECT_FALSE(FileExists(m_path));
}

TEST_F(SettingsStore, TypedReadings) {
    ASSERT_TRUE(WriteFileText(m_path, "[Options]\r\n"
                                      "A=Yes\r\nB=TRUE\r\nC=2\r\nD=on\r\nE=\r\n"
                                      "N=12abc\r\nM=abc\r\nBig=-5000000000\r\n"));
    auto store = Open();
    EXPECT_TRUE(store->GetBool("Options", "A", false));
    EXPECT_TRUE(store->GetBool("Options", "B", false));
    EXPECT_FALSE(store->GetBool("Options", "C", true));
    EXPECT_FALSE(store->GetBool("Options", "D", true));
    EXPECT_TRUE(store->GetBool("Options", "E", true));
    EXPECT_FALSE(store->GetBool("Options", "E", false));
    EXPECT_TRUE(store->GetBool("Options", "Missing", true));
    EXPECT_EQ(store->GetInt("Options", "N", 7), 12);
    EXPECT_EQ(store->GetInt("Options", "M", 7), 0);
    EXPECT_EQ(store->GetInt("Options", "E", 7), 7);
    EXPECT_EQ(store->GetInt64("Options", "Big", 0), -5000000000LL);
    EXPECT_EQ(store->GetInt64("OPTIONS", "FlashColor1", 16382457), 16382457);
    EXPECT_EQ(store->GetString("NoSection", "A", "dflt"), "dflt");
}

TEST_F(SettingsStore, TypedValuesSurviveASave) {
    auto store = Open();
    store->SetBool("Options", "ShowWarningDialogs", true);
    store->SetInt64("OPTIONS", "FlashColor1", 0xF9F9F9);
    store->SetRect("Window", "Place", SettingsRect{-5, 10, 800, 600});
    store->SetDateTime("Window", "Saved", SettingsDateTime{2008, 3, 7, 9, 5, 0});
    Close(store);

    store = Open();
    EXPECT_TRUE(store->GetBool("options", "showwarningdialogs", false));
    EXPECT_EQ(store->GetInt64("Options", "FlashColor1", 0), 0xF9F9F9);
    EXPECT_EQ(store->GetString("Window", "Saved", ""), "2008-03-07 09:05:00");
    SettingsRect rect;
    ASSERT_TRUE(store->GetRect("Window", "Place", rect));
    EXPECT_EQ(rect.left, -5);
    EXPECT_EQ(rect.top, 10);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
}

TEST_F(SettingsStore, RectNeedsAllFourNumbers) {
    auto store = Open();
    store->SetString("Window", "Three", "1,2,3");
    store->SetString("Window", "Empty", "");
    for (const char* key : {"Three", "Empty", "Missing"}) {
        SettingsRect rect{9, 9, 9, 9};
        EXPECT_FALSE(store->GetRect("Window", key, rect)) << key;
        EXPECT_EQ(rect.left + rect.top + rect.right + rect.bottom, 0) << key;
    }
}

TEST_F(SettingsStore, FreeTextWithLineBreaksRoundTrips) {
    const std::string text = "first line\r\nsecond = [line]\n'quoted' \"too\" & <more>";
    auto store = Open();
    store->SetText("Notes", "Text", text);
    const std::string stored = store->GetString("Notes", "Text", "");
    EXPECT_EQ(stored.find_first_of("\r\n=[]"), std::string::npos) << stored;
    EXPECT_EQ(store->GetText("Notes", "Text", ""), text);
    Close(store);

    EXPECT_EQ(Open()->GetText("Notes", "Text", ""), text);
}

TEST_F(SettingsStore, EscapedValueWrittenByHandLoads) {
    ASSERT_TRUE(WriteFileText(m_path, "[Notes]\r\nText=a&#13;&#10;b &AMP; c\r\n"));
    auto store = Open();
    EXPECT_EQ(store->GetText("Notes", "Text", ""), "a\r\nb & c");
    EXPECT_EQ(store->GetText("Notes", "Missing", "x&amp;y"), "x&y");
}

TEST_F(SettingsStore, OverlongValueIsCutAtLoad) {
    const std::string value = std::string(2046, 'v') + "TAIL";
    ASSERT_TRUE(WriteFileText(m_path, "[Long]\r\nValue=" + value + "\r\nNext=ok\r\n"));
    auto store = Open();
    EXPECT_EQ(store->GetString("Long", "Value", ""), value.substr(0, 2046));
    EXPECT_EQ(store->GetString("Long", "Next", ""), "ok");
}

TEST_F(SettingsStore, SectionSpellingsAreOneSection) {
    auto store = Open();
    store->SetInt64("OPTIONS", "FlashColor1", 255);
    store->SetBool("Options", "ShowWarningDialogs", true);
    ASSERT_EQ(store->Sections().size(), 1u);
    EXPECT_EQ(store->Sections()[0].Name(), "OPTIONS");
    Close(store);

    const std::string file = ReadFileText(m_path);
    EXPECT_TRUE(Contains(file, "[OPTIONS]")) << file;
    EXPECT_FALSE(Contains(file, "[Options]")) << file;
    store = Open();
    EXPECT_TRUE(store->GetBool("Options", "ShowWarningDialogs", false));
    EXPECT_EQ(store->GetInt64("Options", "FlashColor1", 0), 255);
}

TEST_F(SettingsStore, FileKeepsTheSpellingFirstRead) {
    ASSERT_TRUE(WriteFileText(m_path, "[Options]\r\nShowWarningDialogs=1\r\n"));
    auto store = Open();
    store->SetInt64("OPTIONS", "FlashColor1", 255);
    Close(store);

    const std::string file = ReadFileText(m_path);
    EXPECT_TRUE(Contains(file, "[Options]")) << file;
    EXPECT_FALSE(Contains(file, "[OPTIONS]")) << file;
    EXPECT_TRUE(Contains(file, "FlashColor1=255")) << file;
    EXPECT_TRUE(Contains(file, "ShowWarningDialogs=1")) << file;
}

TEST_F(SettingsStore, KeysAreStoredAsSpelled) {
    auto store = Open();
    store->SetString("S", "Key", "first");
    store->SetString("S", "KEY", "second");
    ASSERT_EQ(store->Sections().size(), 1u);
    EXPECT_EQ(store->Sections()[0].Values().size(), 2u);
    std::string value;
    ASSERT_TRUE(store->Lookup("S", "key", value));
    EXPECT_EQ(value, "first");
    store->SetString("S", "Key", "replaced");
    EXPECT_EQ(store->Sections()[0].Values().size(), 2u);
    EXPECT_EQ(store->GetString("S", "kEy", ""), "replaced");
    EXPECT_FALSE(store->Lookup("S", "Other", value));
    EXPECT_FALSE(store->Lookup("T", "Key", value));
}

TEST_F(SettingsStore, SaveDropsCommentsAndEmptySections) {
    ASSERT_TRUE(WriteFileText(m_path, "; written by hand\r\n"
                                      "[Empty]\r\n"
                                      "\r\n"
                                      "[GENERAL]\r\n"
                                      "; the first run\r\n"
                                      "FirstUse=1\r\n"));
    auto store = Open();
    EXPECT_EQ(store->Sections().size(), 1u);
    Close(store);

    const std::string file = ReadFileText(m_path);
    EXPECT_FALSE(Contains(file, ";")) << file;
    EXPECT_FALSE(Contains(file, "[Empty]")) << file;
    EXPECT_TRUE(Contains(file, "FirstUse=1")) << file;
}

TEST_F(SettingsStore, EmptyStoreLeavesNoFile) {
    ASSERT_TRUE(WriteFileText(m_path, "; only a comment\r\n[Empty]\r\n"));
    auto store = Open();
    EXPECT_TRUE(store->Save());
    EXPECT_FALSE(FileExists(m_path));
}

TEST_F(SettingsStore, FailedReplaceLeavesTheOldFileWhole) {
    const std::string old = "; keep me\r\n[GENERAL]\r\nFirstUse=1\r\n[Options]\r\nX=old\r\n";
    ASSERT_TRUE(WriteFileText(m_path, old));
    auto store = Open();
    store->SetString("Options", "X", "new");
    store->SetString("Other", "Y", "added");

    SetReplaceFailureForTesting(true);
    EXPECT_FALSE(store->Save());
    EXPECT_EQ(ReadFileText(m_path), old);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_path)));
    Close(store);
    EXPECT_EQ(ReadFileText(m_path), old);

    SetReplaceFailureForTesting(false);
    store = Open();
    store->SetString("Options", "X", "new");
    EXPECT_TRUE(store->Save());
    EXPECT_EQ(Open()->GetString("Options", "X", ""), "new");
}

TEST_F(SettingsStore, ReadOnlyFileIsLeftAloneAndOnlyAChangeFailsToSave) {
    ASSERT_TRUE(WriteFileText(m_path, "[GENERAL]\r\nFirstUse=1\r\n"));
    auto store = Open();
    ASSERT_TRUE(store->Save()) << "a writable file takes the store's own form";
    const std::string saved = ReadFileText(m_path);
    ASSERT_TRUE(SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(store->Save()) << "nothing changed: nothing to write";
    store->SetInt("Options", "ShowWarningDialogs", 1);
    EXPECT_FALSE(store->Save()) << "a change that cannot be written is reported";
    EXPECT_EQ(ReadFileText(m_path), saved);
    EXPECT_FALSE(FileExists(TemporaryPathFor(m_path)));
    SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SettingsStore, StaleTemporaryIsNotCarriedOver) {
    ASSERT_TRUE(WriteFileText(TemporaryPathFor(m_path), "[Junk]\r\nLeft=over\r\n"));
    auto store = Open();
    store->SetInt("GENERAL", "FirstUse", 1);
    ASSERT_TRUE(store->Save());
    const std::string file = ReadFileText(m_path);
    EXPECT_FALSE(Contains(file, "Junk")) << file;
    EXPECT_TRUE(Contains(file, "FirstUse=1")) << file;
}

TEST_F(SettingsStore, RepeatedSavesReflectTheStore) {
    auto store = Open();
    store->SetString("A", "K", "1");
    ASSERT_TRUE(store->Save());
    store->SetString("A", "K", "2");
    store->SetString("B", "K", "3");
    ASSERT_TRUE(store->Save());
    store.reset();

    store = Open();
    EXPECT_EQ(store->GetString("A", "K", ""), "2");
    EXPECT_EQ(store->GetString("B", "K", ""), "3");
}

// The process-wide store lives beside the test program; the file there is put
// back as it was.
TEST(GlobalSettings, BesideTheExecutable) {
    const std::string path = GetExeDir() + "\\settings.ini";
    const bool existed = FileExists(path);
    const std::string before = ReadFileText(path);

    CSettingsStore& settings = GetSettings();
    EXPECT_EQ(&GetSettings(), &settings);
    settings.SetString("OrvaneUnitTest", "Marker", "present");
    SaveSettingsNow();
    const std::string file = ReadFileText(path);
    EXPECT_NE(file.find("[OrvaneUnitTest]"), std::string::npos) << file;
    EXPECT_NE(file.find("Marker=present"), std::string::npos) << file;

    GetSettings().SetSaveAtExit(false);
    if (existed) {
        WriteFileText(path, before);
    } else {
        DeleteFileA(path.c_str());
    }
}
