#pragma once
// Kernel objects the GUI thread's message loop waits on beside its messages:
// a signalled one is answered between two messages, on the same thread, so
// what it starts needs no lock. One set of waits at a time.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

namespace win {

using SignalHandler = std::function<void(size_t index)>;

// Replaces the waits; an empty list ends them. The handles stay owned by the
// caller and must outlive the waits.
void SetLoopWaits(std::vector<HANDLE> handles, SignalHandler onSignalled);

// As GetMessage, answering the waits' signals while no message is there.
BOOL GetMessageOrSignal(MSG& msg);

} // namespace win
