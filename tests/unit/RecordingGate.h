#pragma once
// Stands in for the warning window: like the real one, an open warning closes
// the gate until it is closed.
#include "autostart/WarningGate.h"
#include "process/ProcessRow.h"

#include <string>
#include <vector>

class RecordingGate : public IWarningGate {
  public:
    bool ShouldShowWarning(const std::string& path) override {
        asked.push_back(path);
        return warningsOn && !showing;
    }
    void OpenWarning(const AutostartEntry& entry) override {
        openedEntries.push_back(entry);
        showing = true;
    }
    void OpenWarning(const ProcessRow& row) override {
        openedRows.push_back(row);
        showing = true;
    }

    bool warningsOn = true;
    bool showing = false;
    std::vector<std::string> asked;
    std::vector<AutostartEntry> openedEntries;
    ProcessRowList openedRows;
};
