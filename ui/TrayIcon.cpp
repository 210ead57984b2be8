#include "ui/TrayIcon.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#ifndef _WIN64
static_assert(kTrayRecordSize == 488, "the second version of the tray record");
#endif
static_assert(sizeof(NOTIFYICONDATAA) >= kTrayRecordSize, "tray record too small");

CTrayIcon::CTrayIcon() : m_record{} {}

void CTrayIcon::SetTip(const std::string& tip) {
    size_t length = std::min(tip.size(), sizeof(m_record.szTip) - 1);
    std::memcpy(m_record.szTip, tip.data(), length);
    m_record.szTip[length] = '\0';
}

bool CTrayIcon::Add(HWND owner, UINT callbackMessage, HICON icon, const std::string& tip) {
    m_record = NOTIFYICONDATAA{};
    m_record.cbSize = kTrayRecordSize;
    m_record.hWnd = owner;
    m_record.uID = 1;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_record.uCallbackMessage = callbackMessage;
    m_record.hIcon = icon;
    SetTip(tip);
    m_added = ::Shell_NotifyIconA(NIM_ADD, &m_record) != FALSE;
    return m_added;
}

bool CTrayIcon::Modify(HICON icon, const std::string& tip) {
    m_record.hIcon = icon;
    if (!tip.empty()) {
        SetTip(tip);
    }
    if (::Shell_NotifyIconA(NIM_MODIFY, &m_record)) {
        return true;
    }
    return Readd();
}

bool CTrayIcon::ModifyTip(const std::string& tip) {
    SetTip(tip);
    NOTIFYICONDATAA tipOnly = m_record;
    tipOnly.uFlags = NIF_TIP;
    if (::Shell_NotifyIconA(NIM_MODIFY, &tipOnly)) {
        return true;
    }
    return Readd();
}

bool CTrayIcon::Readd() {
    if (m_record.hWnd == nullptr) {
        return false;
    }
    m_added = ::Shell_NotifyIconA(NIM_ADD, &m_record) != FALSE;
    return m_added;
}

void CTrayIcon::Delete() {
    if (m_record.hWnd != nullptr) {
        ::Shell_NotifyIconA(NIM_DELETE, &m_record);
    }
    m_added = false;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}
