#pragma once
// What the checks for unaccepted autostart entries and processes need from the
// warning window: whether a warning may open for a path now, and opening one
// for a subject. The warning window provides it; the checks only ask.
#include <cstdint>
#include <string>

// The warning window's subject kind, chosen by the opener.
enum class WarningSubjectKind : int32_t {
    Process = 1,
    AutostartEntry = 2,
};

// What a warning is about, whichever list it came from.
struct WarningSubject {
    WarningSubjectKind kind = WarningSubjectKind::Process;
    // The process's or the entry's name.
    std::string name;
    // The path as the list holds it: an entry's whole command text, a process's executable.
    std::string path;
    // The path was accepted, but its file changed since.
    bool changed = false;
    // Kind Process: the process to kill, and when it started.
    uint32_t processId = 0;
    uint64_t processCreationTime = 0;
    // Kind AutostartEntry: where the entry lives (key path or the folder item's
    // path) and its hive (0 for a folder item), to remove it.
    std::string location;
    uint32_t root = 0;
    // Kind AutostartEntry: the entry's AutostartKind and its service's or value's
    // own name, which a removal needs for the kinds beyond folders and Run keys.
    int32_t entryKind = 0;
    std::string itemName;
};

class IWarningGate {
  public:
    // False while a warning is showing, for paths put off with "Remind later"
    // in this run, and when warnings are switched off.
    virtual bool ShouldShowWarning(const std::string& path) = 0;
    // Opens a modeless warning for a copy of the subject.
    virtual void OpenWarning(const WarningSubject& subject) = 0;

  protected:
    ~IWarningGate() = default;
};
