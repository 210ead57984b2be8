#pragma once
// The warning window's state for the whole program and what the window says,
// apart from any window: WarningDialogOpen, the paths put off with "Remind
// later" in this run (RemindLaterList), the question ShouldShowWarning, and
// the texts built from a subject.
#include "app/WarningGate.h"

#include <string>
#include <vector>

class CWarningState {
  public:
    // False while a warning is open, for a path put off with "Remind later"
    // (compared with IsSamePath), and when warnings are switched off.
    bool ShouldShowWarning(const std::string& path, bool warningsOn) const;

    // Set while a warning window exists, from its initialisation until its
    // window is destroyed.
    bool IsWarningDialogOpen() const { return m_warningDialogOpen; }
    void SetWarningDialogOpen(bool open) { m_warningDialogOpen = open; }

    // Puts the path off for the rest of the run; a path already there is not
    // added again.
    void RemindLater(const std::string& path);
    bool IsPutOff(const std::string& path) const;
    const std::vector<std::string>& GetRemindLaterList() const { return m_remindLaterList; }

  private:
    bool m_warningDialogOpen = false;
    std::vector<std::string> m_remindLaterList;
};

// The subject's file name with extension, taken from its path as stored (for
// an entry, the whole command text).
std::string GetWarningDisplayName(const WarningSubject& subject);
// The message, plain text in three lines: for an entry "<display name>
// (<name>)", "has just appeared in your autostart"; for a process
// "<display name> has just appeared"; then "and you haven't accepted it.",
// "What do you want to do about it?". For a subject whose file changed since it
// was accepted: "<display name> (<name>)" and "in your autostart has changed
// since you accepted it." for an entry, "<display name>" and "has changed
// since you accepted it." for a process, then the question.
std::string BuildWarningMessage(const WarningSubject& subject);
// "Warning: <display name>", for an entry followed by " in your autostart".
std::string BuildWarningCaption(const WarningSubject& subject);
// The text of button 1040: "Remove" for an entry, "Kill" for a process.
std::string GetWarningRemoveText(WarningSubjectKind kind);
// The question button 1040 asks first.
std::string BuildWarningQuestion(WarningSubjectKind kind);
