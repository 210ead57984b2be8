#include "app/LongPath.h"

#include "app/SystemFunctions.h"

namespace {

GetLongPathNameAFunction SystemFunction() {
    // Early Windows 95 has no GetLongPathNameA.
    return GetSystemFunctions().GetLongPathNameA;
}

bool g_overridden = false;
GetLongPathNameAFunction g_override = nullptr;

} // namespace

std::string GetLongPath(const std::string& path) {
    const GetLongPathNameAFunction getLongPathName = g_overridden ? g_override : SystemFunction();
    if (!getLongPathName) {
        return std::string();
    }
    constexpr DWORD kBufferChars = 600;
    char buffer[kBufferChars] = {};
    const DWORD length = getLongPathName(path.c_str(), buffer, kBufferChars);
    // A buffer too small is answered with the size it would need, which is
    // not a length of anything in the buffer.
    if (length == 0 || length >= kBufferChars) {
        return std::string();
    }
    return std::string(buffer, length);
}

void SetLongPathBindingForTesting(GetLongPathNameAFunction function) {
    g_overridden = true;
    g_override = function;
}

void ResetLongPathBindingForTesting() {
    g_overridden = false;
    g_override = nullptr;
}
