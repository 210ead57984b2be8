#pragma once
// What the checks for unaccepted autostart entries and processes need from the
// warning window: whether a warning may open for a path now, and opening one
// for a subject. The warning window provides it; the checks only ask.
#include "autostart/AutostartEntry.h"

#include <cstdint>
#include <string>

struct ProcessRow; // a row of the process table

// The warning window's subject kind, chosen by the opener.
enum class WarningSubjectKind : int32_t {
    Process = 1,
    AutostartEntry = 2,
};

class IWarningGate {
  public:
    // False while a warning is showing, for paths put off with "Remind later"
    // in this run, and when warnings are switched off.
    virtual bool ShouldShowWarning(const std::string& path) = 0;
    // Opens a modeless warning for a copy of the subject (kind AutostartEntry:
    // name, path, location and root).
    virtual void OpenWarning(const AutostartEntry& entry) = 0;
    // Kind Process: a copy of the whole row.
    virtual void OpenWarning(const ProcessRow& row) = 0;

  protected:
    ~IWarningGate() = default;
};
