#pragma once
// Points the system's "http" association at ProcessHelper.exe, which takes the
// address it is given as its window title: a test sees exactly what the shell
// was asked to open, and no real web browser starts. The association is put
// back afterwards. (Wine reads associations from HKLM only, so that is where
// the stand-in goes; the test prefix is thrown away after the run.)
#include "tests/unit/HelperProcess.h"
#include "win/Handle.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

class ShellOpenRecorder {
  public:
    ShellOpenRecorder() {
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCommandKey, 0, nullptr, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, m_key.Put(),
                            &disposition) != ERROR_SUCCESS) {
            return;
        }
        DWORD size = 0;
        if (RegQueryValueExA(m_key.Get(), nullptr, nullptr, &m_oldType, nullptr, &size) ==
            ERROR_SUCCESS) {
            m_oldValue.resize(size);
            m_hadValue = RegQueryValueExA(m_key.Get(), nullptr, nullptr, &m_oldType,
                                          m_oldValue.data(), &size) == ERROR_SUCCESS;
            m_oldValue.resize(size);
        }
        // Built in steps: GCC 12 misreports "literal" + string here (-Wrestrict).
        std::string command = HelperProcess::BuiltPath();
        command.insert(0, 1, '"');
        command += "\" --lifetime=30000 \"--window=%1\"";
        m_installed = RegSetValueExA(m_key.Get(), nullptr, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(command.c_str()),
                                     static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
    }

    ~ShellOpenRecorder() {
        // Helpers of a failed check would otherwise stay until their lifetime ends.
        CloseHelperWindows();
        if (!m_key) {
            return;
        }
        if (m_hadValue) {
            RegSetValueExA(m_key.Get(), nullptr, 0, m_oldType, m_oldValue.data(),
                           static_cast<DWORD>(m_oldValue.size()));
        } else {
            RegDeleteValueA(m_key.Get(), nullptr);
        }
    }

    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    bool Installed() const { return m_installed; }

    // The next address the shell opened (the helper is closed again); empty when
    // none arrives within ten seconds.
    std::string WaitForAddress() {
        for (int poll = 0; poll < 100; ++poll) {
            for (HWND window : HelperWindows()) {
                const std::string title = TitleOf(window);
                PostMessageA(window, WM_CLOSE, 0, 0);
                m_seen.push_back(window);
                return title;
            }
            Sleep(100);
        }
        return {};
    }

    // Whether any address was opened in the last moment (for checks that
    // nothing was).
    bool AnyAddressWithin(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        do {
            if (!HelperWindows().empty()) {
                return true;
            }
            Sleep(50);
        } while (GetTickCount() - start < milliseconds);
        return false;
    }

  private:
    static constexpr char kCommandKey[] = "Software\\Classes\\http\\shell\\open\\command";

    static std::string TitleOf(HWND window) {
        char title[2048] = {};
        GetWindowTextA(window, title, sizeof title);
        return title;
    }

    static BOOL CALLBACK CollectHelperWindow(HWND window, LPARAM found) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "OrvaneProcessHelper" && IsWindowVisible(window) &&
            TitleOf(window).rfind("http", 0) == 0) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        }
        return TRUE;
    }

    // Helper windows titled with an address and not yet returned; the helpers
    // of other tests carry other titles.
    std::vector<HWND> HelperWindows() const {
        std::vector<HWND> windows;
        EnumWindows(&CollectHelperWindow, reinterpret_cast<LPARAM>(&windows));
        std::erase_if(windows, [this](HWND window) {
            return std::find(m_seen.begin(), m_seen.end(), window) != m_seen.end();
        });
        return windows;
    }

    void CloseHelperWindows() const {
        for (HWND window : HelperWindows()) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    }

    win::UniqueRegKey m_key;
    bool m_installed = false;
    bool m_hadValue = false;
    DWORD m_oldType = REG_SZ;
    std::vector<BYTE> m_oldValue;
    std::vector<HWND> m_seen;
};
