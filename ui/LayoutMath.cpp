#include "ui/LayoutMath.h"

namespace {
long Scaled(long value, double factor) {
    return static_cast<long>(value * factor);
}
} // namespace

LayoutBox ScaleChildBox(const LayoutBox& box, unsigned flags, double sx, double sy) {
    const bool keepSize = (flags & kMoveKeepSize) != 0;
    LayoutBox moved;
    moved.left = (keepSize || (flags & kScaleLeft)) ? Scaled(box.left, sx) : box.left;
    if (keepSize) {
        moved.right = (box.right - box.left) + Scaled(box.left, sx);
    } else {
        moved.right = (flags & kScaleRight) ? Scaled(box.right, sx) : box.right;
    }
    moved.top = (keepSize || (flags & kScaleTop)) ? Scaled(box.top, sy) : box.top;
    if (keepSize) {
        moved.bottom = box.bottom + (Scaled(box.top, sy) - box.top);
    } else {
        moved.bottom = (flags & kScaleBottom) ? Scaled(box.bottom, sy) : box.bottom;
    }
    return moved;
}
