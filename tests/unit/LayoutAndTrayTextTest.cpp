// Layout arithmetic and the tray's figures: no windows, so these also run natively.
#include "ui/DpiScale.h"
#include "ui/LayoutMath.h"
#include "ui/TrayText.h"

#include <gtest/gtest.h>

TEST(LayoutMath, ButtonsMoveWithTheirCornerAndKeepTheirSize) {
    LayoutBox button{100, 50, 175, 73};
    EXPECT_EQ(ScaleChildBox(button, kMoveKeepSize, 1.5, 2.0), (LayoutBox{150, 100, 225, 123}));
    // The scale flags do not matter once the keep-size flag is set.
    EXPECT_EQ(ScaleChildBox(button, kMoveKeepSize | 15, 1.5, 2.0), (LayoutBox{150, 100, 225, 123}));
}

TEST(LayoutMath, OtherChildrenScaleEachFlaggedEdgeAndTruncate) {
    LayoutBox list{7, 9, 101, 203};
    EXPECT_EQ(ScaleChildBox(list, 15, 1.5, 1.25), (LayoutBox{10, 11, 151, 253}));
    EXPECT_EQ(ScaleChildBox(list, kScaleRight | kScaleBottom, 1.5, 1.25),
              (LayoutBox{7, 9, 151, 253}));
    EXPECT_EQ(ScaleChildBox(list, 0, 3.0, 3.0), list);
    // Shrinking truncates toward zero, also for negative coordinates.
    EXPECT_EQ(ScaleChildBox(LayoutBox{-9, -9, 9, 9}, 15, 0.5, 0.5), (LayoutBox{-4, -4, 4, 4}));
}

TEST(DpiScale, SizesStayAt96AndRoundHalvesAwayFromZeroElsewhere) {
    EXPECT_EQ(ScaleForDpi(16, 96), 16);
    EXPECT_EQ(ScaleForDpi(16, 144), 24);
    EXPECT_EQ(ScaleForDpi(1, 144), 2) << "1.5 rounds up, as MulDiv does";
    EXPECT_EQ(ScaleForDpi(-1, 144), -2);
    EXPECT_EQ(ScaleForDpi(3, 120), 4) << "3.75";
    EXPECT_EQ(ScaleForDpi(15, 0), 15) << "an unknown dpi leaves the size";
    EXPECT_EQ(ScaleRounded(7, 23, 15), 11);
    EXPECT_EQ(ScaleForDpi(20000000, 192), 40000000) << "the product needs 64 bits";
}

TEST(TrayFigures, PercentIsUsedTimesHundredOverTotalAndNeverDividesByZero) {
    EXPECT_EQ(PercentOf(51, 100), 51u) << "not 100 ÷ (100 ÷ 51) = 100";
    EXPECT_EQ(PercentOf(0, 100), 0u);
    EXPECT_EQ(PercentOf(100, 100), 100u);
    EXPECT_EQ(PercentOf(5, 0), 0u);
    EXPECT_EQ(PercentOf(101, 100), 0u) << "used above total is no figure";
    // 8 GiB machines: beyond 32 bits.
    EXPECT_EQ(PercentOf(6ull << 30, 8ull << 30), 75u);
}

TEST(TrayFigures, BarHeightsFollowThePercentAndStayInsideThePicture) {
    EXPECT_EQ(BarHeight(0), 0);
    EXPECT_EQ(BarHeight(-5), 0);
    EXPECT_EQ(BarHeight(50), 6);
    EXPECT_EQ(BarHeight(100), 13);
    EXPECT_EQ(BarHeight(250), 13);
    EXPECT_EQ(BarHeight(8), 1);
    EXPECT_EQ(BarHeight(7), 0);
}

TEST(TrayFigures, TooltipListsTheFiguresThatAreKnown) {
    TrayFigures figures;
    figures.cpuPercent = 37;
    figures.totalRam = 8ull << 30;
    figures.availableRam = 2ull << 30;
    figures.totalPageFile = 1000ull << 20;
    figures.availablePageFile = 750ull << 20;
    figures.totalDisk = 400ull << 20;
    figures.freeDisk = 100ull << 20;
    figures.diskRoot = "C:\\";
    EXPECT_EQ(BuildTrayTooltip(false, figures),
              "CPU (green bar): 37 %\r\nRAM (blue bar): 75% (6144 MB)\r\n"
              "Page file: 250 MB (25%)\r\nC:\\ free: 100 MB (25 %)");
    EXPECT_EQ(BuildTrayTooltip(true, figures).rfind("Unaccepted entry!\r\nCPU (green bar): ", 0),
              0u);

    TrayFigures unknown;
    EXPECT_EQ(BuildTrayTooltip(false, unknown), "CPU (green bar): 0 %");
    unknown.totalRam = 100;
    unknown.availableRam = 200;
    EXPECT_EQ(BuildTrayTooltip(false, unknown), "CPU (green bar): 0 %")
        << "available above total shows no RAM line";
}

TEST(TrayFigures, FlashShowsOnOneUpdateInSevenOnlyWhileSomethingIsUnaccepted) {
    TrayFlash flash;
    std::string pattern;
    for (int update = 1; update <= 21; ++update) {
        pattern += flash.Update(true) ? 'F' : '.';
    }
    EXPECT_EQ(pattern, "......F......F......F");

    TrayFlash quiet;
    for (int update = 1; update <= 21; ++update) {
        EXPECT_FALSE(quiet.Update(false)) << update;
    }
}

TEST(TrayFigures, FlashRhythmCountsEveryUpdateAndTurnsRoundOnTheSeventh) {
    // The count goes on while nothing is unaccepted, and the seventh update
    // turns the flash state round: after a flash that the quiet updates left
    // standing, the next seventh puts it out.
    const std::string flags = "TTT...T......TTTTTTT...T...T.T";
    TrayFlash flash;
    std::string pattern;
    for (char flag : flags) {
        const bool shown = flash.Update(flag == 'T');
        pattern += flag == 'T' ? (shown ? 'F' : '-') : '.';
    }
    // Update 7 flashes; 14 turns the state left standing round, so it stays
    // dark; 21 passes unflagged; 28 flashes again.
    EXPECT_EQ(pattern, "---...F......-------...-...F.-");
}
