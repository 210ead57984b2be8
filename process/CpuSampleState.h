#pragma once
// The arithmetic of the machine-wide CPU figure, apart from the system calls
// that read the times: previous readings, the five-sample rings and their
// averages. All times are 100-nanosecond units.
#include <cstdint>

// One measurement: the wall clock and the cumulative times at that moment.
struct CpuReadings {
    int64_t wallTime = 0;
    int64_t idle = 0;
    int64_t kernel = 0; // includes the idle time
    int64_t user = 0;
    int64_t ownKernel = 0;
    int64_t ownUser = 0;
};

// What a caller of the sampler sees.
struct CpuFigures {
    int32_t systemAverage = 0; // whole percent, 0 to 100
    int32_t ownAverage = 0;    // whole percent of one processor's time
    int64_t systemTotal = 0;   // kernel + user of the last measurement
};

class CpuSampleState {
  public:
    static constexpr int kRingSize = 5;
    // Measurements closer together than this share the previous figures.
    static constexpr uint32_t kGateMilliseconds = 200;

    explicit CpuSampleState(uint32_t tickNow = 0) : m_lastSampleTick(tickNow) {}

    // True when the tick count has moved on far enough for a new measurement;
    // a wrapped tick count still counts forward.
    bool IsDue(uint32_t tickNow) const;
    void SetLastSampleTick(uint32_t tickNow) { m_lastSampleTick = tickNow; }

    // Takes one measurement. The first only sets the baseline; a later one
    // whose wall-clock interval is not positive (the clock was set back) sets a
    // new baseline without adding a sample.
    void Add(const CpuReadings& now, uint32_t tickNow);

    const CpuFigures& Figures() const { return m_figures; }
    int SampleCount() const { return m_sampleCount; }

  private:
    CpuReadings m_previous;
    uint32_t m_lastSampleTick;
    int32_t m_systemRing[kRingSize] = {};
    int32_t m_ownRing[kRingSize] = {};
    int m_position = 0;
    int m_sampleCount = 0;
    CpuFigures m_figures;
};
