#pragma once
// Physical memory and page file figures. GlobalMemoryStatus stops at 2047 MiB
// in a 32-bit program, so the extended query is used wherever the system has it.
#include <cstdint>

struct MemoryFigures {
    uint64_t totalPhysical = 0, availablePhysical = 0;
    uint64_t totalPageFile = 0, availablePageFile = 0;
};

MemoryFigures ReadMemoryFigures();
