#include "tests/e2e/Driver.h"

#include "tests/e2e/RemoteListView.h"
#include "tests/helpers/TestSupport.h"

#include "win/Handle.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <thread>
#include <vector>

namespace e2e {
namespace {

std::string TempRoot() {
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    std::string root = base;
    if (!root.empty() && root.back() == '\\') {
        root.pop_back();
    }
    return root;
}

void CopyTree(const std::string& from, const std::string& to) {
    ::CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found{};
    win::UniqueFind find(::FindFirstFileA((from + "\\*").c_str(), &found));
    if (!find) {
        return;
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + "\\" + name, to + "\\" + name);
        } else {
            ::CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
        }
    } while (::FindNextFileA(find.Get(), &found));
}

std::string DirOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

struct FindRequest {
    DWORD processId;
    const std::string* captionPrefix;
    const char* className;
    bool exact;
    HWND found;
};

BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != request->processId) {
        return TRUE;
    }
    if (request->className != nullptr) {
        char cls[64] = {};
        ::GetClassNameA(window, cls, sizeof(cls));
        if (std::string(cls) != request->className) {
            return TRUE;
        }
    }
    std::string caption = WindowText(window);
    bool matches = request->exact ? caption == *request->captionPrefix
                                  : caption.compare(0, request->captionPrefix->size(),
                                                    *request->captionPrefix) == 0;
    if (matches) {
        request->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatics(HWND child, LPARAM param) {
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
        auto* text = reinterpret_cast<std::string*>(param);
        std::string part = WindowText(child);
        if (!part.empty()) {
            *text += part;
        }
    }
    return TRUE;
}

std::string OutputDir() {
    const char* unixDir = std::getenv("ORV_TEST_OUTPUT");
    if (unixDir == nullptr || *unixDir == '\0') {
        return TempRoot();
    }
    return testsupport::WinePathOf(unixDir);
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

std::chrono::milliseconds Scaled(std::chrono::milliseconds timeout) {
    static const long factor = [] {
        const char* text = std::getenv("ORV_TEST_TIME_SCALE");
        const long value = text != nullptr ? std::strtol(text, nullptr, 10) : 1;
        return value >= 1 && value <= 100 ? value : 1;
    }();
    return timeout * factor;
}

std::string& ProgramUnderTest() {
    static std::string path;
    return path;
}

ProgramFolder::ProgramFolder() {
    static int counter = 0;
    m_dir = TempRoot() + "\\Orvane Test " + std::to_string(::GetCurrentProcessId()) + " " +
            std::to_string(++counter);
    testsupport::RemoveTree(m_dir);
    ::CreateDirectoryA(m_dir.c_str(), nullptr);
    ::CopyFileA(ProgramUnderTest().c_str(), Exe().c_str(), FALSE);
    CopyTree(DirOf(ProgramUnderTest()) + "\\help", m_dir + "\\help");
}

ProgramFolder::~ProgramFolder() {
    testsupport::RemoveTree(m_dir);
}

RunningProgram::RunningProgram(const std::string& exe, const std::string& workingDir) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + exe + "\"";
    ::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workingDir.c_str(), &startup, &m_info);
}

RunningProgram::~RunningProgram() {
    if (m_info.hProcess != nullptr) {
        if (!HasExited()) {
            Kill();
        }
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds timeout) {
    return m_info.hProcess != nullptr &&
           ::WaitForSingleObject(m_info.hProcess, static_cast<DWORD>(Scaled(timeout).count())) ==
               WAIT_OBJECT_0;
}

bool RunningProgram::HasExited() {
    return WaitForExit(0ms);
}

void RunningProgram::Kill() {
    ::TerminateProcess(m_info.hProcess, 1);
    ::WaitForSingleObject(m_info.hProcess, 5000);
}

bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + Scaled(timeout);
    for (;;) {
        if (predicate()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
}

HWND FindTopWindow(DWORD processId, const std::string& captionPrefix, const char* className) {
    FindRequest request{processId, &captionPrefix, className, false, nullptr};
    ::EnumWindows(&MatchTopWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND FindMessageBox(DWORD processId, const std::string& caption) {
    FindRequest request{processId, &caption, "#32770", true, nullptr};
    ::EnumWindows(&MatchTopWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND WaitForMessageBox(DWORD processId, const std::string& caption,
                       std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindMessageBox(processId, caption);
            return found != nullptr;
        },
        timeout);
    return found;
}

HWND WaitForTopWindow(DWORD processId, const std::string& captionPrefix,
                      std::chrono::milliseconds timeout, const char* className) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow(processId, captionPrefix, className);
            return found != nullptr;
        },
        timeout);
    return found;
}

std::string WindowText(HWND window) {
    LRESULT length = ::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied =
        ::SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    ::EnumChildWindows(box, &CollectStatics, reinterpret_cast<LPARAM>(&text));
    return text;
}

void BringToFront(HWND window) {
    // Another process may not take the foreground; a click on the window may.
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ClickAt(POINT{rect.left + 20, rect.bottom - 15});
    std::this_thread::sleep_for(200ms);
}

void ClickAt(POINT point, bool rightButton) {
    ::SetCursorPos(point.x, point.y);
    std::this_thread::sleep_for(50ms);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    std::this_thread::sleep_for(100ms);
}

void DragMouse(POINT from, POINT to) {
    ::SetCursorPos(from.x, from.y);
    std::this_thread::sleep_for(50ms);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ::SendInput(1, &input, sizeof(INPUT));
    constexpr int kSteps = 10;
    for (int step = 1; step <= kSteps; ++step) {
        std::this_thread::sleep_for(30ms);
        ::SetCursorPos(from.x + (to.x - from.x) * step / kSteps,
                       from.y + (to.y - from.y) * step / kSteps);
    }
    std::this_thread::sleep_for(50ms);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(INPUT));
    std::this_thread::sleep_for(100ms);
}

void ClickCenterOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void PressKeys(std::initializer_list<WORD> chord) {
    for (WORD key : chord) {
        SendKey(key, false);
    }
    // Held as a person holds them: the program reads the keys' current state
    // when it handles the last key's message.
    std::this_thread::sleep_for(150ms);
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
        SendKey(*key, true);
    }
    std::this_thread::sleep_for(150ms);
}

void TapKey(WORD key, int times) {
    for (int tap = 0; tap < times; ++tap) {
        SendKey(key, false);
        std::this_thread::sleep_for(30ms);
        SendKey(key, true);
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(100ms);
}

HWND FindTrayWindow() {
    // Without a desktop window Wine shows the icons in a small window of its own,
    // visible once it holds an icon; its taskbar window then exists too, hidden.
    HWND tray = ::FindWindowA(nullptr, "Wine System Tray");
    if (tray == nullptr || !::IsWindowVisible(tray)) {
        tray = ::FindWindowA("Shell_TrayWnd", nullptr);
    }
    return tray != nullptr && ::IsWindowVisible(tray) ? tray : nullptr;
}

void ClickFirstTrayIcon(bool rightButton) {
    HWND tray = nullptr;
    WaitUntil(
        [&] {
            tray = FindTrayWindow();
            return tray != nullptr;
        },
        10s);
    RECT rect{};
    ::GetWindowRect(tray, &rect);
    // Two clicks within the double-click time would make a double click.
    static DWORD lastClick = 0;
    DWORD sinceLast = ::GetTickCount() - lastClick;
    if (sinceLast < ::GetDoubleClickTime() + 200) {
        ::Sleep(::GetDoubleClickTime() + 200 - sinceLast);
    }
    lastClick = ::GetTickCount();
    // Icons sit in cells of about 20 pixels from the left edge.
    ClickAt(POINT{rect.left + 10, rect.top + (rect.bottom - rect.top) / 2}, rightButton);
}

bool ReadUserRegistryString(const std::string& keyPath, const std::string& valueName,
                            std::string& value) {
    return ReadRegistryString(HKEY_CURRENT_USER, keyPath, valueName, value);
}

bool ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName,
                        std::string& value) {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return false;
    }
    char data[2048] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS) {
        return false;
    }
    value = data;
    return true;
}

void DeleteUserRegistryValue(const std::string& keyPath, const std::string& valueName) {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, key.Put()) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key.Get(), valueName.c_str());
    }
}

namespace {

// A copy of the screen's rectangle in a bitmap of the bit count, rows bottom
// up; bits points at its pixels. No bitmap when the system would not make one.
win::UniqueBitmap CaptureScreen(const RECT& rect, WORD bitCount, BITMAPINFO& info, void*& bits) {
    info = BITMAPINFO{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = rect.right - rect.left;
    info.bmiHeader.biHeight = rect.bottom - rect.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    bits = nullptr;
    win::WindowDc screen(nullptr);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    win::UniqueBitmap bitmap(
        ::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !memory) {
        return {};
    }
    {
        win::SelectGuard select(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen.Get(),
                 rect.left, rect.top, SRCCOPY);
    }
    ::GdiFlush();
    return bitmap;
}

} // namespace

RECT ClientAreaOnScreen(HWND window) {
    RECT area{};
    ::GetClientRect(window, &area);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

std::string SaveScreenshot(const std::string& name, HWND window) {
    if (window != nullptr && !::IsWindow(window)) {
        return {};
    }
    return SaveScreenshot(name, window != nullptr ? ClientAreaOnScreen(window)
                                                  : RECT{0, 0, LONG_MAX, LONG_MAX});
}

std::string SaveScreenshot(const std::string& name, const RECT& wanted) {
    const RECT whole{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT area{};
    if (!::IntersectRect(&area, &whole, &wanted)) {
        return {};
    }
    BITMAPINFO info{};
    void* bits = nullptr;
    const win::UniqueBitmap bitmap = CaptureScreen(area, 24, info, bits);
    if (!bitmap) {
        return {};
    }
    const DWORD rowBytes = ((info.bmiHeader.biWidth * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * info.bmiHeader.biHeight;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    bytes.append(static_cast<const char*>(bits), imageBytes);
    std::string path = OutputDir() + "\\" + name + ".bmp";
    // A name may put the picture into a folder of its own (pages\info).
    ::CreateDirectoryA(DirOf(path).c_str(), nullptr);
    return WriteFileText(path, bytes) ? path : std::string();
}

int ScreenPixelsOf(const RECT& rect, COLORREF colour) {
    // Wine copies nothing at all from a screen area that reaches past the
    // screen, as a list's row wider than the screen does.
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT shown{};
    if (!::IntersectRect(&shown, &rect, &screen)) {
        return 0;
    }
    BITMAPINFO info{};
    void* bits = nullptr;
    const win::UniqueBitmap bitmap = CaptureScreen(shown, 32, info, bits);
    if (!bitmap) {
        return 0;
    }
    // The bitmap's pixels are 0x00RRGGBB.
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (LONG i = 0; i < info.bmiHeader.biWidth * info.bmiHeader.biHeight; ++i) {
        count += (pixels[i] & 0xFFFFFF) == wanted ? 1 : 0;
    }
    return count;
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

RECT FirstTrayIconRect() {
    HWND tray = FindTrayWindow();
    if (tray == nullptr) {
        return RECT{};
    }
    RECT rect = WindowRectOf(tray);
    // Icons sit in cells of about 20 pixels from the left edge.
    rect.right = std::min(rect.right, rect.left + 22);
    return rect;
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr)) {
        return "<clipboard not opened>";
    }
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

void ClearClipboard() {
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

std::string ListItemText(HWND list, int item, int subItem) {
    return RemoteListView(list).Text(item, subItem);
}

int FindListItem(HWND list, int subItem, const std::string& text) {
    const RemoteListView remote(list);
    const int count = remote.Count();
    for (int i = 0; i < count; ++i) {
        if (remote.Text(i, subItem) == text) {
            return i;
        }
    }
    return -1;
}

POINT ListItemCenter(HWND list, int item) {
    const RECT rect = RemoteListView(list).ItemRect(item);
    // Left of the middle: the name column is always in view.
    return POINT{rect.left + 60, (rect.top + rect.bottom) / 2};
}

} // namespace e2e
