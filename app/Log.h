#pragma once
// The diagnostic log: the last ~50000 characters of what start-up and the
// entry actions did. It is kept in memory whether or not a window shows it;
// a viewer is told of every change.
#include <cstddef>
#include <cstdint>
#include <string>

// The log keeps at most this many characters; each append past it drops the
// oldest kLogTrimCharacters.
constexpr size_t kLogLimitCharacters = 50000;
constexpr size_t kLogTrimCharacters = 1000;

// Appends line and "\r\n" to log, trimming once when it grew past the limit.
void AppendToLog(std::string& log, const std::string& line);

void LogLine(const std::string& text);
// label directly followed by the number in unsigned decimal, e.g. "FirstUsage?:1".
void LogValue(const std::string& label, uint32_t value);

// The whole log as it stands.
const std::string& GetLogText();
void ClearLog();

// Called with the whole log after every change; one viewer at a time, nullptr for none.
using LogViewer = void (*)(const std::string& log);
void SetLogViewer(LogViewer viewer);
