#pragma once
// The binary form of the program's data files ("autostart.dat", "processes.dat",
// "_index_.dat"): little-endian numbers and length-prefixed strings as the
// class library's archive writes them. Reading is bounded by the bytes at hand:
// a count or length that promises more than is there fails the read instead of
// allocating for it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

// The 64-bit floating-point value 1.0 that opens every record, as its bytes.
constexpr uint64_t kArchiveRecordMark = 0x3FF0000000000000ull;

// UTF-16 text in the system's ANSI code page (characters it lacks become "?").
// False when the text is too long to convert.
bool ConvertUtf16ToAnsi(const char16_t* text, size_t count, std::string& ansi);

class ArchiveReader {
  public:
    ArchiveReader(const void* data, size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}

    // Each read fails, and every later read with it, when the bytes run out
    // or a string prefix is broken; the value is then left unchanged.
    template <typename T> bool ReadNumber(T& value) {
        static_assert(std::is_integral_v<T>, "integers of 1, 2, 4 or 8 bytes");
        uint64_t bits = 0;
        if (!ReadLittleEndian(sizeof(T), bits)) {
            return false;
        }
        value = static_cast<T>(bits);
        return true;
    }
    // ANSI strings as they are; strings stored as UTF-16 come back in ANSI.
    bool ReadString(std::string& text);

    // One description of a record's fields serves reading and writing.
    template <typename T> bool Transfer(T& value) { return ReadNumber(value); }
    bool Transfer(std::string& text) { return ReadString(text); }

    bool Failed() const { return m_failed; }
    size_t Remaining() const { return m_size - m_offset; }

  private:
    bool Take(size_t count, const unsigned char*& bytes);
    bool ReadLittleEndian(size_t byteCount, uint64_t& value);
    // One length prefix; wideMark is set, and length left alone, when it is
    // the marker of a UTF-16 string.
    bool ReadLengthPrefix(uint32_t& length, bool& wideMark);
    bool Fail();

    const unsigned char* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_failed = false;
};

class ArchiveWriter {
  public:
    template <typename T> void WriteNumber(T value) {
        static_assert(std::is_integral_v<T>, "integers of 1, 2, 4 or 8 bytes");
        AppendLittleEndian(static_cast<uint64_t>(value), sizeof(T));
    }
    // Always the ANSI form.
    void WriteString(const std::string& text);

    template <typename T> void Transfer(const T& value) { WriteNumber(value); }
    void Transfer(const std::string& text) { WriteString(text); }

    const std::string& Bytes() const { return m_bytes; }

  private:
    void AppendLittleEndian(uint64_t value, size_t byteCount);
    // One byte below 255; 0xFF and 16 bits below 0xFFFE; otherwise 0xFF,
    // 0xFFFF and 32 bits.
    void WriteStringLength(uint32_t length);

    std::string m_bytes;
};
