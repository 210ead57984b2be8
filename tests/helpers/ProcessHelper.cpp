// A process for tests to watch: it can burn processor time, show a titled
// window, tell when it is ready, and is killed by the test (or leaves by itself
// after --lifetime, so no stray helper outlives a failed test for long).
//
//   ProcessHelper.exe [--window=TITLE] [--burn=MS] [--ready=EVENT] [--lifetime=MS]
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    std::string window;
    std::string ready;
    DWORD burn = 0;
    DWORD lifetime = 60000;
};

bool Value(const char* argument, const char* name, std::string& value) {
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0) {
        return false;
    }
    value = argument + length;
    return true;
}

DWORD WINAPI Burn(void* parameter) {
    const DWORD milliseconds = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
    const DWORD start = ::GetTickCount();
    volatile unsigned long spin = 0;
    while (::GetTickCount() - start < milliseconds) {
        for (int i = 0; i < 100000; ++i) {
            spin = spin + 1;
        }
    }
    return 0;
}

LRESULT CALLBACK HelperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateTitledWindow(const std::string& title) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = HelperWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvaneProcessHelper";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, title.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 120, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
    return window;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string value;
        if (Value(argv[i], "--window=", value)) {
            options.window = value;
        } else if (Value(argv[i], "--ready=", value)) {
            options.ready = value;
        } else if (Value(argv[i], "--burn=", value)) {
            options.burn = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (Value(argv[i], "--lifetime=", value)) {
            options.lifetime = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else {
            return 2;
        }
    }

    if (!options.window.empty() && !CreateTitledWindow(options.window)) {
        return 3;
    }
    if (options.burn > 0) {
        HANDLE burner = ::CreateThread(nullptr, 0, Burn,
                                       reinterpret_cast<void*>(UINT_PTR{options.burn}), 0, nullptr);
        if (!burner) {
            return 4;
        }
        ::CloseHandle(burner);
    }
    if (!options.ready.empty()) {
        HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, options.ready.c_str());
        if (ready) {
            ::SetEvent(ready);
            ::CloseHandle(ready);
        }
    }

    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= options.lifetime) {
            break;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, options.lifetime - spent, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return 0;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return 0;
}
