#include "process/ProcessColumns.h"

#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/ReportHeading.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {

// The classes in the order their bits are tested.
constexpr struct {
    uint32_t priorityClass;
    const char* name;
} kPriorities[] = {
    {kIdlePriority, "Idle"},     {kBelowNormalPriority, "Below normal"},
    {kNormalPriority, "Normal"}, {kAboveNormalPriority, "Above normal"},
    {kHighPriority, "High"},     {kRealtimePriority, "Realtime (highest)"},
};

template <typename T> int CompareValues(T a, T b) {
    return (b < a) - (a < b);
}

int CompareColumn(const ProcessRow& a, const ProcessRow& b, int column) {
    switch (column) {
    case kColumnPath:
        return mbcs::CompareCollated(a.path, b.path);
    case kColumnId:
        return CompareValues(a.processId, b.processId);
    case kColumnWindows:
        return mbcs::CompareCollated(a.windows, b.windows);
    case kColumnMemory:
        return CompareValues(a.workingSet, b.workingSet);
    case kColumnPageFile:
        return CompareValues(a.pageFile, b.pageFile);
    case kColumnCpu:
        return CompareValues(GetLatestCpu(a), GetLatestCpu(b));
    case kColumnPriority:
        return CompareValues(GetPrioritySortKey(a.priorityClass),
                             GetPrioritySortKey(b.priorityClass));
    case kColumnSignature:
        return mbcs::CompareCollated(FormatSignature(a.signature), FormatSignature(b.signature));
    default:
        return mbcs::CompareCollated(a.name, b.name);
    }
}

} // namespace

const char* GetPriorityName(uint32_t priorityClass) {
    const char* name = "Unknown";
    for (const auto& priority : kPriorities) {
        if (priorityClass & priority.priorityClass) {
            name = priority.name;
        }
    }
    return name;
}

uint32_t GetPrioritySortKey(uint32_t priorityClass) {
    uint32_t key = 0;
    for (const auto& priority : kPriorities) {
        if (priorityClass & priority.priorityClass) {
            return key;
        }
        ++key;
    }
    return 0;
}

double GetLatestCpu(const ProcessRow& row) {
    return row.cpuHistory.GetLatestPercent();
}

int CompareProcessRows(const ProcessRow& a, const ProcessRow& b, int column, bool ascending) {
    const int result = CompareColumn(a, b, column);
    if (result == 0 && (column < kColumnPath || column >= kProcessColumnCount)) {
        // Same-named processes stay in id order whichever way the names go.
        return CompareValues(a.processId, b.processId);
    }
    return ascending ? result : -result;
}

void SortProcessRows(ProcessRowList& rows, int column, bool ascending) {
    const size_t count = rows.size();
    size_t gap = 1;
    while (gap * 3 + 1 < count) {
        gap = gap * 3 + 1;
    }
    for (; gap > 0; gap /= 3) {
        for (size_t i = gap; i < count; ++i) {
            ProcessRow moving = std::move(rows[i]);
            size_t j = i;
            while (j >= gap && CompareProcessRows(moving, rows[j - gap], column, ascending) < 0) {
                rows[j] = std::move(rows[j - gap]);
                j -= gap;
            }
            rows[j] = std::move(moving);
        }
    }
}

void CarryCpuHistories(const ProcessRowList& previous, ProcessRowList& fresh) {
    std::unordered_map<uint32_t, const ProcessRow*> byId;
    byId.reserve(previous.size());
    for (const ProcessRow& row : previous) {
        byId.emplace(row.processId, &row); // the first row of an id wins
    }
    for (ProcessRow& row : fresh) {
        const auto found = byId.find(row.processId);
        if (found != byId.end() && found->second->name == row.name) {
            row.cpuHistory = found->second->cpuHistory;
        }
    }
}

CWindowsTexts::CWindowsTexts(const std::vector<TopLevelWindow>& windows) {
    for (const TopLevelWindow& window : windows) {
        if (window.processId == 0) {
            continue;
        }
        Titles& titles = m_byProcess[window.processId];
        ++titles.count;
        if (!window.title.empty()) {
            titles.text += window.title;
            titles.text += ',';
        }
    }
}

std::string CWindowsTexts::Of(uint32_t processId) const {
    const auto found = processId != 0 ? m_byProcess.find(processId) : m_byProcess.end();
    std::string text = "[";
    text += found == m_byProcess.end() ? "0" : ULongToText(found->second.count);
    text += "] ";
    if (found != m_byProcess.end()) {
        text += found->second.text;
    }
    return text;
}

std::string FormatProcessInfo(const ProcessRow& row, const std::string& fileInfo) {
    char cpu[64] = {};
    std::snprintf(cpu, sizeof cpu, "%G", GetLatestCpu(row));
    std::string text = "Title: ";
    text += row.name;
    text += "\r\n";
    text += fileInfo;
    text += "\r\nUsage of RAM: ";
    text += std::to_string(row.workingSet / 1024);
    text += " KB\r\nUsage of Page file: ";
    text += std::to_string(row.pageFile / 1024);
    text += " KB\r\nRecent CPU usage: ";
    text += cpu;
    text += " %";
    return text;
}

std::string FormatReportSectionHeader(const std::string& kind, size_t number) {
    return FormatReportHeading(kind, static_cast<int>(number));
}

std::string GetProcessCellText(const ProcessRow& row, int column) {
    switch (column) {
    case kColumnPath:
        return row.path;
    case kColumnId: {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", static_cast<unsigned>(row.processId));
        return id;
    }
    case kColumnWindows:
        return row.windows;
    case kColumnMemory:
        return std::to_string(row.workingSet / 1024) + " K";
    case kColumnPageFile:
        return std::to_string(row.pageFile / 1024) + " K";
    case kColumnCpu:
        return DoubleToText(GetLatestCpu(row), 1) + " %";
    case kColumnPriority:
        return GetPriorityName(row.priorityClass);
    case kColumnSignature:
        return FormatSignature(row.signature);
    default:
        return row.name;
    }
}

std::vector<size_t> FilterProcessRows(const ProcessRowList& rows, const CRowFilter& filter) {
    return FilterRows(rows, filter, [&](const ProcessRow& row) {
        return filter.Shows({row.name, row.path, GetProcessCellText(row, kColumnId)},
                            row.signature);
    });
}

std::vector<uint32_t> GetCpuDiagramSeries(const CCpuHistory& history) {
    std::vector<uint32_t> series;
    for (size_t i = 1; i < history.GetCount(); ++i) {
        const double percent = history.GetCpuPercent(i);
        series.push_back(percent > 0 ? static_cast<uint32_t>(percent) : 0);
    }
    return series;
}
