#pragma once
// The smallest window framework worth having: an object attached to a window
// handle, whose virtual WindowProc sees every message. Controls of a dialog
// template are attached by id; their parents reflect notifications back to them.
#include <windows.h>

#include <string>

namespace win {

class Window {
  public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    // Attaches this object to an existing window by replacing its procedure.
    bool Subclass(HWND window);
    // Gives the window back its own procedure.
    void Detach();
    static Window* FromHandle(HWND window);

    // Creates a window of a registered class, attached to this object from its
    // first message on.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu);

    // Registers a class whose windows are handled by Window objects.
    static bool RegisterClassOnce(const char* className, UINT classStyle, HBRUSH background,
                                  HCURSOR cursor);

    // When msg is a notification that names a child window attached to a Window
    // object (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*),
    // offers it to that child's OnReflected. True when the child handled it.
    static bool ReflectToChild(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam,
                               LRESULT& result);

    // The next top-level window this thread creates is attached to target before its first
    // message, so WM_NCCREATE and WM_CREATE reach target's WindowProc. Used for
    // windows that the system creates for us (the property sheet).
    class CreationHook {
      public:
        explicit CreationHook(Window& target);
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;
    };

    std::string GetText() const;
    void SetText(const std::string& text) const;
    // The child window with the control id, and its text.
    HWND GetItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetItemText(int id) const;
    void SetItemText(int id, const std::string& text) const;

  protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The procedure the window had before it was attached (or DefWindowProc).
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // A notification the parent reflected back to this control.
    virtual bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called after the window is gone (WM_NCDESTROY) and every message this
    // object was handling has returned; self-owning windows delete themselves here.
    virtual void OnFinalDestroy() {}

    // Every message handed to this object goes between the two. A window
    // destroyed inside a handler (a button that closes its own window) gets
    // WM_NCDESTROY while that handler still runs: the final destroy waits
    // until the outermost message has returned, so no handler runs on a
    // deleted object.
    void BeginMessage() { ++m_messageDepth; }
    void EndMessage(UINT msg);

    HWND m_hWnd = nullptr;

    // Dialogs attach through their dialog procedure instead of a window procedure.
    void AttachHandle(HWND window);
    void DetachHandle();

  private:
    static LRESULT CALLBACK AttachedProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);

    WNDPROC m_previousProc = nullptr;
    int m_messageDepth = 0;
    bool m_finalDestroyDue = false;
};

// The modeless windows that the modal loop offers every message to through
// IsDialogMessage (the Log Window, warning windows).
namespace modeless {
void Add(HWND window);
void Remove(HWND window);
bool IsDialogMessageOfAny(MSG& msg);
} // namespace modeless

// The text of any window; empty for none.
std::string GetWindowTextOf(HWND window);

} // namespace win
