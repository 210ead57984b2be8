// The tray updates the sheet makes five times a second, against the real
// notification area.
#include "app/SettingsStore.h"
#include "res/resource.h"
#include "tests/helpers/TestSupport.h"
#include "ui/TrayIconUpdater.h"
#include "ui/TrayPicture.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The colour of the picture's column 7, which no bar ever covers.
COLORREF GapColourOf(HICON icon) {
    return testsupport::IconPixel(icon, 7, 7);
}

// Figures as a machine would report them: 2 GB of RAM, 1 GB of page file, a
// 10 GB system drive.
TrayFigures Figures(int cpu, uint64_t usedRamMb) {
    constexpr uint64_t kMb = 1024 * 1024;
    TrayFigures figures;
    figures.cpuPercent = cpu;
    figures.totalRam = 2048 * kMb;
    figures.availableRam = figures.totalRam - usedRamMb * kMb;
    figures.totalPageFile = 1024 * kMb;
    figures.availablePageFile = 512 * kMb;
    figures.totalDisk = 10240 * kMb;
    figures.freeDisk = 4096 * kMb;
    figures.diskRoot = "C:\\";
    return figures;
}

class TrayIconUpdater : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_owner.Create(nullptr));
        ASSERT_TRUE(m_tray.Add(m_owner.GetHwnd(), WM_APP + 1,
                               ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)), "ORV"));
    }
    void TearDown() override {
        m_tray.Delete();
        ::DestroyWindow(m_owner.GetHwnd());
    }

    win::Dialog m_owner{IDD_LOG_WINDOW};
    CTrayIcon m_tray;
    CTrayIconUpdater m_updater{m_tray};
};

} // namespace

TEST_F(TrayIconUpdater, TooltipAndFlashFollowTheUnacceptedFlag) {
    // Only the low 24 bits are the colour; a stored value may carry more.
    GetSettings().SetInt64("OPTIONS", "FlashColor1", 0x7FFF000000123456LL);
    for (int update = 1; update <= 14; ++update) {
        ASSERT_TRUE(m_updater.Update(m_owner.GetHwnd(), true));
        const std::string tip = m_tray.Record().szTip;
        EXPECT_EQ(tip.rfind("Unaccepted entry!\r\nCPU (green bar): ", 0), 0u) << tip;
        // The flash colour shows on every seventh update only.
        EXPECT_EQ(GapColourOf(m_tray.Record().hIcon),
                  update % 7 == 0 ? COLORREF(0x123456) : kTrayBackground)
            << "update " << update;
    }
    ASSERT_TRUE(m_updater.Update(m_owner.GetHwnd(), false));
    EXPECT_EQ(std::string(m_tray.Record().szTip).rfind("CPU (green bar): ", 0), 0u);
    EXPECT_EQ(GapColourOf(m_tray.Record().hIcon), kTrayBackground);
    GetSettings().SetInt64("OPTIONS", "FlashColor1", 0xF9F9F9);
}

TEST_F(TrayIconUpdater, ANewPictureOnlyWhenItsPixelsChangeAndTheOldOneIsDestroyed) {
    HWND owner = m_owner.GetHwnd();
    ASSERT_TRUE(m_updater.Show(owner, false, Figures(0, 1024)));
    const HICON first = m_tray.Record().hIcon;
    ASSERT_NE(first, nullptr);

    // 1 % more CPU and a few MB more RAM draw the same bars: the shell keeps
    // its picture and, with the pointer elsewhere, its tooltip.
    ASSERT_TRUE(m_updater.Show(owner, false, Figures(1, 1030)));
    EXPECT_EQ(m_tray.Record().hIcon, first);
    EXPECT_NE(std::string(m_tray.Record().szTip).find("(1024 MB)"), std::string::npos)
        << m_tray.Record().szTip;
    EXPECT_EQ(testsupport::IconPixel(first, 3, 13), kTrayBackground) << "no CPU bar yet";

    // At the next update after the CPU figure grows, the bar shows it.
    ASSERT_TRUE(m_updater.Show(owner, false, Figures(100, 1030)));
    const HICON second = m_tray.Record().hIcon;
    ASSERT_NE(second, first);
    EXPECT_EQ(testsupport::IconPixel(second, 3, 13), RGB(50, 191, 50));
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(first, &info)) << "the picture the shell dropped is destroyed";

    // Something unaccepted: the tooltip says so at once, the picture stays
    // until the flash.
    ASSERT_TRUE(m_updater.Show(owner, true, Figures(100, 1030)));
    EXPECT_EQ(std::string(m_tray.Record().szTip).rfind("Unaccepted entry!\r\n", 0), 0u);
    EXPECT_EQ(m_tray.Record().hIcon, second);

    // While the pointer rests on the icon the tooltip follows the figures;
    // once it has moved away, no longer.
    m_updater.PointerOnIcon();
    ASSERT_TRUE(m_updater.Show(owner, true, Figures(100, 1031)));
    EXPECT_NE(std::string(m_tray.Record().szTip).find("(1031 MB)"), std::string::npos)
        << m_tray.Record().szTip;
    POINT pointer{};
    ASSERT_TRUE(::GetCursorPos(&pointer));
    ::SetCursorPos(pointer.x + 40, pointer.y + 40);
    ASSERT_TRUE(m_updater.Show(owner, true, Figures(100, 1032)));
    EXPECT_NE(std::string(m_tray.Record().szTip).find("(1031 MB)"), std::string::npos)
        << "the pointer has gone: " << m_tray.Record().szTip;
    EXPECT_EQ(m_tray.Record().hIcon, second);
}

TEST_F(TrayIconUpdater, EachNewPictureDestroysThePreviousOne) {
    HICON previous = nullptr;
    for (int update = 0; update < 300; ++update) {
        // The CPU bar changes height on every update.
        ASSERT_TRUE(m_updater.Show(m_owner.GetHwnd(), update % 3 == 0,
                                   Figures(update % 2 == 0 ? 100 : 0, 1024)))
            << "update " << update;
        const HICON current = m_tray.Record().hIcon;
        ASSERT_NE(current, previous) << "update " << update;
        if (previous != nullptr) {
            ICONINFO info{};
            ASSERT_FALSE(::GetIconInfo(previous, &info)) << "update " << update << " kept an icon";
        }
        previous = current;
    }
    EXPECT_TRUE(m_tray.IsAdded());
}
