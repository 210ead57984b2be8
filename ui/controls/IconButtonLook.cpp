#include "ui/controls/IconButtonLook.h"

#include <initializer_list>

namespace {

constexpr int kHoverShift = 20;

int Channel(ButtonColour colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

int StepToward(int from, int to) {
    if (to > from) {
        return to - from <= kHoverShift ? to : from + kHoverShift;
    }
    return from - to <= kHoverShift ? to : from - kHoverShift;
}

} // namespace

ButtonColour ChooseButtonBackground(const IconButtonColours& colours, bool hover, bool toggled) {
    if (toggled) {
        if (!hover) {
            return colours.toggledBackground;
        }
        ButtonColour moved = 0;
        for (int shift : {0, 8, 16}) {
            int channel = StepToward(Channel(colours.toggledBackground, shift),
                                     Channel(colours.hoverBackground, shift));
            moved |= static_cast<ButtonColour>(channel) << shift;
        }
        return moved;
    }
    return hover ? colours.hoverBackground : colours.background;
}

ButtonFrame ChooseButtonFrame(const IconButtonColours& colours, bool hover, bool toggled) {
    ButtonFrame chosen = colours.frame;
    if (hover && colours.hoverFrame.on) {
        chosen = colours.hoverFrame;
    }
    if (toggled && colours.toggledFrame.colour != 0) {
        chosen = colours.toggledFrame;
    }
    return chosen;
}
