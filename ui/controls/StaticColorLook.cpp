#include "ui/controls/StaticColorLook.h"

#include <algorithm>

namespace {

constexpr LookColour kBackground = 0xFCFCFC; // RGB(252, 252, 252)
constexpr LookColour kLabel = 0x5A5A5A;      // RGB(90, 90, 90)
constexpr LookColour kHoverLabel = 0x000000;
constexpr double kHoverLighten = 1.03;
constexpr double kFrameDarken = 0.9;
constexpr double kSwatchFrameDarken = 0.8;

LookColour ScaleChannel(LookColour colour, int shift, double factor) {
    const double scaled = static_cast<double>((colour >> shift) & 0xFF) * factor;
    // Clamp before converting: a huge or negative product must not overflow the cast.
    const double clamped = std::clamp(scaled, 0.0, 255.0);
    return static_cast<LookColour>(static_cast<int>(clamped)) << shift;
}

} // namespace

LookColour ScaleColour(LookColour colour, double factor) {
    if (!(factor >= 0.0)) {
        factor = 0.0; // also catches NaN
    }
    return ScaleChannel(colour, 0, factor) | ScaleChannel(colour, 8, factor) |
           ScaleChannel(colour, 16, factor);
}

StaticColorLook ChooseStaticColorLook(LookColour buttonFace, LookColour buttonShadow, bool hover,
                                      bool disabled) {
    StaticColorLook look;
    look.background = hover ? ScaleColour(kBackground, kHoverLighten) : kBackground;
    look.frame = ScaleColour(buttonFace, kFrameDarken);
    if (disabled) {
        look.text = buttonShadow & 0xFFFFFF;
    } else {
        look.text = hover ? kHoverLabel : kLabel;
    }
    return look;
}

LookRect LabelRect(const LookRect& whole, int dpi) {
    const int height = whole.bottom - whole.top;
    return {whole.left + ScaleForDpi(3, dpi), whole.top, whole.right - height - ScaleForDpi(8, dpi),
            whole.bottom};
}

LookRect SwatchRect(const LookRect& whole, int dpi) {
    const int height = whole.bottom - whole.top;
    const int gap = ScaleForDpi(2, dpi);
    return {whole.right - height, whole.top + gap, whole.right - gap, whole.bottom - gap};
}

LookColour SwatchFrameColour(LookColour colour) {
    return ScaleColour(colour & 0xFFFFFF, kSwatchFrameDarken);
}
