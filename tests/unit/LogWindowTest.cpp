#include "app/LogWindow.h"

#include "res/resource.h"

#include <gtest/gtest.h>

TEST(LogTrimming, KeepsUpToTheLimitThenDropsTheOldestThousandOnce) {
    std::string log;
    AppendToLog(log, std::string(kLogLimitCharacters - 2, 'a'));
    EXPECT_EQ(log.size(), kLogLimitCharacters) << "exactly at the limit: nothing dropped";

    AppendToLog(log, "b");
    EXPECT_EQ(log.size(), kLogLimitCharacters + 3 - kLogTrimCharacters);
    EXPECT_EQ(log.substr(log.size() - 3), "b\r\n") << "the newest line stays";

    // One call trims once, even when the line alone is larger than the limit.
    std::string huge;
    AppendToLog(huge, std::string(kLogLimitCharacters * 2, 'c'));
    EXPECT_EQ(huge.size(), kLogLimitCharacters * 2 + 2 - kLogTrimCharacters);
}

TEST(LogLines, ValueFollowsItsLabelDirectlyAndTheWindowShowsTheWholeLog) {
    CLogWindowDlg& window = GetLogWindow();
    if (!window.IsWindow()) {
        ASSERT_TRUE(CreateLogWindow());
    }
    window.m_strLog.clear();
    LogLine("InitInstance");
    LogValue("FirstUsage?:", 1);
    LogValue("Big:", 4294967295u);
    EXPECT_EQ(window.m_strLog, "InitInstance\r\nFirstUsage?:1\r\nBig:4294967295\r\n");
    EXPECT_EQ(window.GetItemText(IDC_LOG_TEXT), window.m_strLog);
    EXPECT_FALSE(::IsWindowVisible(window.GetHwnd())) << "the log starts hidden";
}

TEST(LogLines, OkCancelAndEscapeOnlyHideTheLogWindow) {
    CLogWindowDlg& window = GetLogWindow();
    if (!window.IsWindow()) {
        ASSERT_TRUE(CreateLogWindow());
    }
    for (int button : {IDOK, IDCANCEL}) {
        ::ShowWindow(window.GetHwnd(), SW_SHOWNORMAL);
        ::SendMessageA(window.GetHwnd(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(window.GetItem(button)));
        EXPECT_TRUE(window.IsWindow()) << button;
        EXPECT_FALSE(::IsWindowVisible(window.GetHwnd())) << button;
    }
    // Text added while hidden is there when it is shown again.
    LogLine("while hidden");
    EXPECT_NE(window.GetItemText(IDC_LOG_TEXT).find("while hidden\r\n"), std::string::npos);
}
