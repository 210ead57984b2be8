#include "process/CpuUsage.h"

#include "app/SystemFunctions.h"
#include "win/Handle.h"

struct CCpuUsage::SharedState {
    explicit SharedState(uint32_t tickNow) : samples(tickNow) {
        ::InitializeCriticalSection(&lock);
    }
    ~SharedState() { ::DeleteCriticalSection(&lock); }
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    CRITICAL_SECTION lock;
    CpuSampleState samples;
};

namespace {

using Locked = win::CriticalSectionLock;

CCpuUsage::SharedState& ProcessWideState() {
    static CCpuUsage::SharedState state(::GetTickCount());
    return state;
}

} // namespace

int64_t FileTimeToInt64(const FILETIME& time) {
    ULARGE_INTEGER value{};
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<int64_t>(value.QuadPart);
}

CCpuUsage::CCpuUsage() : m_state(&ProcessWideState()) {
    m_sources.GetTickCount = &::GetTickCount;
    m_sources.GetSystemTimeAsFileTime = &::GetSystemTimeAsFileTime;
    m_sources.GetProcessTimes = &::GetProcessTimes;
    m_sources.GetSystemTimes = GetSystemFunctions().GetSystemTimes;
    const uint32_t tick = m_sources.GetTickCount();
    Locked lock(m_state->lock);
    m_state->samples.SetLastSampleTick(tick);
}

CCpuUsage::CCpuUsage(const CpuTimeSources& sources)
    : m_sources(sources), m_ownState(std::make_unique<SharedState>(sources.GetTickCount())),
      m_state(m_ownState.get()) {}

CCpuUsage::~CCpuUsage() = default;

int32_t CCpuUsage::GetUsage(int32_t* systemAverage, int64_t* systemTotal) {
    const uint32_t tick = m_sources.GetTickCount();
    CpuFigures figures;
    bool due = false;
    {
        Locked lock(m_state->lock);
        figures = m_state->samples.Figures();
        due = m_state->samples.IsDue(tick);
    }
    if (due) {
        // The clocks are read outside the lock.
        const CpuReadings now = Read();
        const uint32_t tickAfter = m_sources.GetTickCount();
        Locked lock(m_state->lock);
        m_state->samples.Add(now, tickAfter);
        figures = m_state->samples.Figures();
    }
    if (systemAverage) {
        *systemAverage = figures.systemAverage;
    }
    if (systemTotal) {
        *systemTotal = figures.systemTotal;
    }
    return figures.ownAverage;
}

CpuReadings CCpuUsage::Read() const {
    CpuReadings now;
    FILETIME wall{};
    m_sources.GetSystemTimeAsFileTime(&wall);
    now.wallTime = FileTimeToInt64(wall);

    FILETIME idle{};
    FILETIME kernel{};
    FILETIME user{};
    if (m_sources.GetSystemTimes && m_sources.GetSystemTimes(&idle, &kernel, &user)) {
        now.idle = FileTimeToInt64(idle);
        now.kernel = FileTimeToInt64(kernel);
        now.user = FileTimeToInt64(user);
    }

    FILETIME creation{};
    FILETIME exit{};
    FILETIME ownKernel{};
    FILETIME ownUser{};
    if (m_sources.GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &ownKernel, &ownUser)) {
        now.ownKernel = FileTimeToInt64(ownKernel);
        now.ownUser = FileTimeToInt64(ownUser);
    }
    return now;
}
