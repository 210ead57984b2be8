#include "app/RowFilter.h"

#include "app/Mbcs.h"

#ifdef _WIN32
#include <windows.h>
#endif

CaseFold Latin1252CaseFold() {
    CaseFold fold{};
    for (size_t i = 0; i < fold.size(); ++i) {
        fold[i] = static_cast<unsigned char>(i);
    }
    for (unsigned c = 'A'; c <= 'Z'; ++c) {
        fold[c] = static_cast<unsigned char>(c + 0x20);
    }
    // À to Þ but the multiplication sign; Š, Œ, Ž and Ÿ stand apart.
    for (unsigned c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) {
            fold[c] = static_cast<unsigned char>(c + 0x20);
        }
    }
    fold[0x8A] = 0x9A;
    fold[0x8C] = 0x9C;
    fold[0x8E] = 0x9E;
    fold[0x9F] = 0xFF;
    return fold;
}

namespace {

CaseFold MakeSystemCaseFold() {
#ifdef _WIN32
    CaseFold fold{};
    for (size_t i = 0; i < fold.size(); ++i) {
        char letter[2] = {static_cast<char>(i), '\0'};
        if (i != 0 && !mbcs::IsLeadByte(static_cast<unsigned char>(i))) {
            ::CharLowerBuffA(letter, 1);
        }
        fold[i] = static_cast<unsigned char>(letter[0]);
    }
    return fold;
#else
    return Latin1252CaseFold();
#endif
}

} // namespace

const CaseFold& SystemCaseFold() {
    static const CaseFold fold = MakeSystemCaseFold();
    return fold;
}

void CRowFilter::SetText(const std::string& text) {
    m_text = text;
    m_folded = Fold(text);
}

std::string CRowFilter::Fold(std::string_view text) const {
    std::string folded(text);
    const std::string whole(text);
    for (size_t i = 0; i < whole.size();) {
        const size_t next = mbcs::NextChar(whole, i);
        if (next == i + 1) {
            folded[i] = static_cast<char>(m_fold[static_cast<unsigned char>(whole[i])]);
        }
        i = next;
    }
    return folded;
}

bool CRowFilter::Matches(std::initializer_list<std::string_view> texts) const {
    if (m_folded.empty()) {
        return true;
    }
    for (std::string_view text : texts) {
        const std::string whole(text);
        const std::string folded = Fold(text);
        // Only where a character starts: the trail byte of a double-byte
        // character is no match for a single-byte one.
        for (size_t i = 0; i + m_folded.size() <= folded.size(); i = mbcs::NextChar(whole, i)) {
            if (folded.compare(i, m_folded.size(), m_folded) == 0) {
                return true;
            }
        }
    }
    return false;
}
