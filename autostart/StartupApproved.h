#pragma once
// The on/off switches newer Windows keeps for Run values and startup-folder
// items in its own startup settings ("StartupApproved"): an entry switched off
// there stays in its place but does not start.
#include "autostart/AutostartEntry.h"
#include "autostart/AutostartLocations.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The switch's data: its first byte is odd while the entry is switched off
// (the system writes 02 or 06 for on, 03 or 07 for off, followed by the time).
bool IsSwitchedOff(const uint8_t* data, size_t size);

// Marks each entry whose switch is off. Only the places the startup settings
// cover have switches: the Run keys (the 32-bit view's as "Run32") and the two
// startup folders.
void MarkEntriesSwitchedOff(AutostartEntryList& entries);

// The keys holding the switches, to be watched with the autostart's own places.
std::vector<AutostartLocation> GetStartupApprovedLocations();
