#include "app/TextEscape.h"

#include <cstdio>
#include <iterator>
#include <limits>

namespace {

struct Entity {
    const char* character;
    const char* escaped;
};

// "&" comes first when escaping so the later entities are not escaped again,
// and last when unescaping so "&amp;lt;" gives "&lt;", not "<".
constexpr Entity kEntities[] = {
    {"&", "&amp;"}, {"\r", "&#13;"}, {"\n", "&#10;"}, {"\"", "&quot;"}, {"'", "&#39;"},
    {"<", "&lt;"},  {">", "&gt;"},   {"=", "&#61;"},  {"[", "&#91;"},   {"]", "&#93;"},
};

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCaseAt(const std::string& text, size_t at, const std::string& pattern) {
    if (text.size() - at < pattern.size()) {
        return false;
    }
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (FoldCase(text[at + i]) != FoldCase(pattern[i])) {
            return false;
        }
    }
    return true;
}

// Replaces every occurrence of from (ignoring case when asked), resuming the
// search directly after each inserted text.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to,
                bool ignoreCase) {
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const bool match =
            ignoreCase ? EqualsNoCaseAt(text, i, from) : text.compare(i, from.size(), from) == 0;
        if (match) {
            result += to;
            i += from.size();
        } else {
            result += text[i++];
        }
    }
    text.swap(result);
}

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads an optionally signed decimal number at pos, as the C runtime's
// conversions do: leading white space skipped, saturating at the type's limits.
// False when no digit follows.
template <typename Int> bool ReadInteger(const std::string& text, size_t& pos, Int& value) {
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !IsDigit(text[pos])) {
        return false;
    }
    Int result = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        const Int digit = static_cast<Int>(text[pos] - '0');
        if (negative) {
            result = result < (std::numeric_limits<Int>::min() + digit) / 10
                         ? std::numeric_limits<Int>::min()
                         : static_cast<Int>(result * 10 - digit);
        } else {
            result = result > (std::numeric_limits<Int>::max() - digit) / 10
                         ? std::numeric_limits<Int>::max()
                         : static_cast<Int>(result * 10 + digit);
        }
    }
    value = result;
    return true;
}

template <typename Int> Int ParseLeadingInteger(const std::string& text, Int defaultValue) {
    if (text.empty()) {
        return defaultValue;
    }
    size_t pos = 0;
    Int value = 0;
    ReadInteger(text, pos, value);
    return value;
}

} // namespace

std::string EscapeSettingsText(const std::string& text) {
    std::string result = text;
    for (const Entity& entity : kEntities) {
        ReplaceAll(result, entity.character, entity.escaped, false);
    }
    return result;
}

std::string UnescapeSettingsText(const std::string& text) {
    std::string result = text;
    for (size_t i = 1; i < std::size(kEntities); ++i) {
        ReplaceAll(result, kEntities[i].escaped, kEntities[i].character, true);
    }
    ReplaceAll(result, kEntities[0].escaped, kEntities[0].character, true);
    return result;
}

int32_t ParseSettingsInt(const std::string& text, int32_t defaultValue) {
    return ParseLeadingInteger<int32_t>(text, defaultValue);
}

bool ParseSettingsBool(const std::string& text, bool defaultValue) {
    if (text.empty()) {
        return defaultValue;
    }
    auto equalsNoCase = [&text](const std::string& word) {
        return text.size() == word.size() && EqualsNoCaseAt(text, 0, word);
    };
    return text == "1" || equalsNoCase("true") || equalsNoCase("yes");
}

int64_t ParseSettingsInt64(const std::string& text, int64_t defaultValue) {
    return ParseLeadingInteger<int64_t>(text, defaultValue);
}

std::string FormatSettingsInt64(int64_t value) {
    return std::to_string(value);
}

std::string FormatSettingsRect(const SettingsRect& rect) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right,
                  rect.bottom);
    return buffer;
}

bool ParseSettingsRect(const std::string& text, SettingsRect& rect) {
    rect = SettingsRect{};
    if (text.size() <= 5) {
        return false;
    }
    int32_t fields[4] = {};
    size_t pos = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') {
                return false;
            }
            ++pos;
        }
        if (!ReadInteger(text, pos, fields[i])) {
            return false;
        }
    }
    rect.left = fields[0];
    rect.top = fields[1];
    rect.right = fields[2];
    rect.bottom = fields[3];
    return true;
}

std::string FormatSettingsDateTime(const SettingsDateTime& value) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%d-%02d-%02d %02d:%02d:%02d", value.year, value.month,
                  value.day, value.hour, value.minute, value.second);
    return buffer;
}
