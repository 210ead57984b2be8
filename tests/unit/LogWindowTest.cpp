#include "app/Log.h"
#include "ui/LogWindow.h"

#include "res/resource.h"

#include <gtest/gtest.h>

TEST(LogLines, ValueFollowsItsLabelDirectlyAndTheWindowShowsTheWholeLog) {
    CLogWindowDlg& window = GetLogWindow();
    if (!window.IsWindow()) {
        ASSERT_TRUE(CreateLogWindow());
    }
    ClearLog();
    LogLine("InitInstance");
    LogValue("FirstUsage?:", 1);
    LogValue("Big:", 4294967295u);
    EXPECT_EQ(GetLogText(), "InitInstance\r\nFirstUsage?:1\r\nBig:4294967295\r\n");
    EXPECT_EQ(window.GetItemText(IDC_LOG_TEXT), GetLogText());
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
