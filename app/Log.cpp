#include "app/Log.h"

#include "app/PathHelpers.h"

namespace {

struct LogState {
    std::string text;
    LogViewer viewer = nullptr;
};

LogState& State() {
    static LogState state;
    return state;
}

void Changed() {
    if (State().viewer) {
        State().viewer(State().text);
    }
}

} // namespace

void AppendToLog(std::string& log, const std::string& line) {
    log += line;
    log += "\r\n";
    if (log.size() > kLogLimitCharacters) {
        log.erase(0, kLogTrimCharacters);
    }
}

void LogLine(const std::string& text) {
    AppendToLog(State().text, text);
    Changed();
}

void LogValue(const std::string& label, uint32_t value) {
    LogLine(label + ULongToText(value));
}

const std::string& GetLogText() {
    return State().text;
}

void ClearLog() {
    State().text.clear();
    Changed();
}

void SetLogViewer(LogViewer viewer) {
    State().viewer = viewer;
}
