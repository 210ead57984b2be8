#include "res/resource.h"
#include "ui/TrayIcon.h"
#include "win/Dialog.h"
#include "win/Handle.h"
#include "win/PropSheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr UINT_PTR kTestTimer = 77;

class ThreePageSheet : public win::PropSheet {
  public:
    explicit ThreePageSheet(bool quitInstead = false)
        : win::PropSheet("Test sheet", nullptr, 0), m_quitInstead(quitInstead) {
        AddPage(autostart);
        AddPage(processes);
        AddPage(info);
    }

    bool PreTranslateMessage(MSG& msg) override {
        ++preTranslated;
        return win::PropSheet::PreTranslateMessage(msg);
    }

    // The window layer's own pages on the program's templates: what the pages
    // do is theirs to test.
    win::PropertyPage autostart{IDD_PAGE_AUTOSTART};
    win::PropertyPage processes{IDD_PAGE_PROCESSES};
    win::PropertyPage info{IDD_PAGE_INFO};
    int createsSeen = 0;
    int initsSeen = 0;
    int preTranslated = 0;
    int tabCount = 0;

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) {
            ++createsSeen;
        }
        if (msg == WM_TIMER && wParam == kTestTimer) {
            ::KillTimer(m_hWnd, kTestTimer);
            tabCount = static_cast<int>(::SendMessageA(GetTabControl(), TCM_GETITEMCOUNT, 0, 0));
            if (m_quitInstead) {
                ::PostQuitMessage(7);
            } else {
                ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            }
        }
        return win::PropSheet::WindowProc(msg, wParam, lParam);
    }
    BOOL OnInitDialog() override {
        ++initsSeen;
        ::SetTimer(m_hWnd, kTestTimer, 50, nullptr);
        return TRUE;
    }

  private:
    bool m_quitInstead;
};

TEST(PropSheet, IsAttachedFromCreationAndRunsItsOwnLoopUntilCancel) {
    ThreePageSheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(sheet.createsSeen, 1) << "WM_CREATE reached the object";
    EXPECT_EQ(sheet.initsSeen, 1);
    EXPECT_EQ(sheet.tabCount, 3);
    EXPECT_GT(sheet.preTranslated, 0) << "the loop offers messages to the sheet first";
    EXPECT_EQ(sheet.GetHwnd(), nullptr) << "the window is destroyed when the loop ends";
}

TEST(PropSheet, QuitEndsTheLoopAndStaysQueuedForTheThread) {
    ThreePageSheet sheet(true);
    sheet.DoModal();
    EXPECT_EQ(sheet.GetHwnd(), nullptr);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

constexpr UINT kSwallowedByPage = WM_APP + 5;
constexpr UINT kFinishSheet = WM_APP + 6;

// A page that notes the button releases offered to it and swallows one message.
class OfferedPage : public win::PropertyPage {
  public:
    OfferedPage() : win::PropertyPage(IDD_PAGE_INFO) {}
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_LBUTTONUP) {
            releases.push_back(msg.hwnd);
        }
        return msg.message == kSwallowedByPage;
    }
    std::vector<HWND> releases;
    int swallowedArrived = 0;

  protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        swallowedArrived += msg == kSwallowedByPage ? 1 : 0;
        return false;
    }
};

class TwoPageSheet : public win::PropSheet {
  public:
    TwoPageSheet() : win::PropSheet("Test sheet", nullptr, 0) {
        AddPage(shown);
        AddPage(unopened);
    }
    OfferedPage shown;
    OfferedPage unopened;
    HWND page = nullptr;
    HWND control = nullptr;

  protected:
    BOOL OnInitDialog() override {
        page = shown.GetHwnd();
        control = ::GetDlgItem(page, IDC_INFO_SHOW_WARNINGS);
        ::PostMessageA(control, WM_LBUTTONUP, 0, 0);
        ::PostMessageA(page, WM_LBUTTONUP, 0, 0);
        ::PostMessageA(m_hWnd, WM_LBUTTONUP, 0, 0);
        ::PostMessageA(page, kSwallowedByPage, 0, 0);
        ::PostMessageA(m_hWnd, kFinishSheet, 0, 0);
        return TRUE;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kFinishSheet) {
            ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        }
        return win::PropSheet::WindowProc(msg, wParam, lParam);
    }
};

TEST(PropSheet, OffersAPageTheMessagesForItAndItsControlsFirst) {
    TwoPageSheet sheet;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    ASSERT_NE(sheet.control, nullptr);
    EXPECT_EQ(sheet.shown.releases, (std::vector<HWND>{sheet.control, sheet.page}))
        << "the control's and the page's own, not the sheet's";
    EXPECT_EQ(sheet.shown.swallowedArrived, 0) << "what the page swallows is not dispatched";
    EXPECT_TRUE(sheet.unopened.releases.empty());
}

// A control that answers its own notifications, as the custom controls do.
class SelfColouringEdit : public win::Window {
  public:
    win::UniqueBrush brush{::CreateSolidBrush(RGB(1, 2, 3))};
    int colourRequests = 0;

  protected:
    bool OnReflected(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg == WM_CTLCOLOREDIT) {
            ++colourRequests;
            result = reinterpret_cast<LRESULT>(brush.Get());
            return true;
        }
        return false;
    }
};

class ClickCountingButton : public win::Window {
  public:
    int clicks = 0;

  protected:
    bool OnReflected(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            ++clicks;
            result = 0;
            return true;
        }
        return false;
    }
};

TEST(Dialog, ReflectsNotificationsToTheControlsAttachedById) {
    win::Dialog dialog(IDD_LOG_WINDOW);
    ASSERT_TRUE(dialog.Create(nullptr));
    SelfColouringEdit edit;
    ClickCountingButton ok;
    ASSERT_TRUE(dialog.SubclassItem(edit, IDC_LOG_TEXT));
    ASSERT_TRUE(dialog.SubclassItem(ok, IDOK));
    ::ShowWindow(dialog.GetHwnd(), SW_SHOW);

    win::WindowDc dc(edit.GetHwnd());
    LRESULT brush =
        ::SendMessageA(dialog.GetHwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()),
                       reinterpret_cast<LPARAM>(edit.GetHwnd()));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(edit.brush.Get()));
    EXPECT_EQ(edit.colourRequests, 1);

    ::SendMessageA(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(ok.GetHwnd()));
    EXPECT_EQ(ok.clicks, 1);
    EXPECT_TRUE(::IsWindowVisible(dialog.GetHwnd())) << "the control handled it, not OnOK";

    ::DestroyWindow(dialog.GetHwnd());
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_EQ(edit.GetHwnd(), nullptr) << "controls let go when their window goes";
}

// A window that closes itself from a command, as the warning window's buttons
// do, and owns itself: it may only go once that command has returned.
class SelfClosingDialog : public win::Dialog {
  public:
    SelfClosingDialog(bool& deletedAfterHandler, int& deletions)
        : win::Dialog(IDD_LOG_WINDOW), m_deletedAfterHandler(deletedAfterHandler),
          m_deletions(deletions) {}
    ~SelfClosingDialog() override { ++m_deletions; }

  protected:
    void OnOK() override {
        ::DestroyWindow(m_hWnd);
        m_handlerReturned = true;
    }
    void OnFinalDestroy() override {
        m_deletedAfterHandler = m_handlerReturned;
        delete this;
    }

  private:
    bool& m_deletedAfterHandler;
    int& m_deletions;
    bool m_handlerReturned = false;
};

TEST(Dialog, ASelfOwningWindowClosedByItsOwnHandlerGoesOnlyAfterTheHandlerReturned) {
    bool deletedAfterHandler = false;
    int deletions = 0;
    auto* dialog = new SelfClosingDialog(deletedAfterHandler, deletions);
    ASSERT_TRUE(dialog->Create(nullptr));
    const HWND window = dialog->GetHwnd();
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(deletions, 1);
    EXPECT_TRUE(deletedAfterHandler) << "deleted while its handler still ran";
}

TEST(Handles, OwnersReleaseExactlyOnceAndMoveOwnership) {
    win::UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OrvaneHandleTest", 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    HKEY raw = key.Get();
    win::UniqueRegKey moved(std::move(key));
    EXPECT_FALSE(key.IsValid());
    EXPECT_EQ(moved.Get(), raw);
    EXPECT_EQ(::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    moved.Reset();
    EXPECT_NE(::RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS)
        << "the key is closed";
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvaneHandleTest");

    // The GDI handle table holds about 16k objects: a leak per brush would
    // make creation fail long before the end.
    for (int i = 0; i < 20000; ++i) {
        win::UniqueBrush brush(::CreateSolidBrush(RGB(i & 0xFF, 0, 0)));
        ASSERT_TRUE(brush.IsValid()) << "brush " << i;
    }
}

TEST(TrayIcon, RecordHasTheSecondVersionSizeAndTheTipIsCut) {
#ifndef _WIN64
    EXPECT_EQ(kTrayRecordSize, 488u);
#endif
    win::Dialog owner(IDD_LOG_WINDOW);
    ASSERT_TRUE(owner.Create(nullptr));
    CTrayIcon tray;
    HICON icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    tray.Add(owner.GetHwnd(), WM_APP + 1, icon, "ORV");
    EXPECT_EQ(tray.Record().cbSize, kTrayRecordSize);
    EXPECT_EQ(tray.Record().uID, 1u);
    EXPECT_EQ(tray.Record().uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_STREQ(tray.Record().szTip, "ORV");

    tray.Modify(icon, std::string(200, 't'));
    EXPECT_EQ(std::strlen(tray.Record().szTip), 127u);

    // The shell lost the icon (it restarted): the next update puts it back.
    NOTIFYICONDATAA record = tray.Record();
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &record));
    EXPECT_TRUE(tray.Modify(icon, "back"));
    EXPECT_TRUE(tray.IsAdded());
    record = tray.Record();
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &record)) << "the icon exists again";
    tray.Delete();
    EXPECT_FALSE(tray.IsAdded());
    ::DestroyWindow(owner.GetHwnd());
}

} // namespace
