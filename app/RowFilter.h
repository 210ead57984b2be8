#pragma once
// What a list's filter field and its "hide the system's own" switch let
// through: a row is shown when one of its texts contains the typed text,
// without regard to case in the program's ANSI code page.
#include "app/FileSignature.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The lower-case form of each single byte; the bytes of a double-byte
// character are never folded.
using CaseFold = std::array<unsigned char, 256>;

// The letters of code page 1252: ASCII and the Latin ones above 0x7F.
CaseFold Latin1252CaseFold();
// The active code page's letters as the system lowers them; Latin1252CaseFold
// where there is no system to ask.
const CaseFold& SystemCaseFold();

class CRowFilter {
  public:
    explicit CRowFilter(const CaseFold& fold = SystemCaseFold()) : m_fold(fold) {}

    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }
    void SetHideSystem(bool hide) { m_hideSystem = hide; }
    bool GetHideSystem() const { return m_hideSystem; }

    // No text typed and the switch off: every row is shown.
    bool ShowsAll() const { return m_folded.empty() && !m_hideSystem; }
    // True when some text contains the filter text (always for an empty one).
    bool Matches(std::initializer_list<std::string_view> texts) const;
    // Matches, and the row's file is not signed by the system's own publisher
    // while that switch is on.
    bool Shows(std::initializer_list<std::string_view> texts,
               const FileSignature& signature) const {
        return !(m_hideSystem && IsSystemPublisher(signature)) && Matches(texts);
    }

  private:
    std::string Fold(std::string_view text) const;

    CaseFold m_fold;
    std::string m_text;
    std::string m_folded;
    bool m_hideSystem = false;
};

// The index of each row the filter lets through, in their order; shows(row)
// asks the filter about one row's texts, only when some filter is set.
template <typename Row, typename Shows>
std::vector<size_t> FilterRows(const std::vector<Row>& rows, const CRowFilter& filter,
                               Shows shows) {
    std::vector<size_t> shown;
    shown.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (filter.ShowsAll() || shows(rows[i])) {
            shown.push_back(i);
        }
    }
    return shown;
}
