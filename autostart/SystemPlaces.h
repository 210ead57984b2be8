#pragma once
// The places beyond the startup folders and Run keys from which the system
// starts programs: services that start automatically and the logon hooks
// (Winlogon's Shell and Userinit, AppInit_DLLs, Image File Execution Options
// Debuggers), each hook in every registry view there is.
#include "autostart/AutostartEntry.h"
#include "autostart/AutostartLocations.h"

#include <windows.h>

#include <string>
#include <vector>

// Where the service control manager keeps each service's settings.
constexpr char kServicesKeyPath[] = "SYSTEM\\CurrentControlSet\\Services";
constexpr char kWinlogonKeyPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char kWindowsKeyPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr char kImageOptionsKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
constexpr char kDebuggerValueName[] = "Debugger";

// One entry per Win32 service (drivers left out) whose start type is
// automatic: its display name, binary path and state; its location the
// service's key.
void EnumerateAutoStartServices(AutostartEntryList& entries);

// One entry per hook value set to something other than the system's own.
void EnumerateLogonHooks(AutostartEntryList& entries);

// The keys to watch for changes of these places: the services' key and the
// hooks' keys, each with its subkeys.
std::vector<AutostartLocation> GetSystemPlacesToWatch();

// The service's settings, read into buffer (grown as needed); null when they
// cannot be read.
const QUERY_SERVICE_CONFIGA* ReadServiceConfig(SC_HANDLE service, std::vector<BYTE>& buffer);

// The State line of a service's information text ("Running", "Stopped").
const char* ServiceStateText(unsigned long state);
