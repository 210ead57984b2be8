#pragma once
// A page's filter field and its "Hide Windows' own" switch: what they hold
// goes into the page's row filter and is kept in the settings.
#include "app/RowFilter.h"

#include <windows.h>

class CFilterControls {
  public:
    // The control ids on the page and the settings keys of their values.
    CFilterControls(int fieldId, int switchId, const char* textKey, const char* hideKey)
        : m_fieldId(fieldId), m_switchId(switchId), m_textKey(textKey), m_hideKey(hideKey) {}

    const CRowFilter& Filter() const { return m_filter; }
    // Sets the filter and the controls from the settings.
    void Restore(HWND page);
    // True for the notification of a change the user made to either control.
    bool IsChange(WORD id, WORD code) const;
    // Reads the controls into the filter and keeps them in the settings.
    void Read(HWND page);
    // Empties the field and clears the switch; Read takes them in.
    void Clear(HWND page);

  private:
    int m_fieldId;
    int m_switchId;
    const char* m_textKey;
    const char* m_hideKey;
    CRowFilter m_filter;
    // The controls' own changes while they are set from here are not the user's.
    bool m_setting = true;
};
