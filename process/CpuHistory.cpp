#include "process/CpuHistory.h"

void CCpuHistory::AddReading(int64_t cpuTime, int64_t timeStamp) {
    m_cpuTimes.push_back(cpuTime);
    m_timeStamps.push_back(timeStamp);
    if (m_timeStamps.size() > kMaxReadings) {
        m_cpuTimes.erase(m_cpuTimes.begin());
        m_timeStamps.erase(m_timeStamps.begin());
    }
}

double CCpuHistory::GetCpuPercent(size_t i) const {
    if (i < 2 || i >= m_timeStamps.size()) {
        return 0;
    }
    const int64_t before = m_cpuTimes[i - 1];
    const int64_t after = m_cpuTimes[i];
    if (before < 0 || after < 0) {
        return 0; // a process that could not be read has no figure
    }
    const int64_t cpu = after - before;
    const int64_t interval = m_timeStamps[i] - m_timeStamps[i - 1];
    if (cpu <= 0 || interval <= 0) {
        return 0;
    }
    return 100.0 * static_cast<double>(cpu) / static_cast<double>(interval);
}

double CCpuHistory::GetLatestPercent() const {
    const size_t count = GetCount();
    return count > 1 ? GetCpuPercent(count - 1) : 0;
}
