#pragma once
// A colour chooser on a static control: a label and a swatch of the colour,
// lit up under the mouse; a click opens the system's colour dialog.
#include "win/Window.h"

constexpr unsigned kStaticColorDrawLabel = 0x01;
// Hover tracking: the control looks at the cursor ten times a second.
constexpr UINT_PTR kStaticColorTimer = 334;
constexpr UINT kStaticColorTimerPeriod = 100;

class CEStaticColor : public win::Window {
  public:
    CEStaticColor() = default;
    ~CEStaticColor() override;

    // 0x00BBGGRR; the owner sets and reads it directly and redraws the control
    // after setting it.
    COLORREF m_colour = 0;

    void Redraw() const;
    // Draws the whole look into dc (the control's own paint, or WM_PRINTCLIENT).
    void Draw(HDC dc) const;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void StartOnFirstPaint();
    void TrackHover();
    void ChooseColour();

    unsigned m_flags = kStaticColorDrawLabel;
    bool m_initialised = false;
    POINT m_lastMouse{0, 0};
    bool m_choosing = false;
};
