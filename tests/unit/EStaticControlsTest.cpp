#include "TempDir.h"
#include "app/SystemHelpers.h"
#include "ui/controls/EStaticColor.h"
#include "ui/controls/EStaticLink.h"
#include "ui/controls/StaticColorLook.h"
#include "win/Handle.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kColourId = 1034;
constexpr int kLinkId = 1016;
constexpr COLORREF kNormalBackground = RGB(252, 252, 252);
constexpr COLORREF kNormalLabel = RGB(90, 90, 90);
constexpr COLORREF kLinkBlue = RGB(0, 0, 200);

// A borderless top-level window holding static controls; it reflects their
// notifications as a dialog does and counts what reaches it unhandled.
class Host : public win::Window {
  public:
    Host() {
        RegisterClassOnce("OrvStaticControlsTestHost", 0,
                          reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1),
                          ::LoadCursorA(nullptr, IDC_ARROW));
        const RECT place{100, 100, 500, 300};
        CreateEx(WS_EX_TOPMOST, "OrvStaticControlsTestHost", "", WS_POPUP | WS_VISIBLE, place,
                 nullptr, 0);
    }
    ~Host() override {
        if (IsWindow()) {
            ::DestroyWindow(m_hWnd);
        }
    }

    HWND AddStatic(int id, const char* text, DWORD style, const RECT& place,
                   bool withFont = true) const {
        HWND control =
            ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, place.left,
                              place.top, place.right - place.left, place.bottom - place.top, m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              ::GetModuleHandleA(nullptr), nullptr);
        if (withFont) {
            ::SendMessageA(control, WM_SETFONT,
                           reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        }
        return control;
    }

    // Back to an empty window for the next test.
    void Clear() {
        HWND child = nullptr;
        while ((child = ::GetWindow(m_hWnd, GW_CHILD)) != nullptr) {
            ::DestroyWindow(child);
        }
        commands = 0;
        parentColourings = 0;
    }

    int commands = 0;
    int parentColourings = 0;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (ReflectToChild(m_hWnd, msg, wParam, lParam, result)) {
            return result;
        }
        if (msg == WM_COMMAND) {
            ++commands;
        }
        if (msg == WM_CTLCOLORSTATIC) {
            ++parentColourings;
        }
        return DefaultProc(msg, wParam, lParam);
    }
};

using testsupport::PumpMessages;

// Pumps messages until done() holds or a generous limit passes; done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD limit = 10000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > limit) {
            return done();
        }
        PumpMessages();
        ::Sleep(20);
    }
    return true;
}

COLORREF PixelOf(HWND control, int x, int y) {
    win::WindowDc dc(control);
    return ::GetPixel(dc.Get(), x, y);
}

// Every pixel of the rectangle, read from the control's window.
std::vector<COLORREF> PixelsOf(HWND control, const RECT& area) {
    win::WindowDc dc(control);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            pixels.push_back(::GetPixel(dc.Get(), x, y));
        }
    }
    return pixels;
}

bool Contains(const std::vector<COLORREF>& pixels, COLORREF colour) {
    for (COLORREF pixel : pixels) {
        if (pixel == colour) {
            return true;
        }
    }
    return false;
}

POINT ScreenPointOf(HWND control, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(control, &point);
    return point;
}

void MoveCursorAway() {
    ::SetCursorPos(5, 740);
}

// Top-level windows are slow to go away where no window manager answers, so
// each suite shares one host and empties it after every test.
class HostedTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { s_host = new Host; }
    static void TearDownTestSuite() {
        delete s_host;
        s_host = nullptr;
    }
    void SetUp() override {
        MoveCursorAway();
        ASSERT_TRUE(s_host->IsWindow());
    }
    void TearDown() override { s_host->Clear(); }

    static Host* s_host;
    Host& host = *s_host;
};
Host* HostedTest::s_host = nullptr;

std::string Hex(COLORREF colour) {
    char text[16] = {};
    wsprintfA(text, "%06lX", static_cast<unsigned long>(colour));
    return text;
}

// The colour swatch of the Info page: 200 x 24 pixels with a label.
class ColourControl : public HostedTest {
  protected:
    void SetUp() override {
        HostedTest::SetUp();
        window = host.AddStatic(kColourId, "Flashing color", SS_LEFT, {10, 10, 210, 34});
        ASSERT_TRUE(control.Subclass(window));
        control.m_colour = RGB(255, 255, 255);
        ::UpdateWindow(host.GetHwnd());
        PumpMessages();
    }

    RECT LabelArea() const {
        const LookRect label = LabelRect({0, 0, 200, 24});
        return {label.left, label.top, label.right, label.bottom};
    }

    CEStaticColor control;
    HWND window = nullptr;
};

TEST_F(ColourControl, FirstPaintMakesTheStaticAnOwnerDrawnNotifyingOne) {
    HWND rightAligned = host.AddStatic(kColourId + 1, "Right", SS_RIGHT, {10, 40, 210, 64});
    CEStaticColor second;
    ASSERT_TRUE(second.Subclass(rightAligned));
    EXPECT_EQ(::GetWindowLongA(rightAligned, GWL_STYLE) & (SS_NOTIFY | SS_TYPEMASK), SS_RIGHT)
        << "nothing changes before the first paint";
    ::RedrawWindow(rightAligned, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) & (SS_NOTIFY | SS_TYPEMASK), 0x10D);
    EXPECT_EQ(::GetWindowLongA(rightAligned, GWL_STYLE) & (SS_NOTIFY | SS_TYPEMASK), 0x10D)
        << "a right-aligned static becomes owner-drawn, not an etched frame (0x10F)";
}

TEST_F(ColourControl, NormalLookHasTheLightBackgroundGreyLabelAndDarkenedFrame) {
    EXPECT_EQ(Hex(PixelOf(window, 5, 20)), Hex(kNormalBackground));
    EXPECT_EQ(Hex(PixelOf(window, 0, 0)), Hex(ScaleColour(::GetSysColor(COLOR_BTNFACE), 0.9)));
    EXPECT_EQ(Hex(PixelOf(window, 199, 23)), Hex(ScaleColour(::GetSysColor(COLOR_BTNFACE), 0.9)));
    const std::vector<COLORREF> label = PixelsOf(window, LabelArea());
    EXPECT_TRUE(Contains(label, kNormalLabel)) << "the label is drawn in RGB(90, 90, 90)";
    EXPECT_FALSE(Contains(label, RGB(0, 0, 0)));
}

TEST_F(ColourControl, HoverLightensTheLookUntilTheCursorLeaves) {
    const POINT over = ScreenPointOf(window, 20, 12);
    ::SetCursorPos(over.x, over.y);
    EXPECT_TRUE(PumpUntil([&] { return PixelOf(window, 5, 20) == RGB(255, 255, 255); }))
        << "the hover timer repaints the control white";
    EXPECT_TRUE(Contains(PixelsOf(window, LabelArea()), RGB(0, 0, 0))) << "black label";

    MoveCursorAway();
    EXPECT_TRUE(PumpUntil([&] { return PixelOf(window, 5, 20) == kNormalBackground; }))
        << "leaving restores the normal background";
    const std::vector<COLORREF> label = PixelsOf(window, LabelArea());
    EXPECT_TRUE(Contains(label, kNormalLabel));
    EXPECT_FALSE(Contains(label, RGB(0, 0, 0)));
}

TEST_F(ColourControl, SwatchShowsTheColourFramedFourFifthsAsBright) {
    // The swatch of a 24-pixel-high control spans x 176..197, y 2..21.
    EXPECT_EQ(Hex(PixelOf(window, 176, 2)), Hex(RGB(204, 204, 204))) << "white's frame";
    EXPECT_EQ(Hex(PixelOf(window, 197, 21)), Hex(RGB(204, 204, 204)));
    EXPECT_EQ(Hex(PixelOf(window, 187, 12)), Hex(RGB(255, 255, 255)));
    EXPECT_EQ(Hex(PixelOf(window, 175, 12)), Hex(kNormalBackground)) << "left of the swatch";

    control.m_colour = RGB(200, 100, 51) | 0x7F000000; // the top byte is not a colour
    control.Redraw();
    EXPECT_EQ(Hex(PixelOf(window, 187, 12)), Hex(RGB(200, 100, 51)));
    EXPECT_EQ(Hex(PixelOf(window, 176, 12)), Hex(RGB(160, 80, 40)));
}

TEST_F(ColourControl, DisabledLabelUsesTheShadowColourEvenUnderTheMouse) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    ::EnableWindow(window, FALSE);
    std::vector<COLORREF> label = PixelsOf(window, LabelArea());
    EXPECT_TRUE(Contains(label, shadow)) << "repainted when disabled";
    EXPECT_FALSE(Contains(label, kNormalLabel));

    const POINT over = ScreenPointOf(window, 20, 12);
    ::SetCursorPos(over.x, over.y);
    EXPECT_TRUE(PumpUntil([&] { return PixelOf(window, 5, 20) == RGB(255, 255, 255); }))
        << "the background still follows the mouse";
    label = PixelsOf(window, LabelArea());
    EXPECT_TRUE(Contains(label, shadow));
    EXPECT_FALSE(Contains(label, RGB(0, 0, 0))) << "no black hover label while disabled";

    MoveCursorAway();
    ::EnableWindow(window, TRUE);
    EXPECT_TRUE(PumpUntil([&] { return Contains(PixelsOf(window, LabelArea()), kNormalLabel); }))
        << "enabling repaints the grey label";
}

TEST_F(ColourControl, PrintClientDrawsTheSameLookIntoAnyDc) {
    win::WindowDc screen(window);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    win::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 200, 24));
    win::SelectGuard select(memory.Get(), bitmap.Get());
    ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    EXPECT_EQ(Hex(::GetPixel(memory.Get(), 5, 20)), Hex(kNormalBackground));
    EXPECT_EQ(Hex(::GetPixel(memory.Get(), 176, 2)), Hex(RGB(204, 204, 204)));
    EXPECT_EQ(::GetBkMode(memory.Get()), OPAQUE) << "the caller's DC settings come back";
}

// Closes the colour dialog from inside its own modal loop, after optionally
// typing a colour into its red, green and blue fields.
struct DialogDriver {
    UINT button = IDCANCEL;
    const char* red = nullptr;
    const char* green = nullptr;
    const char* blue = nullptr;
    int dialogsSeen = 0;
    HWND clickAgain = nullptr; // clicked once more while the dialog is open
    int ticks = 0;
};
DialogDriver* g_driver = nullptr;

BOOL CALLBACK CountColourDialogs(HWND window, LPARAM found) {
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, 706) != nullptr) {
        auto* list = reinterpret_cast<std::vector<HWND>*>(found);
        list->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> ColourDialogsOfThisThread() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountColourDialogs,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveColourDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    DialogDriver& driver = *g_driver;
    ++driver.ticks;
    const std::vector<HWND> dialogs = ColourDialogsOfThisThread();
    if (dialogs.empty()) {
        return;
    }
    driver.dialogsSeen = std::max(driver.dialogsSeen, static_cast<int>(dialogs.size()));
    if (driver.clickAgain != nullptr) {
        HWND control = std::exchange(driver.clickAgain, nullptr);
        // A nested dialog would open inside this call; the next tick counts it.
        ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));
        return;
    }
    ::KillTimer(nullptr, timer);
    for (HWND dialog : dialogs) {
        if (driver.red != nullptr) {
            ::SetDlgItemTextA(dialog, 706, driver.red);
            ::SetDlgItemTextA(dialog, 707, driver.green);
            ::SetDlgItemTextA(dialog, 708, driver.blue);
        }
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(driver.button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, driver.button)));
    }
}

// Clicks the control; the driver answers the dialog the click opens.
void ClickThroughDialog(HWND control, DialogDriver& driver) {
    g_driver = &driver;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &DriveColourDialog);
    ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));
    ::KillTimer(nullptr, timer);
    g_driver = nullptr;
}

TEST_F(ColourControl, ColourDialogChangesTheColourOnlyWhenConfirmed) {
    control.m_colour = RGB(10, 20, 30);

    DialogDriver cancel;
    cancel.red = "200";
    cancel.green = "100";
    cancel.blue = "50";
    ClickThroughDialog(window, cancel);
    EXPECT_EQ(cancel.dialogsSeen, 1);
    EXPECT_EQ(Hex(control.m_colour), Hex(RGB(10, 20, 30))) << "cancelling keeps the colour";

    DialogDriver untouched;
    untouched.button = IDOK;
    ClickThroughDialog(window, untouched);
    EXPECT_EQ(untouched.dialogsSeen, 1);
    EXPECT_EQ(Hex(control.m_colour), Hex(RGB(10, 20, 30))) << "the dialog starts at the colour";

    DialogDriver chosen;
    chosen.button = IDOK;
    chosen.red = "200";
    chosen.green = "100";
    chosen.blue = "50";
    ClickThroughDialog(window, chosen);
    EXPECT_EQ(Hex(control.m_colour), Hex(RGB(200, 100, 50)));
    EXPECT_EQ(Hex(PixelOf(window, 187, 12)), Hex(RGB(200, 100, 50))) << "redrawn at once";
}

TEST_F(ColourControl, ASecondClickWhileTheDialogIsOpenOpensNoSecondDialog) {
    control.m_colour = RGB(1, 2, 3);
    DialogDriver driver;
    driver.clickAgain = window;
    ClickThroughDialog(window, driver);
    EXPECT_EQ(driver.dialogsSeen, 1);
    EXPECT_EQ(Hex(control.m_colour), Hex(RGB(1, 2, 3)));
    EXPECT_TRUE(ColourDialogsOfThisThread().empty());
}

// Links: blue underlined text, a hand, and the shell opens the target.
class LinkControl : public HostedTest {
  protected:
    // A batch file that leaves a marker file when the shell runs it.
    std::string MarkerBatch(const std::string& name) const {
        const std::string batch = dir.File(name + ".bat");
        WriteFileText(batch, "@echo ran> \"" + dir.File(name + ".txt") + "\"\r\n");
        return batch;
    }
    bool MarkerWritten(const std::string& name) const {
        return FileExists(dir.File(name + ".txt"));
    }

    TempDir dir;
};

LOGFONTA FontOf(HFONT font) {
    LOGFONTA description{};
    ::GetObjectA(font, sizeof description, &description);
    return description;
}

TEST_F(LinkControl, ColouringGivesBlueTransparentUnderlinedTextOnTheParentsBackground) {
    HWND window = host.AddStatic(kLinkId, "Contact", SS_LEFT, {16, 16, 116, 36});
    HFONT created = nullptr;
    {
        CEStaticLink link;
        ASSERT_TRUE(link.Subclass(window));
        win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_FONT);
        const LRESULT brush =
            ::SendMessageA(host.GetHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                           reinterpret_cast<LPARAM>(window));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(Hex(::GetTextColor(dc.Get())), Hex(kLinkBlue));
        EXPECT_EQ(::GetBkMode(dc.Get()), TRANSPARENT);
        EXPECT_EQ(host.parentColourings, 0);

        created = static_cast<HFONT>(::GetCurrentObject(dc.Get(), OBJ_FONT));
        const LOGFONTA underlined = FontOf(created);
        const LOGFONTA own = FontOf(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
        EXPECT_TRUE(underlined.lfUnderline);
        EXPECT_EQ(underlined.lfHeight, own.lfHeight) << "a copy of the control's font";
        EXPECT_STREQ(underlined.lfFaceName, own.lfFaceName);

        ::SendMessageA(host.GetHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(window));
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), created) << "made once, then reused";
        ::SelectObject(dc.Get(), original);
        EXPECT_EQ(::GetObjectType(created), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(created), 0u) << "the font goes with its link";
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)),
              ::GetStockObject(DEFAULT_GUI_FONT))
        << "the static gets its own font back";
}

TEST_F(LinkControl, PaintedLinkShowsABlueUnderline) {
    HWND window = host.AddStatic(kLinkId, "This program's page", SS_LEFT, {16, 16, 166, 36});
    CEStaticLink link;
    ASSERT_TRUE(link.Subclass(window));
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const std::vector<COLORREF> pixels = PixelsOf(window, {0, 0, 150, 20});
    // The longest run of the link colour along one row: the underline.
    int longest = 0;
    for (int y = 0; y < 20; ++y) {
        int run = 0;
        for (int x = 0; x < 150; ++x) {
            run = pixels[static_cast<size_t>(y * 150 + x)] == kLinkBlue ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    EXPECT_GE(longest, 40) << "an underline of RGB(0, 0, 200) under the text";
}

TEST_F(LinkControl, StaticWithoutAFontGetsAnUnderlinedSystemFont) {
    HWND window = host.AddStatic(kLinkId, "Donate ORV", SS_CENTER, {16, 16, 116, 36}, false);
    CEStaticLink link;
    ASSERT_TRUE(link.Subclass(window));
    win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    ::SendMessageA(host.GetHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                   reinterpret_cast<LPARAM>(window));
    HGDIOBJ selected = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    EXPECT_NE(selected, original);
    const LOGFONTA underlined = FontOf(static_cast<HFONT>(selected));
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_STREQ(underlined.lfFaceName,
                 FontOf(static_cast<HFONT>(::GetStockObject(SYSTEM_FONT))).lfFaceName);
    ::SelectObject(dc.Get(), original);
}

TEST_F(LinkControl, FrameTypeStaticKeepsParentColoursButTakesTheMouse) {
    HWND window = host.AddStatic(kLinkId, "", SS_ETCHEDFRAME, {16, 16, 116, 36});
    CEStaticLink link;
    ASSERT_TRUE(link.Subclass(window));
    link.SetTarget(MarkerBatch("frame"));

    win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_FONT);
    const LRESULT brush =
        ::SendMessageA(host.GetHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(host.parentColourings, 1) << "the parent colours it";
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
    EXPECT_NE(Hex(::GetTextColor(dc.Get())), Hex(kLinkBlue));
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_FONT), original) << "no underline font";

    EXPECT_EQ(::SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(120, 120)), HTCLIENT)
        << "a frame would otherwise let the mouse through";
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND)) << "the system's hand";

    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return MarkerWritten("frame"); }, 30000))
        << "a click still opens the target";
}

TEST_F(LinkControl, AllLinksShareOneHandThatSurvivesThem) {
    HCURSOR hand = nullptr;
    {
        HWND window = host.AddStatic(kLinkId, "Contact", SS_LEFT, {16, 16, 116, 36});
        CEStaticLink link;
        ASSERT_TRUE(link.Subclass(window));
        ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        hand = ::GetCursor();
        EXPECT_EQ(hand, CEStaticLink::GetHandCursor());
        ::DestroyWindow(window);
    }
    ASSERT_NE(hand, nullptr);
    HWND other = host.AddStatic(kLinkId + 1, "Other", SS_LEFT, {16, 40, 116, 60});
    CEStaticLink second;
    ASSERT_TRUE(second.Subclass(other));
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::SendMessageA(other, WM_SETCURSOR, reinterpret_cast<WPARAM>(other),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), hand);
    ICONINFO info{};
    EXPECT_TRUE(::GetIconInfo(hand, &info)) << "still a live cursor after the first link went";
    win::UniqueBitmap mask(info.hbmMask);
    win::UniqueBitmap colour(info.hbmColor);
}

TEST_F(LinkControl, ClickOpensTheCurrentTargetAndAnEmptyOneNothing) {
    HWND window = host.AddStatic(kLinkId, "Contact", SS_LEFT | SS_NOTIFY, {16, 16, 116, 36});
    CEStaticLink link;
    ASSERT_TRUE(link.Subclass(window));

    link.SetTarget(MarkerBatch("first"));
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return MarkerWritten("first"); }, 30000));

    const std::string stale = MarkerBatch("stale");
    link.SetTarget(stale);
    link.SetTarget("");
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // Anything the empty click had started would have started before this one.
    link.SetTarget(MarkerBatch("last"));
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(PumpUntil([&] { return MarkerWritten("last"); }, 30000));
    EXPECT_FALSE(MarkerWritten("stale")) << "an empty target opens nothing";
    EXPECT_EQ(host.commands, 0) << "no click reaches the parent as a command";
}

TEST_F(LinkControl, ReflectedClickNotificationStopsAtTheLink) {
    HWND window = host.AddStatic(kLinkId, "Contact", SS_LEFT | SS_NOTIFY, {16, 16, 116, 36});
    HWND plain = host.AddStatic(kLinkId + 1, "Plain", SS_LEFT | SS_NOTIFY, {16, 40, 116, 60});
    CEStaticLink link;
    ASSERT_TRUE(link.Subclass(window));
    ::SendMessageA(host.GetHwnd(), WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED),
                   reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(host.commands, 0);
    ::SendMessageA(host.GetHwnd(), WM_COMMAND, MAKEWPARAM(kLinkId + 1, STN_CLICKED),
                   reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(host.commands, 1) << "a static that is no link still notifies its parent";
}

// Writes a copy of the system's hand cursor into file as cursor 106, the way
// the help program of older systems carries it.
bool WriteHandCursorAs106(const std::string& file) {
    HMODULE user = ::GetModuleHandleA("user32.dll");
    HRSRC groupInfo = ::FindResourceA(user, MAKEINTRESOURCEA(32649), RT_GROUP_CURSOR);
    if (groupInfo == nullptr) {
        return false;
    }
    const auto* groupBytes =
        static_cast<const BYTE*>(::LockResource(::LoadResource(user, groupInfo)));
    std::vector<BYTE> group(groupBytes, groupBytes + ::SizeofResource(user, groupInfo));
    HANDLE update = ::BeginUpdateResourceA(file.c_str(), FALSE);
    if (update == nullptr || group.size() < 6) {
        return false;
    }
    const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    constexpr size_t kEntrySize = 14;
    bool ok = group.size() >= 6 + count * kEntrySize;
    for (WORD i = 0; ok && i < count; ++i) {
        WORD* id = reinterpret_cast<WORD*>(&group[6 + i * kEntrySize + 12]);
        HRSRC imageInfo = ::FindResourceA(user, MAKEINTRESOURCEA(*id), RT_CURSOR);
        ok = imageInfo != nullptr;
        if (ok) {
            *id = static_cast<WORD>(700 + i);
            ok = ::UpdateResourceA(update, RT_CURSOR, MAKEINTRESOURCEA(*id), 0,
                                   ::LockResource(::LoadResource(user, imageInfo)),
                                   ::SizeofResource(user, imageInfo));
        }
    }
    ok = ok && ::UpdateResourceA(update, RT_GROUP_CURSOR, MAKEINTRESOURCEA(106), 0, group.data(),
                                 static_cast<DWORD>(group.size()));
    return ::EndUpdateResourceA(update, !ok) && ok;
}

TEST(HelpProgramCursor, IsCopiedOutOfTheProgramFileAndOutlivesIt) {
    TempDir dir;
    const std::string program = dir.File("winhlp32.exe");
    ASSERT_TRUE(::CopyFileA((GetExeDir() + "\\ProcessHelper.exe").c_str(), program.c_str(), FALSE));
    EXPECT_FALSE(LoadHelpProgramCursor(program)) << "a program without cursor 106";
    EXPECT_FALSE(LoadHelpProgramCursor(dir.File("missing.exe")));

    ASSERT_TRUE(WriteHandCursorAs106(program));
    win::UniqueCursor cursor = LoadHelpProgramCursor(program);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(::GetModuleHandleA(program.c_str()), nullptr) << "the program file is let go";
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor.Get(), &info));
    win::UniqueBitmap mask(info.hbmMask);
    win::UniqueBitmap colour(info.hbmColor);
    EXPECT_FALSE(info.fIcon) << "a cursor, hot spot and all";
    EXPECT_TRUE(::DeleteFileA(program.c_str())) << "no module keeps the file open";
    // The module's own cursor is shared and cannot be destroyed; the copy can.
    EXPECT_TRUE(::DestroyCursor(cursor.Release())) << "a copy of its own";
}

} // namespace
