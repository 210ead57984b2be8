#include "res/resource.h"
#include "tests/unit/ShellOpenRecorder.h"
#include "ui/OrvCommonDlg.h"
#include "win/Handle.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Call {
    std::string page;
    int command;
    bool operator==(const Call&) const = default;
};

void PrintTo(const Call& call, std::ostream* out) {
    *out << call.page << ":" << call.command;
}

// Stands in for a list page: records the commands it is given.
class RecordingPage : public IPageCommands {
  public:
    RecordingPage(std::string name, std::vector<Call>& calls)
        : m_name(std::move(name)), m_calls(calls) {}
    void RunCommand(int command) override { m_calls.push_back({m_name, command}); }

  private:
    std::string m_name;
    std::vector<Call>& m_calls;
};

using testsupport::PumpMessages;

struct ButtonRow {
    int id;
    const char* caption;
    int command;
    RECT dialogUnits;
};

const ButtonRow kButtons[] = {
    {1027, "Create a new item", 1, {0, 0, 78, 14}},
    {1028, "Remove/kill", 2, {84, 0, 162, 14}},
    {1029, "Shell properties", 6, {168, 0, 246, 14}},
    {1031, "More info", 7, {252, 0, 330, 14}},
    {1032, "Contact via e-mail form", 0, {336, 0, 432, 14}},
};

// The bar in a plain top-level window, as a page would hold it. The window is
// shared by the tests: only the bar is made anew for each.
class ActionBar : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = "OrvActionBarTestParent";
        RegisterClassA(&windowClass);
        s_parent =
            CreateWindowExA(0, windowClass.lpszClassName, "Action bar test", WS_POPUP | WS_VISIBLE,
                            10, 200, 900, 80, nullptr, nullptr, windowClass.hInstance, nullptr);
    }

    static void TearDownTestSuite() {
        if (s_parent != nullptr) {
            DestroyWindow(s_parent);
            s_parent = nullptr;
        }
        PumpMessages();
    }

    void SetUp() override {
        ASSERT_NE(s_parent, nullptr);
        // The buttons light up under the mouse: keep it away from them.
        SetCursorPos(1000, 740);
        ASSERT_TRUE(m_bar.Create(s_parent));
        ShowWindow(m_bar.GetHwnd(), SW_SHOW);
        UpdateWindow(s_parent);
        PumpMessages();
    }

    void TearDown() override {
        if (m_bar.GetHwnd() != nullptr) {
            DestroyWindow(m_bar.GetHwnd());
        }
        PumpMessages();
    }

    HWND Button(int id) const { return GetDlgItem(m_bar.GetHwnd(), id); }

    void Click(int id) {
        HWND button = Button(id);
        SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PumpMessages();
    }

    bool BarIsUp() const { return IsWindow(m_bar.GetHwnd()) && IsWindowVisible(m_bar.GetHwnd()); }

    static inline HWND s_parent = nullptr;
    COrvCommonDlg m_bar;
    std::vector<Call> m_calls;
    RecordingPage m_processes{"processes", m_calls};
    RecordingPage m_autostart{"autostart", m_calls};
};

TEST_F(ActionBar, ButtonsRunTheirCommandOnTheProcessesPageThenTheAutostartPage) {
    m_bar.SetProcessesPage(&m_processes);
    m_bar.SetAutostartPage(&m_autostart);
    for (const ButtonRow& row : kButtons) {
        if (row.command == 0) {
            continue;
        }
        m_calls.clear();
        Click(row.id);
        EXPECT_EQ(m_calls,
                  (std::vector<Call>{{"processes", row.command}, {"autostart", row.command}}))
            << row.caption;
    }
}

// Real mouse clicks at the places the template gives each button.
TEST_F(ActionBar, ClicksOnTheScreenReachTheButtonUnderTheMouse) {
    m_bar.SetProcessesPage(&m_processes);
    SetForegroundWindow(s_parent);
    for (const ButtonRow& row : kButtons) {
        if (row.command == 0) {
            continue;
        }
        RECT place = row.dialogUnits;
        MapDialogRect(m_bar.GetHwnd(), &place);
        POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        ClientToScreen(m_bar.GetHwnd(), &centre);
        ASSERT_TRUE(SetCursorPos(centre.x, centre.y));
        INPUT clicks[2] = {};
        clicks[0].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].type = INPUT_MOUSE;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        m_calls.clear();
        ASSERT_EQ(SendInput(2, clicks, sizeof(INPUT)), 2u);
        for (int poll = 0; poll < 100 && m_calls.empty(); ++poll) {
            PumpMessages();
            Sleep(20);
        }
        PumpMessages();
        EXPECT_EQ(m_calls, (std::vector<Call>{{"processes", row.command}})) << row.caption;
    }
    SetCursorPos(1000, 740);
}

TEST_F(ActionBar, OnlyTheOwnerThatIsSetIsCalled) {
    Click(IDC_BAR_DEL);
    EXPECT_TRUE(m_calls.empty()) << "no owner yet";

    m_bar.SetAutostartPage(&m_autostart);
    Click(IDC_BAR_DEL);
    EXPECT_EQ(m_calls, (std::vector<Call>{{"autostart", 2}}));

    m_calls.clear();
    m_bar.SetAutostartPage(nullptr);
    m_bar.SetProcessesPage(&m_processes);
    Click(IDC_BAR_DEL);
    EXPECT_EQ(m_calls, (std::vector<Call>{{"processes", 2}}));
}

TEST_F(ActionBar, CommandGoesOutWhenTheButtonGoesDownAndADoubleClickCountsTwice) {
    m_bar.SetProcessesPage(&m_processes);
    HWND button = Button(IDC_BAR_NEW);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(m_calls, (std::vector<Call>{{"processes", 1}}));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    // The button also reports the double click itself; that must not add a third.
    SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages();
    EXPECT_EQ(m_calls, (std::vector<Call>{{"processes", 1}, {"processes", 1}}));
}

TEST_F(ActionBar, ContactOpensTheContactPageAndCallsNoOwner) {
    ShellOpenRecorder browser;
    if (!browser.Installed()) {
        GTEST_SKIP() << "the http association cannot be changed here";
    }
    m_bar.SetProcessesPage(&m_processes);
    m_bar.SetAutostartPage(&m_autostart);
    Click(IDC_BAR_CONTACT);
    EXPECT_EQ(browser.WaitForAddress(), "http://www.orvane.net/contact/");
    EXPECT_TRUE(m_calls.empty());
}

TEST_F(ActionBar, CaptionsLayoutAndStyleFollowTheTemplate) {
    HWND bar = m_bar.GetHwnd();
    const LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ(GetParent(bar), s_parent);

    RECT size{0, 0, 452, 14};
    MapDialogRect(bar, &size);
    RECT client{};
    GetClientRect(bar, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    for (const ButtonRow& row : kButtons) {
        HWND button = Button(row.id);
        ASSERT_NE(button, nullptr) << row.caption;
        char text[128] = {};
        GetWindowTextA(button, text, sizeof text);
        EXPECT_STREQ(text, row.caption);
        EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << row.caption;
        EXPECT_TRUE(IsWindowVisible(button)) << row.caption;

        RECT expected = row.dialogUnits;
        MapDialogRect(bar, &expected);
        RECT actual{};
        GetWindowRect(button, &actual);
        MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left) << row.caption;
        EXPECT_EQ(actual.top, expected.top) << row.caption;
        EXPECT_EQ(actual.right, expected.right) << row.caption;
        EXPECT_EQ(actual.bottom, expected.bottom) << row.caption;
    }
}

// Each button drawn into a bitmap of its own: frame, icon at the left, background.
TEST_F(ActionBar, ButtonsShowTheirFrameAndIcon) {
    struct Look {
        int id;
        COLORREF frame;
        COLORREF iconCentre;
    };
    const Look looks[] = {
        {IDC_BAR_NEW, RGB(200, 200, 255), RGB(70, 190, 70)},      // green plus
        {IDC_BAR_DEL, RGB(200, 200, 255), RGB(230, 60, 50)},      // red cross
        {IDC_BAR_PROP, RGB(200, 200, 255), RGB(120, 140, 190)},   // a line on the sheet
        {IDC_BAR_ONLINE, RGB(200, 200, 255), RGB(255, 255, 255)}, // the white "i"
        {IDC_BAR_CONTACT, RGB(80, 80, 255), RGB(255, 255, 255)},
    };
    win::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    for (const Look& look : looks) {
        HWND button = Button(look.id);
        RECT rect{};
        GetClientRect(button, &rect);
        HDC screen = GetDC(nullptr);
        win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen, rect.right, rect.bottom));
        ReleaseDC(nullptr, screen);
        win::SelectGuard select(dc.Get(), bitmap.Get());
        SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);

        EXPECT_EQ(GetPixel(dc.Get(), 0, 0), look.frame) << look.id;
        EXPECT_EQ(GetPixel(dc.Get(), rect.right - 1, rect.bottom - 1), look.frame) << look.id;
        EXPECT_EQ(GetPixel(dc.Get(), rect.right - 2, 1), GetSysColor(COLOR_WINDOW)) << look.id;
        // The 16 by 16 icon sits at 3, 3.
        EXPECT_EQ(GetPixel(dc.Get(), 3 + 8, 3 + 8), look.iconCentre) << look.id;
    }
}

TEST_F(ActionBar, EscapeAndEnterLeaveTheBarInPlace) {
    m_bar.SetProcessesPage(&m_processes);
    HWND bar = m_bar.GetHwnd();
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(BarIsUp());
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(BarIsUp());

    // The keys themselves, as the modal loop hands them to the bar.
    SetFocus(Button(IDC_BAR_PROP));
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        MSG msg{};
        msg.hwnd = GetFocus();
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        msg.lParam = 1;
        win::modeless::IsDialogMessageOfAny(msg);
        PumpMessages();
        EXPECT_TRUE(BarIsUp()) << key;
    }
    EXPECT_TRUE(m_calls.empty());
}

TEST(ActionBarIcons, AllFourLoadInBothSizes) {
    for (int id : {133, 134, 135, 136}) {
        for (int size : {16, 32}) {
            win::UniqueIcon icon(static_cast<HICON>(LoadImageA(
                GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
            EXPECT_TRUE(icon) << id << " at " << size;
        }
    }
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(132), MAKEINTRESOURCEA(5)), nullptr)
        << "the bar's dialog template";
}

} // namespace
