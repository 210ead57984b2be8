// The figures of the tray's RAM bar against the system's own answer: whole
// 64-bit byte counts from the extended query, also in the 32-bit program, where
// the plain query stops at 2047 MiB.
#include "app/MemoryStatus.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Free memory moves a little between two queries.
bool Near(uint64_t a, uint64_t b) {
    const uint64_t difference = a > b ? a - b : b - a;
    return difference <= (a > b ? a : b) / 8;
}

} // namespace

TEST(MemoryStatus, FiguresAreTheExtendedQuerysWholeByteCounts) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    const MemoryFigures figures = ReadMemoryFigures();
    EXPECT_EQ(figures.totalPhysical, status.ullTotalPhys);
    EXPECT_EQ(figures.totalPageFile, status.ullTotalPageFile);
    EXPECT_GT(figures.availablePhysical, 0u);
    EXPECT_TRUE(Near(figures.availablePhysical, status.ullAvailPhys))
        << figures.availablePhysical << " vs " << status.ullAvailPhys;
    EXPECT_TRUE(Near(figures.availablePageFile, status.ullAvailPageFile))
        << figures.availablePageFile << " vs " << status.ullAvailPageFile;
}
