#pragma once
// Every context menu of the program: filled, tracked once at the mouse, and
// answering with the chosen item's id (or -1).
#include "win/Handle.h"
#include "win/Window.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr UINT kQuickMenuSeparatorId = 19000;

class CQuickMenu : public win::Window {
  public:
    CQuickMenu();
    ~CQuickMenu() override;

    // The popup to show; the quick menu owns and destroys it.
    void AttachMenu(HMENU popup) { m_menu.Reset(popup); }
    HMENU GetMenu() const { return m_menu.Get(); }

    // The hidden window that owns the menu while it is tracked.
    int CreateMenuWindow(HWND parent);
    void AppendItem(UINT flags, UINT id, const char* text);
    // Shows the menu at x, y (-1: the mouse position) and returns the chosen id,
    // or -1 when the menu was dismissed.
    int64_t Track(int ignored, int x, int y, int ignoredToo);

    const std::string& GetChosenText() const { return m_chosenText; }
    int32_t GetChosenIndex() const { return m_chosenIndex; }

  private:
    win::UniqueMenu m_menu;
    int32_t m_chosenId = -1;
    int32_t m_chosenIdHigh = -1;
    std::string m_chosenText;
    int32_t m_chosenIndex = -1;
    std::vector<int32_t> m_itemIds;
    std::vector<std::string> m_itemTexts;
};

// The two failure texts, as the program has always shown them (code page 1250).
extern const char kQuickMenuRegisterFailed[];
extern const char kQuickMenuCreateFailed[];
