// The context menu, driven with the real keyboard while it is open.
#include "tests/helpers/TestSupport.h"
#include "ui/QuickMenu.h"
#include "ui/SheetDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

using testsupport::FindOpenMenu;

void SendKey(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    std::this_thread::sleep_for(60ms);
}

// Waits for the menu to open, notes where it opened, then types the keys.
class MenuTyper {
  public:
    explicit MenuTyper(std::vector<WORD> keys)
        : m_thread([this, keys] {
              for (int i = 0; i < 500 && m_menu == nullptr; ++i) {
                  m_menu = FindOpenMenu();
                  std::this_thread::sleep_for(10ms);
              }
              if (m_menu == nullptr) {
                  return;
              }
              ::GetWindowRect(m_menu, &m_menuRect);
              for (WORD key : keys) {
                  SendKey(key);
              }
          }) {}
    ~MenuTyper() { m_thread.join(); }
    bool MenuOpened() const { return m_menu != nullptr; }
    RECT MenuRect() const { return m_menuRect; }

  private:
    std::atomic<HWND> m_menu{nullptr};
    RECT m_menuRect{};
    std::thread m_thread;
};

constexpr UINT kProbeMessage = WM_APP + 5;
std::vector<std::pair<WPARAM, LPARAM>> g_probesReceived;

LRESULT CALLBACK OwnerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kProbeMessage) {
        g_probesReceived.emplace_back(wParam, lParam);
        return 0;
    }
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

void DispatchWaitingMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

class QuickMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "QuickMenuTestOwner";
        ::RegisterClassA(&windowClass);
        g_probesReceived.clear();
        m_owner =
            ::CreateWindowExA(0, "QuickMenuTestOwner", "quick menu owner", WS_POPUP | WS_VISIBLE, 0,
                              0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
        ::SetForegroundWindow(m_owner);
    }
    void TearDown() override { ::DestroyWindow(m_owner); }

    void Fill(CQuickMenu& menu) {
        menu.AttachMenu(::CreatePopupMenu());
        ASSERT_EQ(menu.CreateMenuWindow(m_owner), 1);
        menu.AppendItem(0, 1, "One");
        menu.AppendItem(MF_SEPARATOR, kQuickMenuSeparatorId, nullptr);
        menu.AppendItem(0, 2, "Two");
        menu.AppendItem(0, 2, "Two again");
    }

    HWND m_owner = nullptr;
};

} // namespace

TEST_F(QuickMenu, ChosenItemComesBackWithTheTextOfTheLastItemOfItsId) {
    CQuickMenu menu;
    Fill(menu);
    // Waiting in the queue when the menu opens: it must still reach its window.
    ::PostMessageA(m_owner, kProbeMessage, 11, 22);
    int64_t chosen = 0;
    {
        // Down to "One", over the separator to "Two", then Enter.
        MenuTyper typer({VK_DOWN, VK_DOWN, VK_RETURN});
        chosen = menu.Track(8, 300, 200, 0);
        ASSERT_TRUE(typer.MenuOpened());
        EXPECT_EQ(typer.MenuRect().left, 300) << "shown at the point asked for";
        EXPECT_EQ(typer.MenuRect().top, 200);
    }
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(menu.GetChosenText(), "Two again") << "the later of two items with one id";
    EXPECT_EQ(menu.GetChosenIndex(), 1);

    DispatchWaitingMessages();
    ASSERT_EQ(g_probesReceived.size(), 1u) << "no message of the thread is swallowed";
    EXPECT_EQ(g_probesReceived[0].first, 11u);
    EXPECT_EQ(g_probesReceived[0].second, 22);
}

TEST_F(QuickMenu, DismissedMenuGivesMinusOneAndKeepsNoChoice) {
    CQuickMenu menu;
    Fill(menu);
    int64_t chosen = 0;
    {
        MenuTyper typer({VK_DOWN, VK_ESCAPE});
        ::PostMessageA(m_owner, kProbeMessage, 33, 44);
        chosen = menu.Track(8, -1, -1, 0);
        ASSERT_TRUE(typer.MenuOpened());
    }
    EXPECT_EQ(chosen, -1);
    DispatchWaitingMessages();
    ASSERT_EQ(g_probesReceived.size(), 1u) << "a dismissed menu takes no message either";
    EXPECT_EQ(g_probesReceived[0].first, 33u);
    EXPECT_EQ(menu.GetChosenText(), "");
    EXPECT_EQ(menu.GetChosenIndex(), -1);
}

TEST(TrayMenu, ItemsInTheirOrderWithTheirTextsAndCommands) {
    CQuickMenu menu;
    menu.AttachMenu(::CreatePopupMenu());
    AppendTrayMenuItems(menu);
    HMENU popup = menu.GetMenu();
    const std::vector<std::pair<UINT, std::string>> expected = {
        {kTrayOpen, "Open"},         {kTrayAbout, "About"},
        {kQuickMenuSeparatorId, ""}, {kTrayWebsite, "ORV's Website"},
        {kTrayForum, "Forum"},       {kQuickMenuSeparatorId, ""},
        {kTrayExit, "Exit"}};
    ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const UINT position = static_cast<UINT>(i);
        char text[64] = {};
        ::GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, expected[i].second) << "item " << i;
        const bool separator = (::GetMenuState(popup, position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        EXPECT_EQ(separator, expected[i].second.empty()) << "item " << i;
        if (!separator) {
            EXPECT_EQ(::GetMenuItemID(popup, static_cast<int>(i)), expected[i].first)
                << "item " << i;
        }
    }
    // The five commands are told apart.
    const std::vector<UINT> commands = {kTrayOpen, kTrayAbout, kTrayWebsite, kTrayForum, kTrayExit};
    EXPECT_EQ(std::set<UINT>(commands.begin(), commands.end()).size(), commands.size());
}
