// One full autostart scan with 1000 values in one Run key, against the bare
// work it must do, timed in the same run: a RegEnumValueA loop over the same
// twelve keys plus one long-path look-up per value.
#include "app/LongPath.h"
#include "autostart/AutostartLocations.h"
#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
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

size_t BareEnumeration() {
    return Enumerate(false);
}

size_t EnumerationWithLongForms() {
    return Enumerate(true);
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
