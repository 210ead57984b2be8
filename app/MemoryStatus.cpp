#include "app/MemoryStatus.h"

#include <windows.h>

namespace {

using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(MEMORYSTATUSEX*);

// Bound once by name: Windows 95, 98 and NT 4 lack the extended query.
GlobalMemoryStatusExFunction ExtendedQuery() {
    static const auto query =
        reinterpret_cast<GlobalMemoryStatusExFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx")));
    return query;
}

} // namespace

MemoryFigures ReadMemoryFigures() {
    MemoryFigures figures;
    if (GlobalMemoryStatusExFunction query = ExtendedQuery()) {
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
