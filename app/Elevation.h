#pragma once
// Running with administrator rights under UAC. Orvane runs with the user's own
// rights; a change that needs more is refused by Windows, and the user may
// start Orvane again as administrator. The elevated copy takes over from the
// one that started it, so the two never write the same files at once.
#include <windows.h>

#include <cstdint>
#include <string>

// What the user is told when Windows refuses a change for want of rights.
constexpr char kChangeNeedsAdministrator[] =
    "Windows refused this change: it needs administrator rights. Nothing was changed.";
constexpr char kProcessNeedsAdministrator[] =
    "Windows refused this for a process that is not yours to change (another user's, a "
    "service's, or one running as administrator): it needs administrator rights.";
// Asked after either, when this copy runs with the user's own rights.
constexpr char kStartAsAdministratorQuestion[] = "Start Orvane as administrator to do it?";

// The text to show for a failed change: the refusal's when the system
// refused access, else the one given.
inline const char* RefusalOr(DWORD error, const char* otherwise) {
    return error == ERROR_ACCESS_DENIED ? kChangeNeedsAdministrator : otherwise;
}

// True when this process runs with an elevated token (or on a system before
// UAC, as an administrator would).
bool IsElevated();

// Starts this program again with the "runas" verb, telling the new copy which
// one it takes over from. False when the user declined or it did not start.
bool StartElevatedCopy(HWND owner);

// The id of the copy to take over from, as StartElevatedCopy puts it on the
// command line; 0 when the command line asks for none.
uint32_t TakeOverFrom(const std::string& commandLine);

// Waits, for a minute at most, for the copy taken over from to end.
void WaitForCopyToEnd(uint32_t processId);
