#pragma once
// A static text that looks and acts like a web link: blue and underlined, a
// hand cursor, and a click opens its target with the shell.
#include "win/Handle.h"
#include "win/Window.h"

#include <string>

class CEStaticLink : public win::Window {
  public:
    CEStaticLink() = default;
    ~CEStaticLink() override;

    // The address or file a click opens; empty: a click does nothing.
    void SetTarget(const std::string& target) { m_target = target; }
    const std::string& GetTarget() const { return m_target; }

    // The hand all links show, looked for once per run; null when the system
    // has none (links then show the default arrow). Never destroy it.
    static HCURSOR GetHandCursor();

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    HBRUSH OnCtlColor(HDC dc);
    LRESULT OnSetCursor(UINT msg, WPARAM wParam, LPARAM lParam);
    void OpenTarget() const;

    std::string m_target;
    win::UniqueFont m_underlineFont;
    // The control's own font, given back before the underline font is deleted.
    HFONT m_originalFont = nullptr;
};

// Cursor 106 of the help program at programPath, loaded from the file as data
// and copied, so it outlives the module; empty when the file or cursor is missing.
win::UniqueCursor LoadHelpProgramCursor(const std::string& programPath);
