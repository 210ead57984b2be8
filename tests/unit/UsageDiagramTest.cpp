// The usage diagram as the user sees it: drawn over a real static control on
// the screen and read back pixel by pixel.
#include "ui/UsageDiagram.h"
#include "win/Handle.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(0, 50, 0);
constexpr COLORREF kCurve = RGB(0, 255, 0);
constexpr COLORREF kAverageDot = RGB(0, 150, 0);
constexpr COLORREF kLabel = RGB(0, 140, 0);

using testsupport::PumpMessages;

// Top-level windows are slow to go away where no window manager answers, so
// the suite shares one host; each test puts its own static control on it.
class UsageDiagramTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_host = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "",
                                   WS_POPUP | WS_VISIBLE, 100, 100, 400, 200, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { ::DestroyWindow(s_host); }

    void TearDown() override {
        if (m_control != nullptr) {
            ::DestroyWindow(m_control);
        }
    }

    // A static of the given outer size without text (which would be black),
    // painted and settled, with the dialog font.
    HWND MakeControl(int width, int height) {
        if (m_control != nullptr) {
            ::DestroyWindow(m_control);
        }
        m_control = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, width, height,
                                      s_host, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(m_control, WM_SETFONT,
                       reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        ::UpdateWindow(m_control);
        PumpMessages();
        ::Sleep(50);
        PumpMessages();
        return m_control;
    }

    COLORREF Pixel(int x, int y) const {
        win::WindowDc dc(m_control);
        return ::GetPixel(dc.Get(), x, y);
    }

    // How many pixels of the rectangle have the colour.
    int Count(COLORREF colour, const RECT& area) const {
        win::WindowDc dc(m_control);
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += ::GetPixel(dc.Get(), x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

    static HWND s_host;
    HWND m_control = nullptr;
};

HWND UsageDiagramTest::s_host = nullptr;

TEST_F(UsageDiagramTest, CurveAverageLineAndLabelShowTheHistory) {
    // A 200 x 50 drawing area: 50 % is 25 rows up.
    MakeControl(202, 52);
    std::vector<uint32_t> history(10, 20);
    history.insert(history.end(), 10, 60);

    EXPECT_DOUBLE_EQ(DrawUsageDiagram(m_control, history, true, false), 40.0);
    EXPECT_EQ(history.size(), 20u) << "room for 200 values: nothing trimmed";

    // Oldest at the left, one value per column: 20 % on row 40, 60 % on row 20.
    EXPECT_EQ(Count(kCurve, RECT{1, 40, 10, 41}), 9);
    EXPECT_EQ(Count(kCurve, RECT{10, 20, 20, 21}), 10);
    EXPECT_EQ(Count(kCurve, RECT{0, 20, 10, 21}) + Count(kCurve, RECT{11, 40, 20, 41}), 0);
    EXPECT_EQ(Count(kCurve, RECT{20, 0, 202, 52}), 0) << "no curve right of the newest value";

    // The average, 40 %, dotted on every second column of row 30.
    EXPECT_EQ(Pixel(198, 30), kAverageDot);
    EXPECT_EQ(Pixel(199, 30), kBlack);
    EXPECT_EQ(Count(kAverageDot, RECT{0, 0, 202, 52}), 100);

    // Outside the 200 x 50 area the control keeps its own look.
    EXPECT_NE(Pixel(200, 45), kBlack);
    EXPECT_NE(Pixel(100, 50), kBlack);

    // The label sits at the top right, clear of the low curve.
    EXPECT_GT(Count(kLabel, RECT{100, 3, 197, 23}), 10);
    EXPECT_EQ(Count(kLabel, RECT{0, 0, 100, 52}), 0);
    EXPECT_EQ(Count(kLabel, RECT{0, 23, 202, 52}), 0);
}

TEST_F(UsageDiagramTest, LabelMovesBelowAHighAverageOnlyWhenTheAreaIsTallEnough) {
    struct Case {
        int height;
        uint32_t value;
        bool lowered;
    };
    // 53 pixels high leaves an area of 51 rows: 45 after the insets, no room.
    for (const Case& c : {Case{54, 90, true}, Case{53, 90, false}, Case{54, 80, false}}) {
        MakeControl(202, c.height);
        std::vector<uint32_t> history(30, c.value);
        EXPECT_DOUBLE_EQ(DrawUsageDiagram(m_control, history, true, false), c.value);
        const int top = Count(kLabel, RECT{0, 0, 202, 23});
        const int below = Count(kLabel, RECT{0, 23, 202, c.height});
        if (c.lowered) {
            EXPECT_EQ(top, 0) << c.height << " high, " << c.value << " %";
            EXPECT_GT(below, 10) << c.height << " high, " << c.value << " %";
        } else {
            EXPECT_GT(top, 10) << c.height << " high, " << c.value << " %";
        }
    }
}

TEST_F(UsageDiagramTest, HistoryIsTrimmedToTheWidthOneValueAtATime) {
    // 40 columns.
    MakeControl(42, 30);

    std::vector<uint32_t> history;
    for (uint32_t value = 0; value < 45; ++value) {
        history.push_back(value);
    }
    DrawUsageDiagram(m_control, history, false, true);
    EXPECT_EQ(history.size(), 45u) << "untrimmed without the flag";

    // Skipped drawing still trims, but paints nothing.
    EXPECT_EQ(DrawUsageDiagram(m_control, history, true, true), 0.0);
    ASSERT_EQ(history.size(), 44u) << "only the oldest value goes";
    EXPECT_EQ(history.front(), 1u);
    EXPECT_EQ(Count(kBlack, RECT{0, 0, 42, 30}), 0);

    history.assign(41, 0);
    history[21] = 100;
    DrawUsageDiagram(m_control, history, true, false);
    ASSERT_EQ(history.size(), 40u);
    // The peak, once index 21, is now in column 20, on the top row alone.
    EXPECT_EQ(Pixel(20, 0), kCurve);
    EXPECT_EQ(Count(kCurve, RECT{0, 0, 42, 1}), 1);
    // Zero lies on the row just below the area; the newest value is at its right edge.
    EXPECT_EQ(Pixel(39, 28), kCurve);
    EXPECT_NE(Pixel(40, 28), kCurve);
}

TEST_F(UsageDiagramTest, EmptyHistoryOrZeroHeightDrawsOnlyBackgroundAndGrid) {
    MakeControl(42, 30);
    std::vector<uint32_t> empty;
    EXPECT_EQ(DrawUsageDiagram(m_control, empty, true, false), 0.0);
    // Black, with five vertical and four horizontal grid lines.
    const int grid = Count(kGrid, RECT{0, 0, 40, 28});
    EXPECT_EQ(grid, 5 * 28 + 4 * 40 - 5 * 4);
    EXPECT_EQ(Count(kBlack, RECT{0, 0, 40, 28}), 40 * 28 - grid);
    EXPECT_EQ(Pixel(8, 5), kGrid);
    EXPECT_EQ(Pixel(5, 16), kGrid);

    // Two pixels high: an area of no rows, so nothing at all.
    MakeControl(42, 2);
    std::vector<uint32_t> history(10, 50);
    EXPECT_EQ(DrawUsageDiagram(m_control, history, true, false), 0.0);
    EXPECT_EQ(Count(kBlack, RECT{0, 0, 42, 2}) + Count(kCurve, RECT{0, 0, 42, 2}) +
                  Count(kGrid, RECT{0, 0, 42, 2}),
              0);
}

} // namespace
