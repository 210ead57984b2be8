#include "app/Archive.h"
#include "tests/unit/HexBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Utf16Bytes(const std::string& ascii) {
    std::string bytes;
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

// Reads one string from bytes and requires that it used them all.
std::string ReadOneString(const std::string& bytes) {
    ArchiveReader reader(bytes.data(), bytes.size());
    std::string text = "<unread>";
    EXPECT_TRUE(reader.ReadString(text));
    EXPECT_EQ(reader.Remaining(), 0u);
    return text;
}

} // namespace

TEST(Archive, StringLengthTakesOneThreeOrSevenBytes) {
    const struct {
        size_t length;
        const char* prefix;
    } cases[] = {
        {0, "00"},
        {1, "01"},
        {254, "FE"},
        {255, "FF FF 00"},
        {0x1234, "FF 34 12"},
        {0xFFFD, "FF FD FF"},
        {0xFFFE, "FF FF FF FE FF 00 00"},
        {0xFFFF, "FF FF FF FF FF 00 00"},
        {70000, "FF FF FF 70 11 01 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string text(c.length, 'x');
        ArchiveWriter writer;
        writer.WriteString(text);
        const std::string prefix = HexBytes(c.prefix);
        ASSERT_EQ(writer.Bytes().size(), prefix.size() + c.length);
        EXPECT_EQ(writer.Bytes().substr(0, prefix.size()), prefix);
        EXPECT_EQ(ReadOneString(writer.Bytes()), text);
    }
}

TEST(Archive, Utf16StringsAreReadInAnsi) {
    // Marker 0xFF 0xFFFE, then a second prefix in each of its three forms.
    EXPECT_EQ(ReadOneString(HexBytes("FF FE FF 00")), "");
    EXPECT_EQ(ReadOneString(HexBytes("FF FE FF 0B") + Utf16Bytes("C:\\A\\b.exe ")),
              "C:\\A\\b.exe ");

    const std::string medium(300, 'm');
    EXPECT_EQ(ReadOneString(HexBytes("FF FE FF FF 2C 01") + Utf16Bytes(medium)), medium);

    const std::string large(0x10000, 'L');
    EXPECT_EQ(ReadOneString(HexBytes("FF FE FF FF FF FF 00 00 01 00") + Utf16Bytes(large)), large);

    // Written back, the same text takes the ANSI form.
    ArchiveWriter writer;
    writer.WriteString(ReadOneString(HexBytes("FF FE FF 02") + Utf16Bytes("ab")));
    EXPECT_EQ(writer.Bytes(), HexBytes("02 61 62"));
}

TEST(Archive, CharactersOutsideAsciiAreConverted) {
    std::string ansi;
    // U+4E2D is in no single-byte code page.
    const char16_t text[] = {u'a', 0x4E2D, u'b'};
    ASSERT_TRUE(ConvertUtf16ToAnsi(text, 3, ansi));
    EXPECT_EQ(ansi, "a?b");
    ASSERT_TRUE(ConvertUtf16ToAnsi(nullptr, 0, ansi));
    EXPECT_EQ(ansi, "");
}

TEST(Archive, BrokenStringsFailWithoutReadingPastTheEnd) {
    const char* cases[] = {
        "",                                          // nothing at all
        "05 41 42",                                  // length past the end
        "FF",                                        // 16-bit length cut off
        "FF 01",                                     //
        "FF FF FF 01 00",                            // 32-bit length cut off
        "FF FF FF FF FF FF FF 41 42 43",             // 4 GB announced
        "FF FF FF 00 00 00 80 41",                   // 2 GB announced
        "FF FE FF",                                  // marker, no second prefix
        "FF FE FF 02 41 00 42",                      // half a UTF-16 character missing
        "FF FE FF FF FE FF 01 41 00",                // marker twice
        "FF FE FF FF FF FF 01 00 00 80 41 00 42 00", // 2 x length wraps in 32 bits
    };
    for (const char* hex : cases) {
        SCOPED_TRACE(hex);
        const std::string bytes = HexBytes(hex);
        ArchiveReader reader(bytes.data(), bytes.size());
        std::string text = "kept";
        EXPECT_FALSE(reader.ReadString(text));
        EXPECT_EQ(text, "kept");
        EXPECT_TRUE(reader.Failed());
        // Once broken, nothing further is read.
        uint8_t byte = 7;
        EXPECT_FALSE(reader.ReadNumber(byte));
        EXPECT_EQ(byte, 7);
    }
}

TEST(Archive, NumbersAreLittleEndian) {
    const std::string bytes = HexBytes("78 56 34 12 FE FF FF FF 00 00 00 00 00 00 F0 3F 01");
    ArchiveReader reader(bytes.data(), bytes.size());
    uint32_t u32 = 0;
    int32_t i32 = 0;
    uint64_t u64 = 0;
    ASSERT_TRUE(reader.ReadNumber(u32));
    ASSERT_TRUE(reader.ReadNumber(i32));
    ASSERT_TRUE(reader.ReadNumber(u64));
    EXPECT_EQ(u32, 0x12345678u);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u64, kArchiveRecordMark);
    EXPECT_EQ(reader.Remaining(), 1u);
    uint16_t u16 = 9;
    EXPECT_FALSE(reader.ReadNumber(u16));
    EXPECT_EQ(u16, 9);

    ArchiveWriter writer;
    writer.WriteNumber(0x12345678u);
    writer.WriteNumber(int32_t{-2});
    writer.WriteNumber(kArchiveRecordMark);
    EXPECT_EQ(writer.Bytes(), bytes.substr(0, 16));
}
