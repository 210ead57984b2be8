#pragma once
// The machine's processor use, as the share of time spent outside the idle
// loop averaged over the last five measurements, and the program's own share.
// Measurements closer together than 200 ms share one result, so the tray and
// the Info page, each on its own timer, do not measure twice in a row.
#include "process/CpuSampleState.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// The clocks the sampler reads. GetSystemTimes is null on systems without it;
// tests supply stand-ins to steer time.
struct CpuTimeSources {
    DWORD(WINAPI* GetTickCount)() = nullptr;
    void(WINAPI* GetSystemTimeAsFileTime)(FILETIME* now) = nullptr;
    BOOL(WINAPI* GetSystemTimes)(FILETIME* idle, FILETIME* kernel, FILETIME* user) = nullptr;
    BOOL(WINAPI* GetProcessTimes)
    (HANDLE process, FILETIME* creation, FILETIME* exit, FILETIME* kernel,
     FILETIME* user) = nullptr;
};

class CCpuUsage {
  public:
    // Reads the system's clocks; every such sampler shares one process-wide
    // sample state and its lock.
    CCpuUsage();
    // Reads the given clocks into a sample state of its own.
    explicit CCpuUsage(const CpuTimeSources& sources);
    ~CCpuUsage();
    CCpuUsage(const CCpuUsage&) = delete;
    CCpuUsage& operator=(const CCpuUsage&) = delete;

    // Returns the program's own average; systemAverage receives the machine's
    // average (whole percent, 0 to 100) and systemTotal the kernel + user time
    // of the last measurement. Either output may be null.
    int32_t GetUsage(int32_t* systemAverage = nullptr, int64_t* systemTotal = nullptr);

    const CpuTimeSources& Sources() const { return m_sources; }

    struct SharedState;

  private:
    CpuReadings Read() const;

    CpuTimeSources m_sources;
    std::unique_ptr<SharedState> m_ownState;
    SharedState* m_state;
};

int64_t FileTimeToInt64(const FILETIME& time);
