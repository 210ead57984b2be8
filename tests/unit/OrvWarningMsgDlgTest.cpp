// The warning window itself, opened through its gate over a stand-in for the
// main sheet's pages: its texts and looks, what each button and key does, the
// one-window rule, a window that cannot be made, and the process kill that
// checks the process afresh.
#include "res/resource.h"
#include "tests/e2e/Driver.h"
#include "tests/helpers/TestSupport.h"
#include "tests/unit/HelperProcess.h"
#include "tests/unit/WarningSubjects.h"
#include "ui/OrvWarningMsgDlg.h"
#include "ui/WarningTarget.h"
#include "win/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <future>
#include <string>
#include <vector>

namespace {

void PumpMessages() {
    testsupport::PumpMessages(true);
}

class RecordingTarget : public IWarningTarget {
  public:
    void AcceptSubject(const WarningSubject& subject) override { accepted.push_back(subject); }
    void RemoveSubject(const WarningSubject& subject) override { removed.push_back(subject); }

    std::vector<WarningSubject> accepted;
    std::vector<WarningSubject> removed;
};

// Answers the message box the window asks with, from another thread, while
// the window's button waits for it; gives the question's text.
std::future<std::string> AnswerQuestion(int button) {
    return std::async(std::launch::async, [button] {
        HWND box = e2e::WaitForMessageBox(GetCurrentProcessId(), "Orvane", std::chrono::seconds(5));
        if (box == nullptr) {
            return std::string("<no question>");
        }
        const std::string text = e2e::MessageBoxText(box);
        PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        return text;
    });
}

class WarningWindow : public ::testing::Test {
  protected:
    void SetUp() override { m_windows.SetTarget(&m_target); }
    void TearDown() override {
        if (IsWindow(m_window)) {
            DestroyWindow(m_window);
        }
        PumpMessages();
        EXPECT_EQ(COrvWarningMsgDlg::GetObjectCount(), 0) << "every window deleted itself";
    }

    // Opens a warning as the checks do and finds its window.
    HWND Open(const WarningSubject& subject) {
        EXPECT_TRUE(m_windows.ShouldShowWarning(subject.path));
        m_windows.OpenWarning(subject);
        PumpMessages();
        m_window = FindWindowA("#32770", BuildWarningCaption(subject).c_str());
        return m_window;
    }

    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        PumpMessages();
    }
    // A key pressed while the window has the focus, through the modal loop's filter.
    void PressKey(WPARAM key) {
        MSG msg{};
        msg.hwnd = m_window;
        msg.message = WM_KEYDOWN;
        msg.wParam = key;
        EXPECT_TRUE(win::modeless::IsDialogMessageOfAny(msg)) << "the dialog takes the key";
        PumpMessages();
    }
    bool IsOpen() const { return IsWindow(m_window) != FALSE; }

    bool m_warningsOn = true;
    CWarningWindows m_windows{[this] { return m_warningsOn; }};
    RecordingTarget m_target;
    HWND m_window = nullptr;
};

TEST_F(WarningWindow, AnEntryWarningSaysWhatAppearedAndOffersRemove) {
    const WarningSubject entry = Entry("Updater", "C:\\Program Files\\Up\\update.exe");
    ASSERT_NE(Open(entry), nullptr);
    EXPECT_TRUE(IsWindowVisible(m_window));
    EXPECT_EQ(win::GetWindowTextOf(m_window), "Warning: update.exe in your autostart");
    char className[64] = {};
    GetClassNameA(Item(IDC_WARNING_TEXT), className, sizeof className);
    EXPECT_STREQ(className, "RichEdit20A");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_TEXT)),
              "update.exe (Updater)\r\nhas just appeared in your autostart\r\n"
              "and you haven't accepted it.\r\nWhat do you want to do about it?");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDOK)), "&Accept it");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDCANCEL)), "&Remind later");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_REMOVE)), "Remove");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_PROPERTIES)), "Shell &properties");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_MORE_INFO)), "&More info");
    EXPECT_EQ(SendMessageA(m_window, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

    // A window of its own over the desktop, with a taskbar button and the
    // warning icon, that does not take the activation from other programs.
    EXPECT_EQ(GetAncestor(m_window, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindow(m_window, GW_OWNER), nullptr);
    const LONG_PTR exStyle = GetWindowLongPtrA(m_window, GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_NOACTIVATE, 0);
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(GetWindowLongPtrA(m_window, GWL_STYLE) & WS_MINIMIZEBOX, WS_MINIMIZEBOX);
    EXPECT_NE(SendMessageA(m_window, WM_GETICON, ICON_SMALL, 0), 0);
    RECT rect{};
    GetWindowRect(m_window, &rect);
    EXPECT_LE(rect.left, 8) << "placed where the template says, not centred";
}

TEST_F(WarningWindow, OneWindowAtATimeAndAcceptClosesIt) {
    const WarningSubject process = Process("C:\\x\\tool.exe");
    ASSERT_NE(Open(process), nullptr);
    EXPECT_EQ(win::GetWindowTextOf(m_window), "Warning: tool.exe");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_REMOVE)), "Kill");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_TEXT)),
              "tool.exe has just appeared\r\nand you haven't accepted it.\r\n"
              "What do you want to do about it?");
    EXPECT_TRUE(m_windows.GetState().IsWarningDialogOpen());
    EXPECT_FALSE(m_windows.ShouldShowWarning("C:\\y\\other.exe")) << "the gate is closed";
    m_windows.OpenWarning(Process("C:\\y\\other.exe"));
    EXPECT_EQ(COrvWarningMsgDlg::GetObjectCount(), 1) << "and opens no second window";

    Click(IDOK);
    EXPECT_FALSE(IsOpen());
    ASSERT_EQ(m_target.accepted.size(), 1u);
    EXPECT_EQ(m_target.accepted[0].path, "C:\\x\\tool.exe");
    EXPECT_EQ(m_target.accepted[0].processId, 0x4242u);
    EXPECT_FALSE(m_windows.GetState().IsWarningDialogOpen());
    EXPECT_EQ(COrvWarningMsgDlg::GetObjectCount(), 0);
    EXPECT_TRUE(m_windows.ShouldShowWarning("C:\\y\\other.exe")) << "the next one may open";
    EXPECT_TRUE(m_windows.GetState().GetRemindLaterList().empty());
}

TEST_F(WarningWindow, EnterAcceptsEscapeAndCloseRemindLater) {
    ASSERT_NE(Open(Entry("One", "C:\\one.exe")), nullptr);
    PressKey(VK_RETURN);
    EXPECT_FALSE(IsOpen()) << "Enter is Accept it";
    EXPECT_EQ(m_target.accepted.size(), 1u);

    ASSERT_NE(Open(Entry("Two", "C:\\two.exe")), nullptr);
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsOpen()) << "Escape is Remind later";
    EXPECT_FALSE(m_windows.ShouldShowWarning("c:\\TWO.exe"));

    ASSERT_NE(Open(Process("C:\\three.exe")), nullptr);
    SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_FALSE(IsOpen()) << "the close box is Remind later";
    EXPECT_FALSE(m_windows.ShouldShowWarning("C:\\three.exe"));
    EXPECT_EQ(m_target.accepted.size(), 1u);
    EXPECT_TRUE(m_target.removed.empty());
    EXPECT_EQ(m_windows.GetState().GetRemindLaterList(),
              (std::vector<std::string>{"C:\\two.exe", "C:\\three.exe"}));
}

TEST_F(WarningWindow, RemindLaterPutsThePathOffForTheRunAndWritesNothing) {
    const WarningSubject entry = Entry("Later", "C:\\Tools\\later.exe /min");
    ASSERT_NE(Open(entry), nullptr);
    Click(IDCANCEL);
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(m_target.accepted.empty());
    EXPECT_FALSE(m_windows.ShouldShowWarning("C:\\Tools\\later.exe /min"));
    EXPECT_FALSE(m_windows.ShouldShowWarning("c:/tools/LATER.exe /min"));
    EXPECT_TRUE(m_windows.ShouldShowWarning("C:\\Tools\\later.exe"));
    m_warningsOn = false;
    EXPECT_FALSE(m_windows.ShouldShowWarning("C:\\Tools\\later.exe")) << "warnings switched off";
}

TEST_F(WarningWindow, RemoveAsksFirstAndNoKeepsTheWindow) {
    const WarningSubject entry = Entry("Gone", "C:\\gone.exe");
    ASSERT_NE(Open(entry), nullptr);
    std::future<std::string> no = AnswerQuestion(IDNO);
    Click(IDC_WARNING_REMOVE);
    EXPECT_EQ(no.get(), "Are you sure you want to remove this application from autostart?");
    EXPECT_TRUE(IsOpen()) << "No changes nothing";
    EXPECT_TRUE(m_target.removed.empty());

    std::future<std::string> yes = AnswerQuestion(IDYES);
    Click(IDC_WARNING_REMOVE);
    EXPECT_EQ(yes.get(), "Are you sure you want to remove this application from autostart?");
    EXPECT_FALSE(IsOpen());
    ASSERT_EQ(m_target.removed.size(), 1u);
    EXPECT_EQ(m_target.removed[0].name, "Gone");
    EXPECT_EQ(m_target.removed[0].location, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(m_target.removed[0].root, 0x80000001u);
    EXPECT_FALSE(m_windows.GetState().IsWarningDialogOpen());

    ASSERT_NE(Open(Process("C:\\x\\tool.exe")), nullptr);
    std::future<std::string> kill = AnswerQuestion(IDYES);
    Click(IDC_WARNING_REMOVE);
    EXPECT_EQ(kill.get(), "Are you sure you want to kill this process?");
    EXPECT_FALSE(IsOpen());
    ASSERT_EQ(m_target.removed.size(), 2u);
    EXPECT_EQ(m_target.removed[1].processId, 0x4242u);
}

TEST_F(WarningWindow, WithoutTheMainSheetAcceptAndRemoveDoNothing) {
    m_windows.SetTarget(nullptr);
    ASSERT_NE(Open(Entry("Early", "C:\\early.exe")), nullptr);
    Click(IDOK);
    EXPECT_TRUE(IsOpen()) << "nothing to accept into: the window stays";
    Click(IDC_WARNING_REMOVE);
    EXPECT_EQ(e2e::FindMessageBox(GetCurrentProcessId(), "Orvane"), nullptr) << "no question";
    EXPECT_TRUE(IsOpen());
    Click(IDCANCEL);
    EXPECT_FALSE(IsOpen()) << "Remind later needs no sheet";
    EXPECT_TRUE(m_target.accepted.empty());
    EXPECT_TRUE(m_target.removed.empty());
}

TEST_F(WarningWindow, LongAndEuropeanPathsAreShownAsTheyAre) {
    const std::string file = std::string(200, 'n') + ".exe";
    const WarningSubject longEntry = Entry("Long", "C:\\" + std::string(51, 'd') + "\\" + file);
    ASSERT_EQ(longEntry.path.size(), 259u);
    ASSERT_NE(Open(longEntry), nullptr);
    EXPECT_EQ(win::GetWindowTextOf(m_window), "Warning: " + file + " in your autostart");
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_TEXT)), BuildWarningMessage(longEntry));
    e2e::SaveScreenshot("warning-long");
    Click(IDCANCEL);
    EXPECT_FALSE(m_windows.ShouldShowWarning(longEntry.path));

    // š ą č Ž: code page 1250 letters, bytes the system's code page also has.
    const WarningSubject czech = Entry("\x8Akoda", "C:\\Programy\\\x9A\xB9\\\xE8\x8E.exe");
    ASSERT_NE(Open(czech), nullptr);
    EXPECT_EQ(win::GetWindowTextOf(m_window), BuildWarningCaption(czech));
    EXPECT_EQ(win::GetWindowTextOf(Item(IDC_WARNING_TEXT)), BuildWarningMessage(czech));
    Click(IDOK);
    ASSERT_EQ(m_target.accepted.size(), 1u);
    EXPECT_EQ(m_target.accepted[0].path, czech.path) << "the path as stored, byte for byte";
}

TEST_F(WarningWindow, AWindowThatCannotBeMadeLeavesNothingBehind) {
    m_windows.SetTemplateId(IDD_WARNING_MSG + 1000);
    for (int check = 0; check < 10; ++check) {
        ASSERT_TRUE(m_windows.ShouldShowWarning("C:\\x.exe"));
        m_windows.OpenWarning(Process("C:\\x.exe"));
        EXPECT_EQ(COrvWarningMsgDlg::GetObjectCount(), 0) << "deleted at once";
        EXPECT_FALSE(m_windows.GetState().IsWarningDialogOpen());
    }
    m_windows.SetTemplateId(IDD_WARNING_MSG);
    EXPECT_NE(Open(Process("C:\\x.exe")), nullptr) << "the next check opens it";
}

TEST(WarnedProcess, KillEndsOnlyTheProcessTheWarningNamed) {
    HelperProcess helper, stranger;
    ASSERT_TRUE(helper.Start());
    ASSERT_TRUE(stranger.Start());
    WarningSubject subject = Process(helper.Path(), helper.Id());
    ASSERT_EQ(subject.name, "ProcessHelper.exe");

    // The warning of a program that ended long ago, whose id another has taken.
    WarningSubject stale = Process("C:\\Tools\\editor.exe", stranger.Id());
    EXPECT_FALSE(KillWarnedProcess(stale));
    EXPECT_EQ(WaitForSingleObject(stranger.Handle(), 500), static_cast<DWORD>(WAIT_TIMEOUT))
        << "a reused id is left alone";

    EXPECT_TRUE(KillWarnedProcess(subject));
    EXPECT_EQ(WaitForSingleObject(helper.Handle(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_FALSE(KillWarnedProcess(subject)) << "a process that exited: nothing to do";
}

} // namespace
