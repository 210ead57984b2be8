#include "ui/ScreenDpi.h"

#include "ui/DpiScale.h"
#include "win/Handle.h"

int SystemDpi(const SystemFunctions& functions) {
    if (functions.GetDpiForSystem != nullptr) {
        return static_cast<int>(functions.GetDpiForSystem());
    }
    // Before Windows 10 the screen's device context has the system's figure.
    win::WindowDc screen(nullptr);
    const int dpi = screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window, const SystemFunctions& functions) {
    if (window != nullptr && functions.GetDpiForWindow != nullptr) {
        // 0 for a handle that is no window.
        if (const UINT dpi = functions.GetDpiForWindow(window)) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi(functions);
}

void MoveToSuggestedRect(HWND window, LPARAM suggested) {
    const RECT& rect = *reinterpret_cast<const RECT*>(suggested);
    ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
