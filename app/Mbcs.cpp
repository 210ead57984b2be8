#include "app/Mbcs.h"

#ifdef _WIN32
#include <windows.h>
#include <mbstring.h>
#endif

namespace mbcs {
namespace {

LeadBytePredicate g_testLeadBytes = nullptr;

unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Walks two C strings character by character: the bytes of a double-byte
// character compare exactly, single bytes optionally without case. At most
// limit bytes are compared.
int CompareByCharacter(const char* a, const char* b, size_t limit, bool ignoreCase) {
    const auto* p = reinterpret_cast<const unsigned char*>(a);
    const auto* q = reinterpret_cast<const unsigned char*>(b);
    size_t i = 0;
    while (i < limit) {
        const bool doubleByte = p[i] != 0 && IsLeadByte(p[i]) && p[i + 1] != 0;
        const size_t width = doubleByte ? 2 : 1;
        for (size_t k = 0; k < width && i < limit; ++k, ++i) {
            unsigned char x = p[i];
            unsigned char y = q[i];
            if (ignoreCase && !doubleByte) {
                x = FoldCase(x);
                y = FoldCase(y);
            }
            if (x != y) {
                return x < y ? -1 : 1;
            }
            if (x == 0) {
                return 0;
            }
        }
    }
    return 0;
}

} // namespace

bool IsLeadByte(unsigned char byte) {
    if (g_testLeadBytes) {
        return g_testLeadBytes(byte);
    }
#ifdef _WIN32
    return IsDBCSLeadByte(byte) != FALSE;
#else
    return false;
#endif
}

size_t NextChar(const std::string& text, size_t index) {
    if (index >= text.size()) {
        return text.size();
    }
    if (IsLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size() &&
        text[index + 1] != '\0') {
        return index + 2;
    }
    return index + 1;
}

// The runtime's functions follow the real code page; a test's lead-byte table
// is honoured by walking the text ourselves.
int CompareNoCase(const std::string& a, const std::string& b) {
#ifdef _WIN32
    if (!g_testLeadBytes) {
        return _mbsicoll(reinterpret_cast<const unsigned char*>(a.c_str()),
                         reinterpret_cast<const unsigned char*>(b.c_str()));
    }
#endif
    return CompareByCharacter(a.c_str(), b.c_str(), static_cast<size_t>(-1), true);
}

int CompareCollated(const std::string& a, const std::string& b) {
    if (a == b) {
        return 0;
    }
    const int order = CompareNoCase(a, b);
    return (order > 0) - (order < 0);
}

int Compare(const std::string& a, const std::string& b) {
#ifdef _WIN32
    if (!g_testLeadBytes) {
        return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                       reinterpret_cast<const unsigned char*>(b.c_str()));
    }
#endif
    return CompareByCharacter(a.c_str(), b.c_str(), static_cast<size_t>(-1), false);
}

int CompareNoCaseN(const char* a, const char* b, size_t count) {
#ifdef _WIN32
    if (!g_testLeadBytes) {
        return _mbsnbicoll(reinterpret_cast<const unsigned char*>(a),
                           reinterpret_cast<const unsigned char*>(b), count);
    }
#endif
    return CompareByCharacter(a, b, count, true);
}

void SetLeadBytePredicateForTesting(LeadBytePredicate predicate) {
    g_testLeadBytes = predicate;
}

} // namespace mbcs
