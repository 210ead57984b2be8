#include "autostart/SystemPlaces.h"

#include "app/SystemHelpers.h"
#include "autostart/AutostartScan.h"
#include "win/Handle.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

using win::UniqueServiceHandle;

// The machine's keys in the system's view, then on a 64-bit system the same
// keys of the 32-bit programs' view.
std::vector<std::string> HookKeyPathsOf(const char* keyPath) {
    std::vector<std::string> paths = {keyPath};
    if (IsSystem64Bit()) {
        paths.push_back(ThirtyTwoBitViewKeyPath(keyPath));
    }
    return paths;
}

// A value's data as text: strings as they are, anything else empty. Missing: false.
bool ReadText(HKEY key, const char* name, std::string& text) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<char> data(bytes + 1);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool isText = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    text = isText ? std::string(data.data(), strnlen(data.data(), bytes)) : std::string();
    return true;
}

bool ReadNumber(HKEY key, const char* name, DWORD& number) {
    DWORD type = 0;
    DWORD bytes = sizeof number;
    return RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &bytes) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

AutostartEntry HookEntry(std::string name, const std::string& keyPath, const char* valueName,
                         const std::string& data) {
    AutostartEntry entry;
    entry.name = std::move(name);
    entry.path = data;
    entry.location = keyPath;
    entry.root = kRootLocalMachine;
    entry.kind = AutostartKind::LogonHook;
    entry.itemName = valueName;
    return entry;
}

void EnumerateImageOptions(const std::string& keyPath, AutostartEntryList& entries) {
    win::UniqueRegKey options;
    if (!OpenKeyInItsView(HKEY_LOCAL_MACHINE, keyPath, KEY_READ, options)) {
        return;
    }
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD chars = sizeof name;
        const LONG result =
            RegEnumKeyExA(options.Get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        win::UniqueRegKey program;
        std::string debugger;
        if (result == ERROR_SUCCESS &&
            RegOpenKeyExA(options.Get(), name, 0, KEY_QUERY_VALUE, program.Put()) ==
                ERROR_SUCCESS &&
            ReadText(program.Get(), kDebuggerValueName, debugger) && !debugger.empty()) {
            entries.push_back(HookEntry(name, keyPath + "\\" + name, kDebuggerValueName, debugger));
        }
    }
}

} // namespace

const QUERY_SERVICE_CONFIGA* ReadServiceConfig(SC_HANDLE service, std::vector<BYTE>& buffer) {
    buffer.resize(std::max<size_t>(buffer.size(), sizeof(QUERY_SERVICE_CONFIGA)));
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD needed = 0;
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (service != nullptr &&
            QueryServiceConfigA(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
            return config;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) {
            return nullptr;
        }
        buffer.resize(needed);
    }
    return nullptr;
}

const char* ServiceStateText(unsigned long state) {
    switch (state) {
    case SERVICE_RUNNING:
        return "Running";
    case SERVICE_STOPPED:
        return "Stopped";
    case SERVICE_START_PENDING:
        return "Starting";
    case SERVICE_STOP_PENDING:
        return "Stopping";
    case SERVICE_PAUSED:
        return "Paused";
    default:
        return "Changing";
    }
}

void EnumerateAutoStartServices(AutostartEntryList& entries) {
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) {
        return;
    }
    std::vector<BYTE> buffer(64 * 1024);
    std::vector<BYTE> config(8 * 1024);
    DWORD resume = 0;
    // A bound on the rounds, should the manager never say it is done.
    for (int round = 0; round < 256; ++round) {
        DWORD needed = 0;
        DWORD count = 0;
        const BOOL done = EnumServicesStatusExA(
            manager.Get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL, buffer.data(),
            static_cast<DWORD>(buffer.size()), &needed, &count, &resume, nullptr);
        if (!done && GetLastError() != ERROR_MORE_DATA) {
            return;
        }
        if (!done && count == 0) {
            // Not even one fits: grow and ask again from where it stopped.
            if (needed <= buffer.size()) {
                return;
            }
            buffer.resize(needed);
            continue;
        }
        const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSA*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            UniqueServiceHandle service(
                OpenServiceA(manager.Get(), services[i].lpServiceName, SERVICE_QUERY_CONFIG));
            const QUERY_SERVICE_CONFIGA* settings = ReadServiceConfig(service.Get(), config);
            if (settings == nullptr || settings->dwStartType != SERVICE_AUTO_START) {
                continue;
            }
            AutostartEntry entry;
            entry.name = services[i].lpDisplayName != nullptr ? services[i].lpDisplayName
                                                              : services[i].lpServiceName;
            entry.path = settings->lpBinaryPathName != nullptr ? settings->lpBinaryPathName : "";
            entry.location = std::string(kServicesKeyPath) + "\\" + services[i].lpServiceName;
            entry.root = kRootLocalMachine;
            entry.kind = AutostartKind::Service;
            entry.itemName = services[i].lpServiceName;
            entry.state = ServiceStateText(services[i].ServiceStatusProcess.dwCurrentState);
            entries.push_back(std::move(entry));
        }
        if (done) {
            return;
        }
    }
}

void EnumerateLogonHooks(AutostartEntryList& entries) {
    const std::string systemFolder = GetSystemDir();
    for (const std::string& keyPath : HookKeyPathsOf(kWinlogonKeyPath)) {
        win::UniqueRegKey key;
        if (!OpenKeyInItsView(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE, key)) {
            continue;
        }
        for (const char* valueName : {"Shell", "Userinit"}) {
            std::string data;
            if (ReadText(key.Get(), valueName, data) &&
                !IsDefaultHookValue(valueName, data, systemFolder)) {
                entries.push_back(HookEntry(valueName, keyPath, valueName, data));
            }
        }
    }
    for (const std::string& keyPath : HookKeyPathsOf(kWindowsKeyPath)) {
        win::UniqueRegKey key;
        DWORD load = 0;
        std::string dlls;
        if (OpenKeyInItsView(HKEY_LOCAL_MACHINE, keyPath, KEY_QUERY_VALUE, key) &&
            ReadNumber(key.Get(), "LoadAppInit_DLLs", load) && load != 0 &&
            ReadText(key.Get(), "AppInit_DLLs", dlls) && !TrimHookValue(dlls).empty()) {
            entries.push_back(HookEntry("AppInit_DLLs", keyPath, "AppInit_DLLs", dlls));
        }
    }
    for (const std::string& keyPath : HookKeyPathsOf(kImageOptionsKeyPath)) {
        EnumerateImageOptions(keyPath, entries);
    }
}

std::vector<AutostartLocation> GetSystemPlacesToWatch() {
    std::vector<AutostartLocation> places = {{0, kRootLocalMachine, kServicesKeyPath, true}};
    for (const char* keyPath : {kWinlogonKeyPath, kWindowsKeyPath, kImageOptionsKeyPath}) {
        for (const std::string& path : HookKeyPathsOf(keyPath)) {
            places.push_back({0, kRootLocalMachine, path, true});
        }
    }
    return places;
}
