#include "ui/controls/StaticColorLook.h"

#include <gtest/gtest.h>

TEST(StaticColorLook, ScalingTruncatesEachChannelAndClampsTo255) {
    EXPECT_EQ(ScaleColour(0xFFFFFF, 0.8), 0xCCCCCCu) << "255 x 0.8 = 204";
    // Red 200 -> 160, green 100 -> 80, blue 51 -> 40.8 -> 40.
    EXPECT_EQ(ScaleColour(0x3364C8, 0.8), 0x2850A0u);
    // 252 x 1.03 = 259.56 and 10 x 1.03 = 10.3: clamped and truncated separately.
    EXPECT_EQ(ScaleColour(0x0AFC0A, 1.03), 0x0AFF0Au);
    EXPECT_EQ(ScaleColour(0x808080, 100.0), 0xFFFFFFu);
    EXPECT_EQ(ScaleColour(0x808080, -1.0), 0u) << "a negative factor gives black, not garbage";
    EXPECT_EQ(ScaleColour(0xAB123456, 1.0), 0x123456u) << "the top byte is dropped";
}

TEST(StaticColorLook, HoverLightensTheBackgroundToWhiteAndBlackensTheLabel) {
    const LookColour face = 0xD8E9EC;
    const LookColour shadow = 0x99A8AC;
    StaticColorLook normal = ChooseStaticColorLook(face, shadow, false, false);
    EXPECT_EQ(normal.background, 0xFCFCFCu);
    EXPECT_EQ(normal.text, 0x5A5A5Au) << "RGB(90, 90, 90)";
    // 0xEC x 0.9 = 212.4, 0xE9 x 0.9 = 209.7, 0xD8 x 0.9 = 194.4.
    EXPECT_EQ(normal.frame, 0xC2D1D4u);

    StaticColorLook hovered = ChooseStaticColorLook(face, shadow, true, false);
    EXPECT_EQ(hovered.background, 0xFFFFFFu);
    EXPECT_EQ(hovered.text, 0u);
    EXPECT_EQ(hovered.frame, normal.frame) << "the frame does not follow the mouse";
}

TEST(StaticColorLook, DisabledLabelTakesTheShadowColourWithOrWithoutHover) {
    const LookColour shadow = 0x808080;
    EXPECT_EQ(ChooseStaticColorLook(0xC0C0C0, shadow, false, true).text, shadow);
    StaticColorLook hovered = ChooseStaticColorLook(0xC0C0C0, shadow, true, true);
    EXPECT_EQ(hovered.text, shadow);
    EXPECT_EQ(hovered.background, 0xFFFFFFu) << "the background still shows the hover";
}

TEST(StaticColorLook, LabelEndsLeftOfTheSquareSwatchAtTheRightEnd) {
    const LookRect whole{0, 0, 108, 13};
    const LookRect label = LabelRect(whole);
    EXPECT_EQ(label.left, 3);
    EXPECT_EQ(label.top, 0);
    EXPECT_EQ(label.right, 108 - 13 - 8);
    EXPECT_EQ(label.bottom, 13);

    const LookRect swatch = SwatchRect(whole);
    EXPECT_EQ(swatch.left, 95);
    EXPECT_EQ(swatch.top, 2);
    EXPECT_EQ(swatch.right, 106);
    EXPECT_EQ(swatch.bottom, 11);
    EXPECT_LT(label.right, swatch.left) << "the label never runs into the swatch";

    // At 150 % the gaps grow with the pixels.
    const LookRect tall{0, 0, 162, 20};
    EXPECT_EQ(LabelRect(tall, 144).left, 5);
    EXPECT_EQ(LabelRect(tall, 144).right, 162 - 20 - 12);
    EXPECT_EQ(SwatchRect(tall, 144).top, 3);
    EXPECT_EQ(SwatchRect(tall, 144).right, 159);
}

TEST(StaticColorLook, SwatchFrameIsTheColourDarkenedByAFifth) {
    EXPECT_EQ(SwatchFrameColour(0xFFFFFF), 0xCCCCCCu) << "RGB(204, 204, 204) for white";
    EXPECT_EQ(SwatchFrameColour(0x01F9F9F9), 0xC7C7C7u) << "249 x 0.8 = 199.2; top byte ignored";
    EXPECT_EQ(SwatchFrameColour(0), 0u);
}
