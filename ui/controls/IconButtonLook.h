#pragma once
// How an icon button looks in each state, apart from any window.
#include <cstdint>

using ButtonColour = uint32_t; // 0x00BBGGRR

struct ButtonFrame {
    ButtonColour colour = 0;
    bool on = false;
};

struct IconButtonColours {
    ButtonColour background = 0xFFFFFF;
    ButtonColour hoverBackground = 0xFFFFFF;
    ButtonColour toggledBackground = 0xFFCDCD;
    ButtonFrame frame{0, false};
    ButtonFrame hoverFrame{0, true};
    ButtonFrame toggledFrame{0xC86464, true};
};

// The background for the state; a hovered toggled button moves its toggled
// colour toward the hover colour by at most 20 per channel.
ButtonColour ChooseButtonBackground(const IconButtonColours& colours, bool hover, bool toggled);
ButtonFrame ChooseButtonFrame(const IconButtonColours& colours, bool hover, bool toggled);
