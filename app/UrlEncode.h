#pragma once
// Values put into web addresses, so that any file name gives a right address.
#include <string>

// Letters, digits, "-", ".", "_" and "~" stay; every other byte (bytes of the
// ANSI code page above 0x7F included) becomes "%XX" in upper-case hex.
std::string PercentEncode(const std::string& text);
