// The tray updates the sheet makes five times a second, against the real
// notification area.
#include "app/SettingsStore.h"
#include "res/resource.h"
#include "ui/TrayIconUpdater.h"
#include "ui/TrayPicture.h"
#include "win/Dialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The colour of the picture's column 7, which no bar ever covers.
COLORREF GapColourOf(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return CLR_INVALID;
    }
    win::UniqueBitmap colour(info.hbmColor);
    win::UniqueBitmap mask(info.hbmMask);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
    win::SelectGuard selected(memory.Get(), colour.Get());
    return ::GetPixel(memory.Get(), 7, 7);
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

TEST_F(TrayIconUpdater, EachUpdateDestroysThePreviousPicture) {
    HICON previous = nullptr;
    for (int update = 0; update < 200; ++update) {
        ASSERT_TRUE(m_updater.Update(m_owner.GetHwnd(), update % 3 == 0)) << "update " << update;
        HICON current = m_tray.Record().hIcon;
        ASSERT_NE(current, previous);
        if (previous != nullptr) {
            ICONINFO info{};
            ASSERT_FALSE(::GetIconInfo(previous, &info)) << "update " << update << " kept an icon";
        }
        previous = current;
    }
    EXPECT_TRUE(m_tray.IsAdded());
}
