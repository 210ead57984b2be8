#pragma once
// The dots per inch Orvane draws at: a window's, which follows its screen
// where the system scales per screen, or the system's.
#include "app/SystemFunctions.h"

#include <windows.h>

// Messages of systems newer than the level the headers are held to: a
// top-level window's screen scale changed (WPARAM the new dots per inch,
// LPARAM the RECT* it suggests), and the same told to its children.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The system's dots per inch: what the tray and new windows are drawn at.
int SystemDpi(const SystemFunctions& functions = GetSystemFunctions());

// The dots per inch window is drawn at; the system's where the system cannot
// say per window (before Windows 10) or window is null.
int WindowDpi(HWND window, const SystemFunctions& functions = GetSystemFunctions());

// Moves a top-level window to the rectangle kDpiChanged suggests (its LPARAM).
void MoveToSuggestedRect(HWND window, LPARAM suggested);
