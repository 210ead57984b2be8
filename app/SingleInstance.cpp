#include "app/SingleInstance.h"

#include "app/SystemFunctions.h"

#include <cstdint>
#include <cstdio>

namespace {

// The same folder written in another case or with a trailing "\" is the same
// folder: the name is made from the upper-cased path without it.
std::string FolderKey(const std::string& programDir) {
    std::string key = programDir;
    while (!key.empty() && (key.back() == '\\' || key.back() == '/')) {
        key.pop_back();
    }
    if (!key.empty()) {
        ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
    }
    return key;
}

// Names of kernel objects may not hold "\" past their namespace: the folder
// goes in as a hash (FNV-1a).
std::string FolderHash(const std::string& programDir) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : FolderKey(programDir)) {
        hash = (hash ^ c) * 16777619u;
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(hash));
    return text;
}

} // namespace

CSingleInstance::CSingleInstance(const std::string& programDir)
    : m_showMessage(ShowRunningCopyMessage(programDir)) {
    m_claim.Reset(::CreateMutexA(nullptr, FALSE, OneCopyMutexName(programDir).c_str()));
    // A copy running as administrator made the mutex with rights this user's
    // plain token lacks: refused access means it exists.
    const DWORD error = ::GetLastError();
    m_first = m_claim ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
    if (m_first) {
        // Windows drops a plain program's messages to an elevated one unless it
        // lets them through.
        if (const auto allow = GetSystemFunctions().ChangeWindowMessageFilter) {
            constexpr DWORD kAllowMessage = 1; // MSGFLT_ADD
            allow(m_showMessage, kAllowMessage);
        }
    }
}

void CSingleInstance::ShowRunningCopy() const {
    // The running copy may then come to the front.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::PostMessageA(HWND_BROADCAST, m_showMessage, 0, 0);
}

std::string OneCopyMutexName(const std::string& programDir) {
    // "Local\": one per logon session, so another user's copy is no obstacle.
    return "Local\\Orvane-" + FolderHash(programDir);
}

UINT ShowRunningCopyMessage(const std::string& programDir) {
    return ::RegisterWindowMessageA(("Orvane-ShowYourself-" + FolderHash(programDir)).c_str());
}
