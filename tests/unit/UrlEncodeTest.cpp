#include "app/UrlEncode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(PercentEncode, UnreservedCharactersStay) {
    const std::string unreserved =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    EXPECT_EQ(PercentEncode(unreserved), unreserved);
    EXPECT_EQ(PercentEncode("svchost.exe"), "svchost.exe");
    EXPECT_EQ(PercentEncode(""), "");
}

TEST(PercentEncode, DelimitersOfAnAddressAreEncoded) {
    EXPECT_EQ(PercentEncode("a b&c#d.exe"), "a%20b%26c%23d.exe");
    EXPECT_EQ(PercentEncode("?=/:%+"), "%3F%3D%2F%3A%25%2B");
    EXPECT_EQ(PercentEncode("\"x\"\\"), "%22x%22%5C");
}

TEST(PercentEncode, EveryOtherByteBecomesUpperCaseHex) {
    // Bytes of the ANSI code page above 0x7F: "é" and "ü" in code page 1252, and
    // a lead and trail byte of a double-byte code page.
    EXPECT_EQ(PercentEncode("\xE9t\xFC"), "%E9t%FC");
    EXPECT_EQ(PercentEncode("\x82\xA0"), "%82%A0");
    EXPECT_EQ(PercentEncode(std::string("\x00\x01\x1F\x7F\xFF", 5)), "%00%01%1F%7F%FF");

    // Of all 256 bytes only the 66 unreserved ones stay; the rest take "%XX".
    int kept = 0;
    for (int value = 0; value < 256; ++value) {
        const std::string one(1, static_cast<char>(value));
        const std::string encoded = PercentEncode(one);
        if (encoded == one) {
            ++kept;
            continue;
        }
        char expected[4] = {};
        std::snprintf(expected, sizeof expected, "%%%02X", value);
        EXPECT_EQ(encoded, expected) << value;
    }
    EXPECT_EQ(kept, 66);
}
