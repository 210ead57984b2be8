#pragma once
// The program's one notification-area icon. The record keeps the size of its
// second version (488 bytes in a 32-bit program), which every shell since
// Windows 2000 accepts.
#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <string>

constexpr DWORD kTrayRecordSize = static_cast<DWORD>(offsetof(NOTIFYICONDATAA, guidItem));

class CTrayIcon {
  public:
    CTrayIcon();
    // Fills the record (id 1, message, icon and tip) and adds the icon.
    bool Add(HWND owner, UINT callbackMessage, HICON icon, const std::string& tip);
    // Replaces picture and tooltip (cut to 127 characters). When the shell has
    // lost the icon (NIM_MODIFY fails), adds it again.
    bool Modify(HICON icon, const std::string& tip);
    // Replaces the tooltip alone; the shell keeps the picture it has.
    bool ModifyTip(const std::string& tip);
    // The shell restarted ("TaskbarCreated"): the icon must be added again.
    bool Readd();
    void Delete();
    bool IsAdded() const { return m_added; }
    const NOTIFYICONDATAA& Record() const { return m_record; }

  private:
    void SetTip(const std::string& tip);

    NOTIFYICONDATAA m_record;
    bool m_added = false;
};

// The message the shell broadcasts when the taskbar is (re)created.
UINT TaskbarCreatedMessage();
