#include "ui/controls/IconButtonLook.h"

#include <gtest/gtest.h>

TEST(IconButtonLook, HoverTurnsTheBackgroundWhiteAndShowsTheHoverFrame) {
    IconButtonColours colours;
    colours.background = 0xE0E0E0;
    colours.frame = {0xFFC8C8, true};
    EXPECT_EQ(ChooseButtonBackground(colours, false, false), 0xE0E0E0u);
    EXPECT_EQ(ChooseButtonBackground(colours, true, false), 0xFFFFFFu);
    EXPECT_EQ(ChooseButtonFrame(colours, false, false).colour, 0xFFC8C8u);
    EXPECT_EQ(ChooseButtonFrame(colours, true, false).colour, 0u) << "the black hover frame";
    EXPECT_TRUE(ChooseButtonFrame(colours, true, false).on);
}

TEST(IconButtonLook, HoveredToggleMovesAtMostTwentyPerChannelTowardTheHoverColour) {
    IconButtonColours colours;
    EXPECT_EQ(ChooseButtonBackground(colours, false, true), 0xFFCDCDu);
    // Red 205 -> 225, green 205 -> 225, blue 255 stays.
    EXPECT_EQ(ChooseButtonBackground(colours, true, true), 0xFFE1E1u);
    colours.toggledBackground = 0xF0F0F0; // within 20 of white: becomes white
    EXPECT_EQ(ChooseButtonBackground(colours, true, true), 0xFFFFFFu);
    colours.hoverBackground = 0x000000; // moves down as well
    colours.toggledBackground = 0x102030;
    EXPECT_EQ(ChooseButtonBackground(colours, true, true), 0x000C1Cu);
}

TEST(IconButtonLook, ToggledFrameWinsUnlessItIsBlack) {
    IconButtonColours colours;
    EXPECT_EQ(ChooseButtonFrame(colours, true, true).colour, 0xC86464u);
    colours.toggledFrame.colour = 0;
    colours.frame = {0x123456, true};
    EXPECT_EQ(ChooseButtonFrame(colours, false, true).colour, 0x123456u)
        << "a black toggled frame is not used";
}
