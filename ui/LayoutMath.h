#pragma once
// The arithmetic of the proportional layout, apart from any window.

// Flag bits of one recorded child.
constexpr unsigned kScaleLeft = 1;
constexpr unsigned kScaleTop = 2;
constexpr unsigned kScaleRight = 4;
constexpr unsigned kScaleBottom = 8;
// Moves with the scaled top-left corner but keeps its recorded size (buttons).
constexpr unsigned kMoveKeepSize = 16;

struct LayoutBox {
    long left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const LayoutBox&) const = default;
};

// Where a child recorded at box goes when its parent is scaled by sx, sy.
// Every product is truncated toward zero.
LayoutBox ScaleChildBox(const LayoutBox& box, unsigned flags, double sx, double sy);
