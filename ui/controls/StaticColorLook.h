#pragma once
// How the colour swatch control looks in each state, apart from any window.
#include "ui/DpiScale.h"

#include <cstdint>

using LookColour = uint32_t; // 0x00BBGGRR

// Each of red, green and blue multiplied by factor, truncated and clamped to
// 0..255; the top byte of the result is 0.
LookColour ScaleColour(LookColour colour, double factor);

struct StaticColorLook {
    LookColour background = 0;
    LookColour frame = 0;
    LookColour text = 0;
};

// buttonFace and buttonShadow are the system's colours of those names.
StaticColorLook ChooseStaticColorLook(LookColour buttonFace, LookColour buttonShadow, bool hover,
                                      bool disabled);

struct LookRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The label sits left of the swatch, which is a square at the right end; the
// gaps between them are 96-dpi pixels scaled to dpi.
LookRect LabelRect(const LookRect& whole, int dpi = kDesignDpi);
LookRect SwatchRect(const LookRect& whole, int dpi = kDesignDpi);
LookColour SwatchFrameColour(LookColour colour);
