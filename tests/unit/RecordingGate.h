#pragma once
// Stands in for the warning window: like the real one, an open warning closes
// the gate until it is closed.
#include "app/WarningGate.h"

#include <string>
#include <vector>

class RecordingGate : public IWarningGate {
  public:
    bool ShouldShowWarning(const std::string& path) override {
        asked.push_back(path);
        return warningsOn && !showing;
    }
    void OpenWarning(const WarningSubject& subject) override {
        (subject.kind == WarningSubjectKind::AutostartEntry ? openedEntries : openedRows)
            .push_back(subject);
        showing = true;
    }

    bool warningsOn = true;
    bool showing = false;
    std::vector<std::string> asked;
    // Warnings opened, by kind.
    std::vector<WarningSubject> openedEntries;
    std::vector<WarningSubject> openedRows;
};
