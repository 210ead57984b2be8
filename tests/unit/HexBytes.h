#pragma once
// Byte strings written as hex in tests: "00 F0 3F" gives three bytes.
#include <cctype>
#include <cstdlib>
#include <string>

inline std::string HexBytes(const char* hex) {
    std::string bytes;
    std::string digits;
    for (const char* p = hex; *p; ++p) {
        if (std::isxdigit(static_cast<unsigned char>(*p))) {
            digits.push_back(*p);
        }
        if (digits.size() == 2) {
            bytes.push_back(static_cast<char>(std::strtoul(digits.c_str(), nullptr, 16)));
            digits.clear();
        }
    }
    return bytes;
}
