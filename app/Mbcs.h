#pragma once
// Multi-byte code page primitives. Every helper that walks or compares text goes
// through here, so a "\" that is the trail byte of a double-byte character is
// never mistaken for a separator.
#include <cstddef>
#include <string>

namespace mbcs {

using LeadBytePredicate = bool (*)(unsigned char);

// True when the byte starts a double-byte character in the active code page.
bool IsLeadByte(unsigned char byte);

// Index just past the character that starts at index (never past the end).
size_t NextChar(const std::string& text, size_t index);

// Case-insensitive comparison under the user's locale (_mbsicoll); <0, 0, >0.
int CompareNoCase(const std::string& a, const std::string& b);

// -1, 0 or 1: 0 for texts equal byte for byte, otherwise the sign of their
// case-insensitive order (0 for texts that differ only in case). Only the sign
// of _mbsicoll is used, since its error value is a large positive number.
int CompareCollated(const std::string& a, const std::string& b);

// Byte-exact comparison (_mbscmp); <0, 0, >0.
int Compare(const std::string& a, const std::string& b);

// Case-insensitive comparison of the first count bytes (_mbsnbicoll).
int CompareNoCaseN(const char* a, const char* b, size_t count);

// Tests replace the code page's lead-byte table; nullptr restores the system's.
void SetLeadBytePredicateForTesting(LeadBytePredicate predicate);

} // namespace mbcs
