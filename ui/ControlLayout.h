#pragma once
// Records the child windows of one window and later moves them in proportion
// to that window's size. The sheet and each page keep one.
#include "ui/LayoutMath.h"

#include <windows.h>

#include <vector>

class CControlLayout {
  public:
    struct Item {
        RECT rect;
        HWND window;
        unsigned flags;
    };

    void SetParent(HWND parent) { m_parent = parent; }
    void SetRecordedRect(const RECT& parentWindowRect) { m_recordedRect = parentWindowRect; }
    void SetRedraw(bool redraw) { m_redraw = redraw; }
    void Clear() { m_items.clear(); }

    // Appends every direct child, in z-order: buttons keep their size, the
    // rest scale on all four edges.
    void RecordChildren();
    // Moves the children for a parent window rectangle (screen coordinates).
    void ApplyLayout(long left, long top, long right, long bottom);
    // ApplyLayout with the parent's current window rectangle.
    void Relayout();

    const std::vector<Item>& Items() const { return m_items; }

  private:
    std::vector<Item> m_items;
    RECT m_recordedRect{};
    HWND m_parent = nullptr;
    bool m_redraw = false;
};
