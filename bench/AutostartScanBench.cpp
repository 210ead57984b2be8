// One full autostart scan with 1000 values in one Run key and 300 more services
// that start automatically, against the bare work it must do, timed in the
// same run: a RegEnumValueA loop over the same twelve keys plus one long-path
// look-up per value, and the service control manager's list with each
// service's settings plus the hooks' values.
#include "app/LongPath.h"
#include "autostart/AutostartLocations.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
#include "autostart/SystemPlaces.h"
#include "bench/BenchTiming.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kBenchKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
constexpr int kValues = 1000;
constexpr int kRounds = 25;
constexpr int kServices = 300;

// Every Win32 service listed and its settings read, and the hooks' values
// read; nothing kept. The number of services that start automatically.
size_t BareServicesAndHooks() {
    static BYTE list[256 * 1024];
    static BYTE config[8192];
    size_t automatic = 0;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE);
    DWORD needed = 0;
    DWORD count = 0;
    DWORD resume = 0;
    EnumServicesStatusExA(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, list,
                          sizeof list, &needed, &count, &resume, nullptr);
    const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSA*>(list);
    for (DWORD i = 0; i < count; ++i) {
        SC_HANDLE service = OpenServiceA(manager, services[i].lpServiceName, SERVICE_QUERY_CONFIG);
        auto* settings = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(config);
        if (QueryServiceConfigA(service, settings, sizeof config, &needed) &&
            settings->dwStartType == SERVICE_AUTO_START) {
            ++automatic;
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    for (const char* keyPath : {kWinlogonKeyPath, kWindowsKeyPath}) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
            for (const char* name : {"Shell", "Userinit", "AppInit_DLLs", "LoadAppInit_DLLs"}) {
                DWORD bytes = sizeof config;
                RegQueryValueExA(key, name, nullptr, nullptr, config, &bytes);
            }
            RegCloseKey(key);
        }
    }
    return automatic;
}

size_t ServicesAndHooksScan() {
    AutostartEntryList entries;
    EnumerateAutoStartServices(entries);
    EnumerateLogonHooks(entries);
    return entries.size();
}

// Services that start automatically, never started: made before the rounds,
// deleted after them.
void MakeServices(bool make) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    for (int i = 0; i < kServices; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "OrvBenchService%03d", i);
        SC_HANDLE service = make ? CreateServiceA(manager, name, name, SERVICE_ALL_ACCESS,
                                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                                  SERVICE_ERROR_IGNORE,
                                                  "C:\\Program Files\\Bench\\service.exe -k bench",
                                                  nullptr, nullptr, nullptr, nullptr, nullptr)
                                 : OpenServiceA(manager, name, DELETE);
        if (!make) {
            DeleteService(service);
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
}

// Every Run key opened, enumerated into fixed buffers and closed; nothing kept
// (with lengthen set, each value's data is also asked for its long form).
size_t Enumerate(bool lengthen) {
    static char name[16383];
    static BYTE data[16383];
    size_t values = 0;
    for (const AutostartLocation& location : GetAutostartLocations()) {
        if (location.root == 0) {
            continue;
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HiveOfRoot(location.root), location.keyPath.c_str(), 0,
                          InRealRegistryView(KEY_READ), &key) != ERROR_SUCCESS) {
            continue;
        }
        for (DWORD index = 0; index < kMaxValuesPerRunKey; ++index) {
            DWORD nameChars = sizeof name;
            DWORD dataBytes = sizeof data;
            const LONG result =
                RegEnumValueA(key, index, name, &nameChars, nullptr, nullptr, data, &dataBytes);
            if (result == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (result == ERROR_SUCCESS) {
                ++values;
                if (lengthen) {
                    GetLongPath(
                        std::string(reinterpret_cast<const char*>(data),
                                    strnlen(reinterpret_cast<const char*>(data), dataBytes)));
                }
            }
        }
        RegCloseKey(key);
    }
    return values;
}

// The counts are the Run values'; the services and hooks are read as well.
size_t BareEnumeration() {
    const size_t values = Enumerate(false);
    BareServicesAndHooks();
    return values;
}

size_t EnumerationWithLongForms() {
    const size_t values = Enumerate(true);
    BareServicesAndHooks();
    return values;
}

size_t FullScan() {
    AutostartEntryList entries;
    EnumerateAutostartEntries(entries);
    return entries.size();
}

} // namespace

int main() {
    CoInitialize(nullptr);
    HKEY probe = nullptr;
    const bool existed =
        RegOpenKeyExA(HKEY_CURRENT_USER, kBenchKey, 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (probe) {
        RegCloseKey(probe);
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::printf("autostart scan: cannot create HKCU\\%s\n", kBenchKey);
        return 1;
    }
    // Half plain paths of a file that exists (each is lengthened), half quoted
    // command lines (each asked for a long form in vain), as Run keys hold.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (int i = 0; i < kValues; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "OrvBench%04d", i);
        const std::string text =
            i % 2 ? std::string(windows) + "\\notepad.exe"
                  : "\"C:\\Program Files\\Bench App " + std::to_string(i) + "\\app.exe\" /tray";
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    DWORD inKey = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &inKey, nullptr,
                     nullptr, nullptr, nullptr);
    if (inKey != static_cast<DWORD>(kValues)) {
        std::printf("autostart scan: HKCU\\%s holds %lu values, not %d\n", kBenchKey,
                    static_cast<unsigned long>(inKey), kValues);
        return 1;
    }

    MakeServices(true);
    FullScan();
    BareEnumeration();
    std::vector<size_t> counts;
    const std::vector<double> medians = MedianMillisecondsInTurn(
        kRounds, {FullScan, BareEnumeration, EnumerationWithLongForms}, counts);
    const double scan = medians[0];
    const double enumeration = medians[1];
    const double bare = medians[2];
    const size_t entries = counts[0];
    const size_t values = counts[1];
    std::printf("autostart scan: %zu entries, median of %d: %.2f ms\n", entries, kRounds, scan);
    std::printf("bare RegEnumValueA over the same keys: %zu values, median of %d: %.2f ms\n",
                values, kRounds, enumeration);
    std::printf("the same with one long-path look-up per value: %.2f ms (%.2f ms of look-ups)\n",
                bare, bare - enumeration);
    std::printf("autostart scan / bare work: %.2fx (goal: at most 1.2x)\n",
                bare > 0 ? scan / bare : 0.0);
    std::printf("RESULT scan_values %zu\nRESULT scan_ms %.2f\nRESULT scan_bare_ms %.2f\n"
                "RESULT scan_enumeration_ms %.2f\n",
                values, scan, bare, enumeration);

    std::vector<size_t> serviceCounts;
    const std::vector<double> serviceMedians = MedianMillisecondsInTurn(
        kRounds, {ServicesAndHooksScan, BareServicesAndHooks}, serviceCounts);
    std::printf("services and hooks scan: %zu entries, median of %d: %.2f ms; bare listing of the "
                "same (%zu services starting automatically): %.2f ms; ratio %.2fx\n",
                serviceCounts[0], kRounds, serviceMedians[0], serviceCounts[1], serviceMedians[1],
                serviceMedians[1] > 0 ? serviceMedians[0] / serviceMedians[1] : 0.0);
    std::printf(
        "RESULT services_entries %zu\nRESULT services_ms %.2f\nRESULT services_bare_ms %.2f\n",
        serviceCounts[0], serviceMedians[0], serviceMedians[1]);
    MakeServices(false);

    for (int i = 0; i < kValues; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "OrvBench%04d", i);
        RegDeleteValueA(key, name);
    }
    RegCloseKey(key);
    if (!existed) {
        RegDeleteKeyA(HKEY_CURRENT_USER, kBenchKey);
    }
    CoUninitialize();
    return 0;
}
