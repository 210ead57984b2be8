#include "win/Window.h"

#include "win/Handle.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

namespace win {
namespace {

// Which object each attached window belongs to. Kept in the process rather
// than as a window property: the lookup runs for every message, and under
// Wine reading a property is a trip to the window server. Made once and never
// destroyed, as windows may be detached during the program's exit.
class AttachedWindows {
  public:
    AttachedWindows() { ::InitializeCriticalSection(&m_lock); }
    AttachedWindows(const AttachedWindows&) = delete;
    AttachedWindows& operator=(const AttachedWindows&) = delete;

    void Set(HWND window, Window* object) {
        Locked locked(m_lock);
        m_objects[window] = object;
    }
    void Remove(HWND window) {
        Locked locked(m_lock);
        m_objects.erase(window);
    }
    Window* Find(HWND window) {
        Locked locked(m_lock);
        const auto found = m_objects.find(window);
        return found != m_objects.end() ? found->second : nullptr;
    }

  private:
    using Locked = CriticalSectionLock;

    CRITICAL_SECTION m_lock;
    std::unordered_map<HWND, Window*> m_objects;
};

AttachedWindows& Attached() {
    static AttachedWindows* const windows = new AttachedWindows;
    return *windows;
}

// Only one GUI thread creates windows, so the hook's target needs no lock.
Window* g_creationTarget = nullptr;
HHOOK g_creationHook = nullptr;

std::vector<HWND>& ModelessList() {
    static std::vector<HWND> list;
    return list;
}

HWND ReflectionTarget(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : item->hwndItem;
    }
    case WM_MEASUREITEM: {
        const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(parent, wParam);
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}

} // namespace

Window::~Window() {
    Detach();
    DetachHandle();
}

Window* Window::FromHandle(HWND window) {
    return window ? Attached().Find(window) : nullptr;
}

void Window::AttachHandle(HWND window) {
    m_hWnd = window;
    Attached().Set(window, this);
}

void Window::DetachHandle() {
    if (m_hWnd != nullptr) {
        Attached().Remove(m_hWnd);
        m_hWnd = nullptr;
    }
}

bool Window::Subclass(HWND window) {
    if (window == nullptr || m_hWnd != nullptr) {
        return false;
    }
    AttachHandle(window);
    m_previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AttachedProc)));
    return true;
}

void Window::Detach() {
    if (m_hWnd != nullptr && m_previousProc != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        m_previousProc = nullptr;
        DetachHandle();
    }
}

bool Window::RegisterClassOnce(const char* className, UINT classStyle, HBRUSH background,
                               HCURSOR cursor) {
    WNDCLASSA existing{};
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoA(instance, className, &existing)) {
        return true;
    }
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = &CreationProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                      const RECT& rect, HWND parent, UINT_PTR idOrMenu) {
    HWND window =
        ::CreateWindowExA(exStyle, className, title, style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleA(nullptr), this);
    return window != nullptr;
}

// The procedure of classes registered through RegisterClassOnce: attaches the
// object passed in CREATESTRUCT at the first message that carries it.
LRESULT CALLBACK Window::CreationProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        if (self != nullptr) {
            self->AttachHandle(window);
            self->m_previousProc = &::DefWindowProcA;
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AttachedProc));
            return AttachedProc(window, msg, wParam, lParam);
        }
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT CALLBACK Window::AttachedProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = FromHandle(window);
    if (self == nullptr) {
        return ::DefWindowProcA(window, msg, wParam, lParam);
    }
    LRESULT result = 0;
    self->BeginMessage();
    // No C++ exception may cross back into the system.
    try {
        result = self->WindowProc(msg, wParam, lParam);
    } catch (...) {
        result = 0;
    }
    if (msg == WM_NCDESTROY && self->m_previousProc != nullptr) {
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_previousProc));
        self->m_previousProc = nullptr;
    }
    self->EndMessage(msg);
    return result;
}

void Window::EndMessage(UINT msg) {
    if (msg == WM_NCDESTROY) {
        DetachHandle();
        m_finalDestroyDue = true;
    }
    if (--m_messageDepth == 0 && std::exchange(m_finalDestroyDue, false)) {
        // May delete this object: nothing after it.
        OnFinalDestroy();
    }
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(m_hWnd, msg, wParam, lParam, result)) {
        return result;
    }
    return DefaultProc(msg, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_previousProc != nullptr) {
        return ::CallWindowProcA(m_previousProc, m_hWnd, msg, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

bool Window::OnReflected(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool Window::ReflectToChild(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = ReflectionTarget(parent, msg, wParam, lParam);
    if (child == nullptr || child == parent) {
        return false;
    }
    Window* control = FromHandle(child);
    return control != nullptr && control->OnReflected(msg, wParam, lParam, result);
}

Window::CreationHook::CreationHook(Window& target) {
    g_creationTarget = &target;
    g_creationHook =
        ::SetWindowsHookExA(WH_CBT, &CreationHookProc, nullptr, ::GetCurrentThreadId());
}

Window::CreationHook::~CreationHook() {
    if (g_creationHook != nullptr) {
        ::UnhookWindowsHookEx(g_creationHook);
        g_creationHook = nullptr;
    }
    g_creationTarget = nullptr;
}

LRESULT CALLBACK Window::CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_creationTarget != nullptr) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        if ((create->lpcs->style & WS_CHILD) == 0) {
            Window* target = std::exchange(g_creationTarget, nullptr);
            target->Subclass(reinterpret_cast<HWND>(wParam));
        }
    }
    return ::CallNextHookEx(g_creationHook, code, wParam, lParam);
}

std::string GetWindowTextOf(HWND window) {
    if (window == nullptr) {
        return std::string();
    }
    int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

std::string Window::GetText() const {
    return GetWindowTextOf(m_hWnd);
}

void Window::SetText(const std::string& text) const {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string Window::GetItemText(int id) const {
    return GetWindowTextOf(GetItem(id));
}

void Window::SetItemText(int id, const std::string& text) const {
    ::SetDlgItemTextA(m_hWnd, id, text.c_str());
}

namespace modeless {

void Add(HWND window) {
    auto& list = ModelessList();
    if (std::find(list.begin(), list.end(), window) == list.end()) {
        list.push_back(window);
    }
}

void Remove(HWND window) {
    auto& list = ModelessList();
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

bool IsDialogMessageOfAny(MSG& msg) {
    // A copy: a dialog may close (and leave the list) while handling the message.
    const std::vector<HWND> list = ModelessList();
    for (HWND window : list) {
        if (::IsWindow(window) && ::IsDialogMessageA(window, &msg)) {
            return true;
        }
    }
    return false;
}

} // namespace modeless
} // namespace win
