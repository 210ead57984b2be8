#pragma once
// One process's cumulative processor time at each reading, with the wall-clock
// moment of the reading, turned into a percentage between neighbouring readings.
// Times are 100-nanosecond units.
#include <cstddef>
#include <cstdint>
#include <vector>

class CCpuHistory {
  public:
    static constexpr size_t kMaxReadings = 200;
    // Readings that stand for no time at all.
    static constexpr int64_t kCannotOpen = -1;
    static constexpr int64_t kNoTimes = -2;

    // Reads the process's kernel + user time now; a marker when it cannot.
    void SampleProcess(uint32_t processId);
    // Appends cpuTime stamped with the current wall-clock time.
    void AddSample(int64_t cpuTime);
    // Appends a reading with the given time stamp, dropping the oldest beyond 200.
    void AddReading(int64_t cpuTime, int64_t timeStamp);

    // Percent of one processor's time between readings i - 1 and i (may exceed
    // 100 on several processors); 0 for the first two readings, past the end,
    // next to a marker, or when the clock did not move forward.
    double GetCpuPercent(size_t i) const;
    // The newest percentage, 0 before there are two readings.
    double GetLatestPercent() const;

    size_t GetCount() const { return m_timeStamps.size(); }
    const std::vector<int64_t>& CpuTimes() const { return m_cpuTimes; }
    const std::vector<int64_t>& TimeStamps() const { return m_timeStamps; }

  private:
    std::vector<int64_t> m_cpuTimes;
    std::vector<int64_t> m_timeStamps;
};
