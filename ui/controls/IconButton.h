#pragma once
// A flat owner-drawn push button with an icon and, optionally, its caption;
// it lights up under the mouse and can act as a toggle.
#include "ui/controls/IconButtonLook.h"
#include "win/Handle.h"
#include "win/Window.h"

constexpr unsigned kIconButtonToggle = 0x02;
constexpr unsigned kIconButtonCaption = 0x04;
constexpr unsigned kIconButtonIconLeft = 0x08;
constexpr unsigned kIconButtonCommandOnPress = 0x10;
// The icon's side at 96 dots per inch when SetIcon is given none.
constexpr int kIconButtonIconSize = 16;

class CIconButton : public win::Window {
  public:
    CIconButton();

    // Loads the icon from the program's resources; width and height 0 take
    // 16 pixels at the screen's scale, and follow the scale when it changes.
    BOOL SetIcon(const char* resource, unsigned style, int width, int height);

    IconButtonColours m_colours;
    int m_frameInsets[4] = {0, 0, 0, 0};
    bool IsToggled() const { return m_toggled; }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void Draw(const DRAWITEMSTRUCT& item);
    LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(UINT msg, WPARAM wParam, LPARAM lParam);
    void WaitForButtonRelease() const;
    BOOL ReloadIcon();

    unsigned m_style = 0;
    const char* m_resource = nullptr;
    bool m_scaledIcon = false;
    int m_dpi = 96;
    win::UniqueIcon m_icon;
    int m_iconWidth = 16;
    int m_iconHeight = 16;
    bool m_captured = false;
    bool m_pressed = false;
    bool m_toggled = false;
};
