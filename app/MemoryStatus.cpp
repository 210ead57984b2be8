#include "app/MemoryStatus.h"

#include "app/SystemFunctions.h"

MemoryFigures ReadMemoryFigures() {
    MemoryFigures figures;
    // Windows 95, 98 and NT 4 lack the extended query.
    if (const auto query = GetSystemFunctions().GlobalMemoryStatusEx) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof(status);
        if (query(&status)) {
            figures.totalPhysical = status.ullTotalPhys;
            figures.availablePhysical = status.ullAvailPhys;
            figures.totalPageFile = status.ullTotalPageFile;
            figures.availablePageFile = status.ullAvailPageFile;
            return figures;
        }
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    ::GlobalMemoryStatus(&status);
    figures.totalPhysical = status.dwTotalPhys;
    figures.availablePhysical = status.dwAvailPhys;
    figures.totalPageFile = status.dwTotalPageFile;
    figures.availablePageFile = status.dwAvailPageFile;
    return figures;
}
