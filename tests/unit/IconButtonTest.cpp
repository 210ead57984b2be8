#include "res/resource.h"
#include "ui/controls/IconButton.h"
#include "win/Dialog.h"
#include "tests/helpers/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A dialog whose OK button is an icon button; counts the commands it gets.
class ButtonHost : public win::Dialog {
  public:
    ButtonHost() : win::Dialog(IDD_LOG_WINDOW) {}
    CIconButton button;
    int commands = 0;

  protected:
    BOOL OnInitDialog() override {
        HWND ok = GetItem(IDOK);
        ::SetWindowLongA(ok, GWL_STYLE, (::GetWindowLongA(ok, GWL_STYLE) & ~0xF) | BS_OWNERDRAW);
        SubclassItem(button, IDOK);
        return TRUE;
    }
    void OnOK() override { ++commands; }
};

using testsupport::PumpMessages;

TEST(IconButton, CommandOnPressReachesTheParentOncePerPressAndTwiceForADoubleClick) {
    ButtonHost host;
    ASSERT_TRUE(host.Create(nullptr));
    ::ShowWindow(host.GetHwnd(), SW_SHOW);
    host.button.SetIcon(MAKEINTRESOURCEA(IDI_ORVANE),
                        kIconButtonCaption | kIconButtonIconLeft | kIconButtonCommandOnPress, 0, 0);
    HWND button = host.button.GetHwnd();

    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(host.commands, 1) << "sent when the button goes down";
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
    PumpMessages();
    EXPECT_EQ(host.commands, 1) << "releasing elsewhere sends nothing more";

    ::SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    PumpMessages();
    EXPECT_EQ(host.commands, 2) << "the double click acts as a second click";
    ::DestroyWindow(host.GetHwnd());
}

TEST(IconButton, ToggleFlipsOnEveryPress) {
    ButtonHost host;
    ASSERT_TRUE(host.Create(nullptr));
    host.button.SetIcon(MAKEINTRESOURCEA(IDI_ORVANE), kIconButtonToggle, 16, 16);
    HWND button = host.button.GetHwnd();
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(host.button.IsToggled());
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(host.button.IsToggled());
    ::DestroyWindow(host.GetHwnd());
}

} // namespace
