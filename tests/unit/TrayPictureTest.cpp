#include "tests/helpers/TestSupport.h"
#include "ui/TrayPicture.h"

#include <gtest/gtest.h>

namespace {

// Reads the pixels of a tray bitmap drawn for the given figures.
class TrayPixels {
  public:
    TrayPixels(COLORREF background, int cpu, int ram, int size = kTrayPictureSize)
        : m_screen(nullptr) {
        m_bitmap = DrawTrayBitmap(m_screen.Get(), background, cpu, ram, size);
        m_memory.Reset(::CreateCompatibleDC(m_screen.Get()));
        m_select = ::SelectObject(m_memory.Get(), m_bitmap.Get());
    }
    ~TrayPixels() { ::SelectObject(m_memory.Get(), m_select); }
    bool Drawn() const { return m_bitmap.IsValid(); }
    COLORREF At(int x, int y) const { return ::GetPixel(m_memory.Get(), x, y); }

  private:
    win::WindowDc m_screen;
    win::UniqueBitmap m_bitmap;
    win::UniqueMemoryDc m_memory;
    HGDIOBJ m_select = nullptr;
};

constexpr COLORREF kLightEdge = RGB(255, 255, 255); // 220 + 50, clamped

TEST(TrayPicture, EmptyBarsLeaveTheBevelledTile) {
    TrayPixels picture(kTrayBackground, 0, 0);
    ASSERT_TRUE(picture.Drawn());
    for (int i = 0; i < kTrayPictureSize; ++i) {
        EXPECT_EQ(picture.At(i, 0), kLightEdge) << "top row " << i;
        EXPECT_EQ(picture.At(0, i), kLightEdge) << "left column " << i;
    }
    for (int y = 1; y < kTrayPictureSize; ++y) {
        for (int x = 1; x < kTrayPictureSize; ++x) {
            EXPECT_EQ(picture.At(x, y), kTrayBackground) << x << "," << y;
        }
    }
}

TEST(TrayPicture, FullCpuFillsRowsOneToThirteenOfTheLeftColumns) {
    TrayPixels picture(kTrayBackground, 100, 0);
    ASSERT_TRUE(picture.Drawn());
    for (int y = 1; y <= 13; ++y) {
        for (int x = 1; x <= 6; ++x) {
            EXPECT_EQ(picture.At(x, y), RGB(50, 191, 50)) << x << "," << y;
        }
        EXPECT_EQ(picture.At(7, y), kTrayBackground) << "the gap between the bars";
        EXPECT_EQ(picture.At(10, y), kTrayBackground) << "no RAM bar";
    }
    EXPECT_EQ(picture.At(3, 14), kTrayBackground) << "the bottom row stays free";
}

TEST(TrayPicture, HalfCpuAndFullRamDrawTheirHeightsAndColours) {
    TrayPixels picture(kTrayBackground, 50, 100);
    ASSERT_TRUE(picture.Drawn());
    EXPECT_EQ(picture.At(3, 7), kTrayBackground);
    for (int y = 8; y <= 13; ++y) {
        EXPECT_EQ(picture.At(3, y), RGB(50, 142, 50)) << y;
    }
    for (int y = 1; y <= 13; ++y) {
        for (int x = 8; x <= 13; ++x) {
            EXPECT_EQ(picture.At(x, y), RGB(50, 50, 191)) << x << "," << y;
        }
    }
    EXPECT_EQ(picture.At(14, 5), kTrayBackground) << "the right column stays free";
}

TEST(TrayPicture, ScaledScreensGetATileOnePixelSmallerThanTheShellsSmallIcons) {
    EXPECT_EQ(TrayPictureSizeFor(16), kTrayPictureSize);
    EXPECT_EQ(TrayPictureSizeFor(24), 23);
    // At 150 %: two light bands, bars of 13 rows scaled to 20, all of it scaled.
    TrayPixels picture(kTrayBackground, 100, 50, 23);
    ASSERT_TRUE(picture.Drawn());
    EXPECT_EQ(picture.At(0, 1), kLightEdge);
    EXPECT_EQ(picture.At(1, 5), RGB(245, 245, 245)) << "inner band, half as light";
    EXPECT_EQ(picture.At(2, 1), RGB(50, 191, 50)) << "CPU bar, top left";
    EXPECT_EQ(picture.At(10, 20), RGB(50, 191, 50)) << "CPU bar, bottom right";
    EXPECT_EQ(picture.At(11, 10), kTrayBackground) << "the gap";
    EXPECT_EQ(picture.At(16, 11), kTrayBackground) << "above the half-high RAM bar";
    EXPECT_EQ(picture.At(16, 12), RGB(50, 50, 142));
    EXPECT_EQ(picture.At(20, 20), RGB(50, 50, 142));
    EXPECT_EQ(picture.At(16, 21), kTrayBackground) << "the bottom row stays free";
    EXPECT_EQ(picture.At(16, 22), kTrayBackground) << "the dark edges lie beyond the tile";
}

TEST(TrayPicture, FlashColourFillsTheTile) {
    const COLORREF flash = RGB(200, 10, 30);
    TrayPixels picture(flash, 0, 0);
    ASSERT_TRUE(picture.Drawn());
    EXPECT_EQ(picture.At(5, 5), flash);
    EXPECT_EQ(picture.At(5, 0), RGB(250, 60, 80)) << "the top edge is 50 lighter";
}

TEST(BevelBox, BandsLightenTopLeftAndDarkenBottomRight) {
    win::WindowDc screen(nullptr);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    win::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 40, 40));
    win::SelectGuard select(memory.Get(), bitmap.Get());
    const COLORREF base = RGB(100, 100, 100);
    // 33 pixels: four bands of 10 each way.
    DrawBevelBox(memory.Get(), RECT{0, 0, 33, 33}, base, 40);
    EXPECT_EQ(::GetPixel(memory.Get(), 10, 0), RGB(140, 140, 140)) << "outer top band";
    EXPECT_EQ(::GetPixel(memory.Get(), 10, 3), RGB(110, 110, 110)) << "inner top band";
    EXPECT_EQ(::GetPixel(memory.Get(), 33, 10), RGB(60, 60, 60)) << "outer right band";
    EXPECT_EQ(::GetPixel(memory.Get(), 10, 33), RGB(70, 70, 70)) << "outer bottom band";
    EXPECT_EQ(::GetPixel(memory.Get(), 16, 16), base) << "the face";
}

TEST(TrayPicture, TwentyThousandUpdatesLeakNoHandle) {
    // Wine's GDI table holds about 16k objects: one leaked bitmap, pen, brush
    // or icon per picture makes creation fail long before the end.
    CTrayCanvas canvas;
    for (int update = 0; update < 20000; ++update) {
        win::UniqueIcon icon =
            canvas.CreatePicture(nullptr, kTrayBackground, update % 101, (update * 7) % 101);
        ASSERT_TRUE(icon.IsValid()) << "picture " << update;
    }
}

TEST(TrayPicture, OneCanvasDrawsEachPictureAfreshAndTheIconsAreCopies) {
    CTrayCanvas canvas;
    win::UniqueIcon full = canvas.CreatePicture(nullptr, kTrayBackground, 100, 0);
    win::UniqueIcon empty = canvas.CreatePicture(nullptr, RGB(200, 10, 30), 0, 0);
    ASSERT_TRUE(full.IsValid());
    ASSERT_TRUE(empty.IsValid());
    // The later drawing on the same canvas leaves the earlier icon as it was.
    EXPECT_EQ(testsupport::IconPixel(full.Get(), 3, 7), RGB(50, 191, 50));
    EXPECT_EQ(testsupport::IconPixel(empty.Get(), 3, 7), RGB(200, 10, 30)) << "no bar left over";
}

} // namespace
