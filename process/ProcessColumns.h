#pragma once
// The process table's rows apart from the system: priority names, the column
// order, the windows text, the carrying over of CPU histories and the texts of
// the "More information" box and the report.
#include "app/RowFilter.h"
#include "process/ProcessRow.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The table's columns, as the header numbers them.
enum ProcessColumn : int {
    kColumnName = 0,
    kColumnPath = 1,
    kColumnId = 2,
    kColumnWindows = 3,
    kColumnMemory = 4,
    kColumnPageFile = 5,
    kColumnCpu = 6,
    kColumnPriority = 7,
    // Added last: the numbers before it keep their meaning.
    kColumnSignature = 8,
};
constexpr int kProcessColumnCount = 9;

// The system's priority classes (the values of IDLE_PRIORITY_CLASS and so on).
constexpr uint32_t kIdlePriority = 0x40;
constexpr uint32_t kBelowNormalPriority = 0x4000;
constexpr uint32_t kNormalPriority = 0x20;
constexpr uint32_t kAboveNormalPriority = 0x8000;
constexpr uint32_t kHighPriority = 0x80;
constexpr uint32_t kRealtimePriority = 0x100;

// "Idle" ... "Realtime (highest)", or "Unknown" for any other value.
const char* GetPriorityName(uint32_t priorityClass);
// 0 (idle) to 5 (realtime); 0 for an unknown class.
uint32_t GetPrioritySortKey(uint32_t priorityClass);

// The newest CPU percentage of the row; 0 before its second reading.
double GetLatestCpu(const ProcessRow& row);

// Negative when a comes before b in the column's order, ascending or not.
// Equal names fall back to ascending process ids in both directions.
int CompareProcessRows(const ProcessRow& a, const ProcessRow& b, int column, bool ascending);
// A shell sort (gaps 1, 4, 13, 40, ...); rows that compare equal may change places.
void SortProcessRows(ProcessRowList& rows, int column, bool ascending);

// Gives each fresh row the CPU history of the previous row with the same
// process id and name; a reused id starts afresh.
void CarryCpuHistories(const ProcessRowList& previous, ProcessRowList& fresh);

// A top-level window as one walk of the window list saw it.
struct TopLevelWindow {
    uintptr_t handle = 0;
    uint32_t processId = 0;
    std::string title;
};

// The windows texts of all processes, from one window list.
class CWindowsTexts {
  public:
    explicit CWindowsTexts(const std::vector<TopLevelWindow>& windows);
    // "[2] A,B," for a process with windows titled A and B; "[0] " for a
    // process without windows and for process id 0.
    std::string Of(uint32_t processId) const;

  private:
    struct Titles {
        uint32_t count = 0;
        std::string text;
    };
    std::unordered_map<uint32_t, Titles> m_byProcess;
};

// What the Processes page shows in the column: the name, the path, the id as
// "%08X", the windows text, memory and page file in "K", the newest CPU
// percentage with one decimal and " %", the priority's name, the signature's
// text (FormatSignature).
std::string GetProcessCellText(const ProcessRow& row, int column);

// The index of each row whose name, path or id as shown holds the filter
// text, in their order.
std::vector<size_t> FilterProcessRows(const ProcessRowList& rows, const CRowFilter& filter);

// The points of a process's CPU diagram: the percentage between each pair of
// neighbouring readings (the first reading has none), truncated to whole percent.
std::vector<uint32_t> GetCpuDiagramSeries(const CCpuHistory& history);

// The "More information" text of a row, given the file-information text of its path.
std::string FormatProcessInfo(const ProcessRow& row, const std::string& fileInfo);
// The header of the report's section number (counting from 1) for an item of the kind.
std::string FormatReportSectionHeader(const std::string& kind, size_t number);
