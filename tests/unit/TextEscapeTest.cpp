// No system calls here: this file also runs natively under the sanitizers.
#include "app/TextEscape.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SettingsTextEscape, EveryCharacterTheIniFormatWouldBreakOn) {
    EXPECT_EQ(EscapeSettingsText("a&b\r\n\"'<>=[]"),
              "a&amp;b&#13;&#10;&quot;&#39;&lt;&gt;&#61;&#91;&#93;");
    EXPECT_EQ(EscapeSettingsText("plain text 123"), "plain text 123");
    EXPECT_EQ(EscapeSettingsText(""), "");
}

TEST(SettingsTextEscape, UnescapeIgnoresCase) {
    EXPECT_EQ(UnescapeSettingsText("&LT;&Gt;&QUOT;&AMP;"), "<>\"&");
    EXPECT_EQ(UnescapeSettingsText("x&#13;&#10;y"), "x\r\ny");
}

TEST(SettingsTextEscape, UnescapeReplacesOnce) {
    EXPECT_EQ(UnescapeSettingsText("&amp;amp;"), "&amp;");
    EXPECT_EQ(UnescapeSettingsText("&amp;lt;"), "&lt;");
    EXPECT_EQ(UnescapeSettingsText("&amp;#61;"), "&#61;");
    EXPECT_EQ(UnescapeSettingsText("&lt;&lt;"), "<<");
    EXPECT_EQ(UnescapeSettingsText("&unknown; & &#9;"), "&unknown; & &#9;");
}

TEST(SettingsTextEscape, RoundTrip) {
    const std::string texts[] = {
        "line one\r\nline two = [section]", "&AMP; &amp; &#13; &lt;",    "a&&b;;;&#",
        std::string("nul\0inside", 10),     "\"quoted\" 'single' <tag>",
    };
    for (const std::string& text : texts) {
        const std::string escaped = EscapeSettingsText(text);
        EXPECT_EQ(escaped.find_first_of("\r\n\"'<>=[]"), std::string::npos) << escaped;
        EXPECT_EQ(UnescapeSettingsText(escaped), text);
    }
}

TEST(SettingsValues, IntReadsTheLeadingNumber) {
    EXPECT_EQ(ParseSettingsInt("12abc", 5), 12);
    EXPECT_EQ(ParseSettingsInt("abc", 5), 0);
    EXPECT_EQ(ParseSettingsInt("", 5), 5);
    EXPECT_EQ(ParseSettingsInt(" \t-7", 5), -7);
    EXPECT_EQ(ParseSettingsInt("+8", 5), 8);
    EXPECT_EQ(ParseSettingsInt("- 8", 5), 0);
    EXPECT_EQ(ParseSettingsInt("-2147483648", 5), std::numeric_limits<int32_t>::min());
}

TEST(SettingsValues, OutOfRangeNumbersStopAtTheLimits) {
    EXPECT_EQ(ParseSettingsInt("2147483648", 0), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ParseSettingsInt("-99999999999999999999", 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ParseSettingsInt64("9223372036854775808", 0), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseSettingsInt64("-9223372036854775808", 0), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseSettingsInt64("-9223372036854775809", 0), std::numeric_limits<int64_t>::min());
}

TEST(SettingsValues, Int64) {
    EXPECT_EQ(ParseSettingsInt64("", 16382457), 16382457);
    EXPECT_EQ(ParseSettingsInt64("4294967296", 0), 4294967296LL);
    EXPECT_EQ(ParseSettingsInt64("0x10", 7), 0);
    EXPECT_EQ(FormatSettingsInt64(-5000000000LL), "-5000000000");
    EXPECT_EQ(ParseSettingsInt64(FormatSettingsInt64(std::numeric_limits<int64_t>::min()), 0),
              std::numeric_limits<int64_t>::min());
}

TEST(SettingsValues, Bool) {
    for (const char* yes : {"1", "true", "TRUE", "True", "yes", "Yes", "YES"}) {
        EXPECT_TRUE(ParseSettingsBool(yes, false)) << yes;
    }
    for (const char* no : {"0", "2", "on", "no", "false", "11", " 1", "yes "}) {
        EXPECT_FALSE(ParseSettingsBool(no, true)) << no;
    }
    EXPECT_TRUE(ParseSettingsBool("", true));
    EXPECT_FALSE(ParseSettingsBool("", false));
}

TEST(SettingsValues, RectReadsFourNumbers) {
    SettingsRect rect;
    ASSERT_TRUE(ParseSettingsRect("1,2,3,4", rect));
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.top, 2);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);

    ASSERT_TRUE(ParseSettingsRect("-10, -20, 300,400 tail", rect));
    EXPECT_EQ(rect.left, -10);
    EXPECT_EQ(rect.top, -20);
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(rect.bottom, 400);
}

TEST(SettingsValues, RectFailsWhole) {
    for (const char* text : {"1,2,3", "", "1,2,3,x", "1 ,2,3,4", "a,b,c,d", "1;2;3;4"}) {
        SettingsRect rect{9, 9, 9, 9};
        EXPECT_FALSE(ParseSettingsRect(text, rect)) << text;
        EXPECT_EQ(rect.left, 0) << text;
        EXPECT_EQ(rect.top, 0) << text;
        EXPECT_EQ(rect.right, 0) << text;
        EXPECT_EQ(rect.bottom, 0) << text;
    }
}

TEST(SettingsValues, RectRoundTrip) {
    const SettingsRect rect{-2147483647 - 1, 0, 2147483647, -1};
    const std::string text = FormatSettingsRect(rect);
    EXPECT_EQ(text, "-2147483648,0,2147483647,-1");
    SettingsRect back;
    ASSERT_TRUE(ParseSettingsRect(text, back));
    EXPECT_EQ(back.left, rect.left);
    EXPECT_EQ(back.top, rect.top);
    EXPECT_EQ(back.right, rect.right);
    EXPECT_EQ(back.bottom, rect.bottom);
}

TEST(SettingsValues, DateTimePadsAllButTheYear) {
    EXPECT_EQ(FormatSettingsDateTime({2008, 3, 7, 9, 5, 0}), "2008-03-07 09:05:00");
    EXPECT_EQ(FormatSettingsDateTime({1999, 12, 31, 23, 59, 59}), "1999-12-31 23:59:59");
    EXPECT_EQ(FormatSettingsDateTime({800, 1, 1, 0, 0, 0}), "800-01-01 00:00:00");
}
