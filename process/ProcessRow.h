#pragma once
// One running process as the process table shows it. Rows are values: a copy
// carries the CPU history with it.
#include "app/FileSignature.h"
#include "process/CpuHistory.h"

#include <cstdint>
#include <string>
#include <vector>

struct ProcessRow {
    // What the enumerator reports: the executable's name or full path, or an
    // "N/A" text.
    std::string name;
    // The executable's full path in long form; empty when it cannot be read.
    std::string path;
    uint32_t processId = 0;
    // When the process started (FILETIME as one number): with the id, what
    // tells this process from a later one given the same id. 0 when unreadable.
    uint64_t creationTime = 0;
    // "[" + number of top-level windows + "] " + each non-empty title and ",".
    std::string windows;
    // Bytes of physical memory and of page file in use; 0 when unreadable.
    // 64 bits wide: a process of a 64-bit system may use more than 4 GB.
    uint64_t workingSet = 0;
    uint64_t pageFile = 0;
    // The system's priority class; 0 when it cannot be read.
    uint32_t priorityClass = 0;
    // Its file's signature as far as verified.
    FileSignature signature{};
    CCpuHistory cpuHistory;
};

using ProcessRowList = std::vector<ProcessRow>;
