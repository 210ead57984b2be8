#include "autostart/CurrentEntries.h"

#include "app/PathHelpers.h"
#include "app/Signature.h"
#include "autostart/AutostartScan.h"
#include "autostart/EntryTexts.h"

#include <algorithm>
#include <utility>

CCurrentEntries::CCurrentEntries(std::string acceptedFile) : m_accepted(std::move(acceptedFile)) {}

bool SameEntries(const AutostartEntryList& a, const AutostartEntryList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].path != b[i].path || a[i].location != b[i].location ||
            a[i].switchedOff != b[i].switchedOff || a[i].kind != b[i].kind ||
            a[i].state != b[i].state) {
            return false;
        }
    }
    return true;
}

bool CCurrentEntries::Refresh(bool onlyIfChanged) {
    AutostartEntryList fresh;
    EnumerateAutostartEntries(fresh);
    // What is known of files unchanged since they were verified, without verifying.
    for (AutostartEntry& entry : fresh) {
        entry.signature = GetSignatureCache().Find(GetEntryFile(entry));
    }
    SortEntries(fresh, static_cast<int>(fresh.size()) - 1, m_order.ascending, m_order.column);
    // A file changed since it was verified counts as a change: it is verified again.
    const auto sameSignatures = [&fresh, this] {
        for (size_t i = 0; i < fresh.size(); ++i) {
            if (fresh[i].signature.state != m_entries[i].signature.state) {
                return false;
            }
        }
        return true;
    };
    const bool replace = !onlyIfChanged || !SameEntries(fresh, m_entries) || !sameSignatures();
    if (replace) {
        m_entries = std::move(fresh);
        m_startingEntries.clear();
        for (const AutostartEntry& entry : m_entries) {
            if (!entry.switchedOff) {
                m_startingEntries.push_back(entry);
            }
        }
        ++m_entriesVersion;
    }
    // A program's file changes without its entry changing.
    CheckFiles();
    return replace;
}

void CCurrentEntries::CheckFiles() {
    for (const AutostartEntry& entry : m_entries) {
        if (m_accepted.GetState(entry.path) != 0) {
            m_accepted.CheckFile(entry.path, AutostartFileOf(entry));
        }
    }
}

std::string GetEntryFile(const AutostartEntry& entry) {
    return CommandLineToFilePath(entry.path);
}

bool CCurrentEntries::FillSignatures(std::chrono::steady_clock::time_point deadline) {
    const SignatureTurn turn =
        ::FillSignatures(m_entries, GetEntryFile, GetSignatureCache(), deadline);
    if (turn.filled && m_order.column == kEntryColumnSignature) {
        SortEntries(m_entries, static_cast<int>(m_entries.size()) - 1, m_order.ascending,
                    m_order.column);
        ++m_entriesVersion;
    }
    return turn.left;
}

void CCurrentEntries::SetSortColumn(int clickedColumn) {
    int column = (clickedColumn == kEntryColumnPath || clickedColumn == kEntryColumnLocation ||
                  clickedColumn == kEntryColumnSignature)
                     ? clickedColumn
                     : kEntryColumnName;
    m_order.Click(column);
}

WarningSubject WarningSubjectOf(const AutostartEntry& entry) {
    WarningSubject subject;
    subject.kind = WarningSubjectKind::AutostartEntry;
    subject.name = entry.name;
    subject.path = entry.path;
    subject.location = entry.location;
    subject.root = entry.root;
    subject.entryKind = static_cast<int32_t>(entry.kind);
    subject.itemName = entry.itemName;
    return subject;
}

bool CCurrentEntries::AcceptPath(const std::string& path) {
    for (const AutostartEntry& entry : m_entries) {
        // The entry's own spelling, which the check looks up.
        if (IsSamePath(entry.path, path)) {
            m_accepted.Accept(entry.path, AutostartFileOf(entry));
        }
    }
    return m_accepted.WriteTo(m_accepted.GetFile());
}

bool CCurrentEntries::SetAccepted(const std::vector<std::string>& paths, int32_t state) {
    for (const std::string& path : paths) {
        const auto entry = std::find_if(m_entries.begin(), m_entries.end(),
                                        [&](const AutostartEntry& e) { return e.path == path; });
        if (state != 0 && entry != m_entries.end()) {
            m_accepted.Accept(path, AutostartFileOf(*entry));
        } else {
            m_accepted.SetState(path, state);
        }
    }
    return m_accepted.WriteTo(m_accepted.GetFile());
}

bool CCurrentEntries::CheckUnaccepted(IWarningGate& warnings) const {
    return m_check.Check(m_startingEntries, m_entriesVersion, m_accepted, warnings,
                         [](const AutostartEntry& entry) { return WarningSubjectOf(entry); });
}
