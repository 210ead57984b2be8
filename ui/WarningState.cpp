#include "ui/WarningState.h"

#include "app/PathHelpers.h"

bool CWarningState::ShouldShowWarning(const std::string& path, bool warningsOn) const {
    if (m_warningDialogOpen || IsPutOff(path)) {
        return false;
    }
    return warningsOn;
}

void CWarningState::RemindLater(const std::string& path) {
    if (!IsPutOff(path)) {
        m_remindLaterList.push_back(path);
    }
}

bool CWarningState::IsPutOff(const std::string& path) const {
    for (const std::string& putOff : m_remindLaterList) {
        if (IsSamePath(putOff, path)) {
            return true;
        }
    }
    return false;
}

std::string GetWarningDisplayName(const WarningSubject& subject) {
    return GetFileNameWithExt(subject.path);
}

std::string BuildWarningMessage(const WarningSubject& subject) {
    std::string text = GetWarningDisplayName(subject);
    if (subject.changed) {
        text += subject.kind == WarningSubjectKind::AutostartEntry
                    ? " (" + subject.name + ")\r\nin your autostart has"
                    : "\r\nhas";
        return text + " changed since you accepted it.\r\nWhat do you want to do about it?";
    }
    if (subject.kind == WarningSubjectKind::AutostartEntry) {
        text += " (" + subject.name + ")\r\nhas just appeared in your autostart";
    } else {
        text += " has just appeared";
    }
    return text + "\r\nand you haven't accepted it.\r\nWhat do you want to do about it?";
}

std::string BuildWarningCaption(const WarningSubject& subject) {
    std::string caption = "Warning: " + GetWarningDisplayName(subject);
    if (subject.kind == WarningSubjectKind::AutostartEntry) {
        caption += " in your autostart";
    }
    return caption;
}

std::string GetWarningRemoveText(WarningSubjectKind kind) {
    return kind == WarningSubjectKind::AutostartEntry ? "Remove" : "Kill";
}

std::string BuildWarningQuestion(WarningSubjectKind kind) {
    return std::string("Are you sure you want to ") +
           (kind == WarningSubjectKind::AutostartEntry ? "remove this application from autostart?"
                                                       : "kill this process?");
}
