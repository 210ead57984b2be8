#include "app/Log.h"

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

TEST(LogBuffer, ViewerSeesEveryChangeOfTheWholeLog) {
    static std::string seen;
    static int calls = 0;
    ClearLog();
    SetLogViewer([](const std::string& log) {
        seen = log;
        ++calls;
    });
    LogLine("one");
    LogValue("two:", 2);
    EXPECT_EQ(seen, "one\r\ntwo:2\r\n");
    EXPECT_EQ(calls, 2);
    ClearLog();
    EXPECT_EQ(seen, "");
    SetLogViewer(nullptr);
    LogLine("unseen");
    EXPECT_EQ(calls, 3) << "no viewer is called once it is taken away";
    EXPECT_EQ(GetLogText(), "unseen\r\n");
    ClearLog();
}
