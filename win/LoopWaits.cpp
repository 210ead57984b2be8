#include "win/LoopWaits.h"

#include <utility>

namespace win {
namespace {

struct LoopWaits {
    std::vector<HANDLE> handles;
    SignalHandler onSignalled;
};

// The GUI thread's: it alone runs a message loop. A plain static, as a
// thread-local object with a destructor costs every thread an exit hook.
LoopWaits& ThreadWaits() {
    static LoopWaits waits;
    return waits;
}

} // namespace

void SetLoopWaits(std::vector<HANDLE> handles, SignalHandler onSignalled) {
    // One slot is the message queue's own.
    if (handles.size() >= MAXIMUM_WAIT_OBJECTS) {
        handles.resize(MAXIMUM_WAIT_OBJECTS - 1);
    }
    ThreadWaits() = LoopWaits{std::move(handles), std::move(onSignalled)};
}

BOOL GetMessageOrSignal(MSG& msg) {
    for (;;) {
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            return msg.message == WM_QUIT ? FALSE : TRUE;
        }
        // A copy: the handler may set other waits.
        const LoopWaits waits = ThreadWaits();
        if (waits.handles.empty() || !waits.onSignalled) {
            return ::GetMessageA(&msg, nullptr, 0, 0);
        }
        const DWORD count = static_cast<DWORD>(waits.handles.size());
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(count, waits.handles.data(), INFINITE,
                                                          QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken < WAIT_OBJECT_0 + count) {
            waits.onSignalled(woken - WAIT_OBJECT_0);
        } else if (woken == WAIT_FAILED) {
            // A handle closed under the wait: messages only, until set again.
            ThreadWaits() = LoopWaits{};
        }
    }
}

} // namespace win
