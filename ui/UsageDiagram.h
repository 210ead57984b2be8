#pragma once
// A usage history drawn as a diagram over a static control: a dark green grid,
// the values as a green curve (oldest at the left edge, one pixel column per
// value), their average as a dotted line and as a label. The Info page draws
// its CPU and RAM histories with it.
#include <windows.h>

#include <cstdint>
#include <vector>

// Draws history (whole percent, oldest first) into control's own device
// context and returns its average. With trim set, the oldest value is dropped
// (at most one per call) while the history is longer than the drawing area is
// wide. With skip set nothing is drawn and the result is 0. An empty history
// or a control too low for a curve gets the background and grid only, and 0.
double DrawUsageDiagram(HWND control, std::vector<uint32_t>& history, bool trim, bool skip);

// The average of a history, 0 for an empty one.
double UsageAverage(const std::vector<uint32_t>& history);
