#include "app/Archive.h"

#include <climits>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

bool ConvertUtf16ToAnsi(const char16_t* text, size_t count, std::string& ansi) {
    ansi.clear();
    if (count == 0) {
        return true;
    }
#ifdef _WIN32
    if (count > INT_MAX / 2) {
        return false;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    const int units = static_cast<int>(count);
    const int needed = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return false;
    }
    ansi.resize(static_cast<size_t>(needed));
    return WideCharToMultiByte(CP_ACP, 0, wide, units, ansi.data(), needed, nullptr, nullptr) ==
           needed;
#else
    // Without the system's code pages only ASCII survives.
    ansi.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        ansi.push_back(text[i] < 0x80 ? static_cast<char>(text[i]) : '?');
    }
    return true;
#endif
}

bool ArchiveReader::Fail() {
    m_failed = true;
    return false;
}

bool ArchiveReader::Take(size_t count, const unsigned char*& bytes) {
    if (m_failed || count > Remaining()) {
        return Fail();
    }
    bytes = m_data + m_offset;
    m_offset += count;
    return true;
}

bool ArchiveReader::ReadLittleEndian(size_t byteCount, uint64_t& value) {
    const unsigned char* bytes = nullptr;
    if (!Take(byteCount, bytes)) {
        return false;
    }
    value = 0;
    for (size_t i = byteCount; i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return true;
}

bool ArchiveReader::ReadLengthPrefix(uint32_t& length, bool& wideMark) {
    wideMark = false;
    uint8_t first = 0;
    if (!ReadNumber(first)) {
        return false;
    }
    if (first < 0xFF) {
        length = first;
        return true;
    }
    uint16_t word = 0;
    if (!ReadNumber(word)) {
        return false;
    }
    if (word == 0xFFFE) {
        wideMark = true;
        return true;
    }
    if (word < 0xFFFF) {
        length = word;
        return true;
    }
    return ReadNumber(length);
}

bool ArchiveReader::ReadString(std::string& text) {
    uint32_t length = 0;
    bool wide = false;
    if (!ReadLengthPrefix(length, wide)) {
        return false;
    }
    if (wide) {
        bool markAgain = false;
        if (!ReadLengthPrefix(length, markAgain)) {
            return false;
        }
        if (markAgain) {
            return Fail();
        }
    }
    // Checked against what is left before anything is allocated; 64-bit so
    // that twice a 32-bit length cannot wrap.
    const uint64_t byteCount = wide ? 2 * static_cast<uint64_t>(length) : length;
    if (byteCount > Remaining()) {
        return Fail();
    }
    const unsigned char* bytes = nullptr;
    if (!Take(static_cast<size_t>(byteCount), bytes)) {
        return false;
    }
    if (!wide) {
        text.assign(reinterpret_cast<const char*>(bytes), length);
        return true;
    }
    std::u16string units(length, u'\0');
    for (size_t i = 0; i < length; ++i) {
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    std::string ansi;
    if (!ConvertUtf16ToAnsi(units.data(), units.size(), ansi)) {
        return Fail();
    }
    text = std::move(ansi);
    return true;
}

void ArchiveWriter::AppendLittleEndian(uint64_t value, size_t byteCount) {
    for (size_t i = 0; i < byteCount; ++i) {
        m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void ArchiveWriter::WriteStringLength(uint32_t length) {
    if (length < 0xFF) {
        WriteNumber(static_cast<uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteNumber(uint8_t{0xFF});
        WriteNumber(static_cast<uint16_t>(length));
    } else {
        WriteNumber(uint8_t{0xFF});
        WriteNumber(uint16_t{0xFFFF});
        WriteNumber(length);
    }
}

void ArchiveWriter::WriteString(const std::string& text) {
    // The 32-bit form is the longest there is; 0xFFFFFFFF would announce a
    // 64-bit length.
    const size_t length = text.size() < 0xFFFFFFFFu ? text.size() : 0xFFFFFFFEu;
    WriteStringLength(static_cast<uint32_t>(length));
    m_bytes.append(text, 0, length);
}
