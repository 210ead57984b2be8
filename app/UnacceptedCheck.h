#pragma once
// The check for unaccepted items that the main sheet runs five times a second,
// with its answer kept between checks. Which items are not accepted can only
// change with the items or the accepted list, so the subjects of those items
// are listed again only then. The warning gate's answer changes on its own (a
// warning closes, the user chooses "Remind later"), so it is asked about every
// listed subject on every check.
#include "app/AcceptedList.h"
#include "app/WarningGate.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CUnacceptedCheck {
  public:
    // True when the path of at least one item (anything with a path member,
    // in display order) is not accepted, or its file changed since it was.
    // For each such item the gate is asked, and a warning about subjectOf(item)
    // opens when it allows; an open warning closes the gate, so one check
    // opens at most one. itemsVersion names the items as they are: their
    // holder counts it up whenever they change.
    template <typename Items, typename SubjectOf>
    bool Check(const Items& items, uint64_t itemsVersion, const CAcceptedList& accepted,
               IWarningGate& warnings, SubjectOf subjectOf) {
        if (!m_listed || itemsVersion != m_itemsVersion ||
            accepted.GetVersion() != m_acceptedVersion) {
            m_subjects.clear();
            for (const auto& item : items) {
                if (!accepted.IsAccepted(item.path)) {
                    m_subjects.push_back(subjectOf(item));
                    m_subjects.back().changed = accepted.IsChanged(item.path);
                }
            }
            m_listed = true;
            m_itemsVersion = itemsVersion;
            m_acceptedVersion = accepted.GetVersion();
        }
        const bool unaccepted = !m_subjects.empty();
        // By index, and the subject copied: a warning that opens may lead to
        // another check, which may list the subjects anew.
        for (size_t i = 0; i < m_subjects.size(); ++i) {
            if (warnings.ShouldShowWarning(m_subjects[i].path)) {
                const WarningSubject subject = m_subjects[i];
                warnings.OpenWarning(subject);
            }
        }
        return unaccepted;
    }

  private:
    bool m_listed = false;
    uint64_t m_itemsVersion = 0;
    uint64_t m_acceptedVersion = 0;
    std::vector<WarningSubject> m_subjects;
};
