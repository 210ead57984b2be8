// One full autostart scan with 1000 values in one Run key, against a bare
// RegEnumValueA loop over the same twelve keys, timed in the same run.
#include "app/LongPath.h"
#include "autostart/AutostartLocations.h"
#include "autostart/AutostartScan.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kBenchKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
constexpr int kValues = 1000;
constexpr int kRounds = 25;

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
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
        if (RegOpenKeyExA(HiveOfRoot(location.root), location.keyPath, 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
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

template <typename Run> double MedianMilliseconds(Run run, size_t& count) {
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const double start = Now();
        count = run();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
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

    size_t entries = 0;
    size_t values = 0;
    FullScan();
    BareEnumeration();
    const double scan = MedianMilliseconds(FullScan, entries);
    const double bare = MedianMilliseconds(BareEnumeration, values);
    size_t lengthened = 0;
    const double withLongForms = MedianMilliseconds(EnumerationWithLongForms, lengthened);
    std::printf("autostart scan: %zu entries, median of %d: %.2f ms\n", entries, kRounds, scan);
    std::printf("bare RegEnumValueA over the same keys: %zu values, median of %d: %.2f ms\n",
                values, kRounds, bare);
    std::printf("of which asking each value for its long form: %.2f ms\n", withLongForms - bare);
    std::printf("autostart scan / bare enumeration: %.1fx\n", bare > 0 ? scan / bare : 0.0);

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
