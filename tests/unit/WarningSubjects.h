#pragma once
// Warning subjects as the two checks make them, for the warning tests.
#include "app/WarningGate.h"
#include "autostart/AutostartLocations.h"

#include <cstdint>
#include <string>

inline WarningSubject Entry(const std::string& name, const std::string& path) {
    WarningSubject subject;
    subject.kind = WarningSubjectKind::AutostartEntry;
    subject.name = name;
    subject.path = path;
    subject.location = kRunKeyPath;
    subject.root = 0x80000001u;
    return subject;
}

inline WarningSubject Process(const std::string& path, uint32_t id = 0x4242) {
    WarningSubject subject;
    subject.kind = WarningSubjectKind::Process;
    subject.name = path.substr(path.rfind('\\') + 1);
    subject.path = path;
    subject.processId = id;
    return subject;
}
