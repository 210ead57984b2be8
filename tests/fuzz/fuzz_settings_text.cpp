// The settings file's text conversions on arbitrary bytes: escaping must come
// back unchanged, and typed readings must be total and consistent.
#include "app/TextEscape.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool SameRect(const SettingsRect& a, const SettingsRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::string escaped = EscapeSettingsText(text);
    Require(escaped.find_first_of("\r\n\"'<>=[]") == std::string::npos);
    Require(UnescapeSettingsText(escaped) == text);
    UnescapeSettingsText(text);

    SettingsRect rect;
    if (ParseSettingsRect(text, rect)) {
        SettingsRect again{1, 1, 1, 1};
        Require(ParseSettingsRect(FormatSettingsRect(rect), again) && SameRect(rect, again));
    } else {
        Require(SameRect(rect, SettingsRect{}));
    }

    ParseSettingsInt(text, 0);
    ParseSettingsBool(text, false);
    const int64_t value = ParseSettingsInt64(text, 0);
    Require(ParseSettingsInt64(FormatSettingsInt64(value), 1) == value);
    return 0;
}
