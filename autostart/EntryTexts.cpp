#include "autostart/EntryTexts.h"

#include "app/FileInfo.h"
#include "app/LongPath.h"
#include "app/ReportHeading.h"
#include "autostart/AutostartLocations.h"

std::string DescribeAutostartEntry(const AutostartEntry& entry) {
    std::string path = GetLongPath(entry.path);
    if (path.empty()) {
        path = entry.path;
    }
    std::string text =
        "Title: " + entry.name + "\r\n" + GetFileInfoText(path) + "\r\nLocation: " + entry.location;
    if (entry.switchedOff) {
        text += "\r\nState: Disabled in the startup settings of Windows, so it does not start";
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
