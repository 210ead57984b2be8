#include "autostart/EntryTexts.h"

#include "app/FileInfo.h"
#include "app/LongPath.h"
#include "app/PathHelpers.h"
#include "app/ReportHeading.h"
#include "autostart/AutostartLocations.h"

namespace {

std::string LongCommandOf(const AutostartEntry& entry) {
    std::string path = GetLongPath(entry.path);
    return path.empty() ? entry.path : path;
}

constexpr char kSwitchedOffText[] =
    "Disabled in the startup settings of Windows, so it does not start";

} // namespace

std::string AutostartFileOf(const AutostartEntry& entry) {
    return CommandLineToFilePath(LongCommandOf(entry));
}

std::string DescribeAutostartEntry(const AutostartEntry& entry) {
    std::string text = "Title: " + entry.name + "\r\n" + GetFileInfoText(LongCommandOf(entry)) +
                       "\r\nLocation: " + entry.location;
    if (entry.switchedOff) {
        text += std::string("\r\nState: ") + kSwitchedOffText;
    }
    if (entry.kind == AutostartKind::Service) {
        text +=
            "\r\nService: " + entry.itemName + ", starts automatically\r\nState: " + entry.state;
    } else if (entry.kind == AutostartKind::LogonHook) {
        text += "\r\nValue: " + entry.itemName;
    }
    return text;
}

std::string GetAutostartStateText(const AutostartEntry& entry, const CAcceptedList& accepted) {
    std::string text = accepted.IsChanged(entry.path)    ? kChangedSinceAcceptedNote
                       : accepted.IsAccepted(entry.path) ? "Accepted"
                                                         : "Not accepted";
    if (entry.switchedOff) {
        text += std::string("; ") + kSwitchedOffText;
    }
    // One line, for a table's cell: the location already names the service or value.
    if (entry.kind == AutostartKind::Service && !entry.state.empty()) {
        text += "; " + entry.state;
    }
    return text;
}

std::string GetAutostartReportText(const AutostartEntryList& entries,
                                   const std::string& separator) {
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        text += FormatReportHeading("Autostart program", static_cast<int>(i + 1));
        text += DescribeAutostartEntry(entries[i]);
        text += separator;
    }
    return text;
}

std::string GetRemovedOriginalText(const RemovedEntry& record) {
    AutostartEntry origin;
    origin.location = record.originalLocation;
    origin.root = record.root;
    return GetLocationDisplayText(origin);
}

std::string GetRemovedCurrentText(const RemovedEntry& record) {
    return record.root == 0 ? record.currentLocation : "My database";
}
