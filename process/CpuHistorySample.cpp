// The readings of a CCpuHistory that come from the system.
#include "process/CpuHistory.h"
#include "process/ProcessActions.h"
#include "process/CpuUsage.h"
#include "win/Handle.h"

#include <windows.h>

void CCpuHistory::AddSample(int64_t cpuTime) {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    AddReading(cpuTime, FileTimeToInt64(now));
}

void CCpuHistory::SampleProcess(uint32_t processId) {
    win::UniqueHandle process = OpenProcessToAsk(processId);
    if (!process) {
        AddSample(kCannotOpen);
        return;
    }
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    if (!::GetProcessTimes(process.Get(), &creation, &exit, &kernel, &user)) {
        AddSample(kNoTimes);
        return;
    }
    AddSample(FileTimeToInt64(kernel) + FileTimeToInt64(user));
}
