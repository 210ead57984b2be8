#include "app/Elevation.h"

#include "app/SystemHelpers.h"
#include "win/Handle.h"

#include <shellapi.h>

#include <cstdlib>

namespace {

constexpr char kTakeOverSwitch[] = "/takeover=";
constexpr DWORD kTakeOverWaitMs = 60 * 1000;

} // namespace

bool IsElevated() {
    win::UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        // No UAC on this system: an administrator has every right already.
        return ::GetLastError() == ERROR_INVALID_PARAMETER;
    }
    return elevation.TokenIsElevated != 0;
}

bool StartElevatedCopy(HWND owner) {
    const std::string exe = GetExePath();
    const std::string parameters = kTakeOverSwitch + std::to_string(::GetCurrentProcessId());
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.lpVerb = "runas";
    info.lpFile = exe.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExA(&info) != FALSE;
}

uint32_t TakeOverFrom(const std::string& commandLine) {
    const size_t at = commandLine.find(kTakeOverSwitch);
    if (at == std::string::npos) {
        return 0;
    }
    const char* digits = commandLine.c_str() + at + sizeof kTakeOverSwitch - 1;
    char* end = nullptr;
    const unsigned long id = std::strtoul(digits, &end, 10);
    const bool whole = end != digits && (*end == '\0' || *end == ' ' || *end == '"');
    return whole && id <= 0xFFFFFFFFul ? static_cast<uint32_t>(id) : 0;
}

void WaitForCopyToEnd(uint32_t processId) {
    if (processId == 0 || processId == ::GetCurrentProcessId()) {
        return;
    }
    const win::UniqueHandle copy(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (copy) {
        ::WaitForSingleObject(copy.Get(), kTakeOverWaitMs);
    }
}
