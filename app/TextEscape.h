#pragma once
// Conversions between the settings file's stored text and typed values. No
// system dependency, so the rules are tested and fuzzed natively.
#include <cstdint>
#include <string>

// "&" "\r" "\n" "\"" "'" "<" ">" "=" "[" "]" become entities so a value
// survives the INI format; UnescapeSettingsText reverses it, ignoring case.
std::string EscapeSettingsText(const std::string& text);
std::string UnescapeSettingsText(const std::string& text);

// The typed readings of a stored value (empty text: the default).
int32_t ParseSettingsInt(const std::string& text, int32_t defaultValue);
bool ParseSettingsBool(const std::string& text, bool defaultValue);
int64_t ParseSettingsInt64(const std::string& text, int64_t defaultValue);
std::string FormatSettingsInt64(int64_t value);

struct SettingsRect {
    long left = 0, top = 0, right = 0, bottom = 0;
};
std::string FormatSettingsRect(const SettingsRect& rect);
// False (and all fields 0) unless the text is longer than 5 characters and holds
// four comma-separated integers.
bool ParseSettingsRect(const std::string& text, SettingsRect& rect);

struct SettingsDateTime {
    int year, month, day, hour, minute, second;
};
std::string FormatSettingsDateTime(const SettingsDateTime& value);
