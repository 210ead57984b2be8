#include "process/CpuSampleState.h"

namespace {

int32_t Average(const int32_t (&ring)[CpuSampleState::kRingSize], int count) {
    int64_t sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += ring[i];
    }
    return static_cast<int32_t>(sum / count);
}

// Share of the interval's processor time spent outside the idle loop.
int32_t SystemPercent(const CpuReadings& now, const CpuReadings& previous) {
    const int64_t total = (now.kernel - previous.kernel) + (now.user - previous.user);
    if (total == 0) {
        return 0;
    }
    const int64_t busy = total - (now.idle - previous.idle);
    const int64_t percent = busy * 100 / total;
    return static_cast<int32_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent);
}

} // namespace

bool CpuSampleState::IsDue(uint32_t tickNow) const {
    return ((tickNow - m_lastSampleTick) & 0x7FFFFFFFu) > kGateMilliseconds;
}

void CpuSampleState::Add(const CpuReadings& now, uint32_t tickNow) {
    const bool first = m_previous.wallTime == 0;
    const int64_t elapsed = now.wallTime - m_previous.wallTime;
    if (!first && elapsed > 0) {
        const int64_t own =
            (now.ownKernel - m_previous.ownKernel) + (now.ownUser - m_previous.ownUser);
        m_systemRing[m_position] = SystemPercent(now, m_previous);
        m_ownRing[m_position] = static_cast<int32_t>(own * 100 / elapsed);
        m_position = (m_position + 1) % kRingSize;
        if (m_sampleCount < kRingSize) {
            ++m_sampleCount;
        }
        m_figures.systemAverage = Average(m_systemRing, m_sampleCount);
        m_figures.ownAverage = Average(m_ownRing, m_sampleCount);
    } else if (first) {
        m_figures.systemAverage = 0;
        m_figures.ownAverage = 0;
    }
    m_previous = now;
    m_figures.systemTotal = now.kernel + now.user;
    m_lastSampleTick = tickNow;
}
