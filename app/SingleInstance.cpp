#include "app/SingleInstance.h"

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
    // "Local\": one per logon session, so another user's copy is no obstacle.
    const std::string name = "Local\\Orvane-" + FolderHash(programDir);
    m_claim.Reset(::CreateMutexA(nullptr, FALSE, name.c_str()));
    m_first = !m_claim || ::GetLastError() != ERROR_ALREADY_EXISTS;
}

void CSingleInstance::ShowRunningCopy() const {
    // The running copy may then come to the front.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::PostMessageA(HWND_BROADCAST, m_showMessage, 0, 0);
}

UINT ShowRunningCopyMessage(const std::string& programDir) {
    return ::RegisterWindowMessageA(("Orvane-ShowYourself-" + FolderHash(programDir)).c_str());
}
