#pragma once
// Starts tests/helpers/ProcessHelper.exe (or a copy of it under another name),
// waits until it says it is ready, and kills it when the test is done.
#include "app/SystemHelpers.h"

#include <windows.h>

#include <cstdlib>
#include <string>

class HelperProcess {
  public:
    HelperProcess() = default;
    ~HelperProcess() { Kill(); }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // The helper built beside the test program.
    static std::string BuiltPath() { return GetExeDir() + "\\ProcessHelper.exe"; }

    // Starts exe with the helper's options; true once it reported ready (10 s at most,
    // times ORV_TEST_TIME_SCALE where the tests run emulated).
    bool Start(const std::string& options = "", const std::string& exe = BuiltPath()) {
        static unsigned counter = 0;
        const std::string readyName = "OrvHelperReady-" + std::to_string(GetCurrentProcessId()) +
                                      "-" + std::to_string(++counter);
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
        if (!ready) {
            return false;
        }
        std::string commandLine = "\"" + exe + "\" --ready=" + readyName + " " + options;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const bool started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr,
                                            FALSE, 0, nullptr, nullptr, &startup, &info);
        if (started) {
            CloseHandle(info.hThread);
            m_process = info.hProcess;
            m_id = info.dwProcessId;
            m_path = exe;
        }
        const HANDLE waits[2] = {ready, m_process};
        const bool isReady = started && WaitForMultipleObjects(
                                            2, waits, FALSE, 10000 * TimeScale()) == WAIT_OBJECT_0;
        CloseHandle(ready);
        return isReady;
    }

    void Kill() {
        if (m_process) {
            TerminateProcess(m_process, 1);
            WaitForSingleObject(m_process, 10000);
            CloseHandle(m_process);
            m_process = nullptr;
        }
    }

    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process; }
    const std::string& Path() const { return m_path; }

  private:
    static DWORD TimeScale() {
        char text[16] = {};
        const DWORD length = GetEnvironmentVariableA("ORV_TEST_TIME_SCALE", text, sizeof text);
        const long factor = length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 1;
        return factor >= 1 && factor <= 100 ? static_cast<DWORD>(factor) : 1;
    }

    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    std::string m_path;
};
