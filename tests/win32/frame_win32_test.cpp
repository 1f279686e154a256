// What the frame does that a user sees without a dialog: the questions' default button, which
// commands are greyed, the tool bar and rebar, the layout, the lists' context menus, double-clicks
// and the report list's sort direction. The frame runs in this process on the sample folder; this
// program runs with Wine's MAPI32.DLL disabled, so the frame starts without a mail system.
#include "platform/platform.h"
#include "report_files/report_mailer.h"
#include "shell/settings_key.h"
#include "tests/support/recording_mail_sender.h"
#include "tests/win32/desktop_fixture.h"
#include "views/pane_sort.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <thread>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

class Win32FrameTest : public DesktopTest {
protected:
    // Runs action, which may enter a modal loop (a message box, a dialog, a pop-up menu), and runs
    // script on the first visible window of the class while that loop dispatches the thread
    // timer. False when no such window came up while action ran.
    static bool DuringModal(const wchar_t* windowClass, const std::function<void()>& action,
                            std::function<void(HWND)> script) {
        Modal() = {windowClass, std::move(script)};
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
        action();
        KillTimer(nullptr, timer);
        const bool ran = Modal().ran;
        Modal() = {};
        return ran;
    }

    static int RowOf(HWND list, std::string_view name) {
        for (int row = 0; row < RowCount(list); ++row) {
            if (ListText(list, row, 0) == name) return row;
        }
        return -1;
    }

    static void Notify(HWND list, UINT code, int row, int column) {
        NMITEMACTIVATE note{};
        note.hdr.hwndFrom = list;
        note.hdr.idFrom = 3000;
        note.hdr.code = code;
        note.iItem = row;
        note.iSubItem = column;
        SendMessageW(GetParent(list), WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&note));
    }

    fs::path Output() const { return dir / "palm" / "TanakaT" / "Tavolex"; }

private:
    struct ModalScript {
        const wchar_t* windowClass = nullptr;
        std::function<void(HWND)> script;
        bool ran = false;
        HWND window = nullptr;
        DWORD ranAt = 0;
    };
    static ModalScript& Modal() {
        static ModalScript modal;
        return modal;
    }
    static BOOL CALLBACK FindWindowOfClass(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (std::wstring_view(name) != Modal().windowClass || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript& modal = Modal();
        if (!modal.script) return;
        if (modal.ran) {
            // A window the script left up is cancelled after a while, so a failing test never hangs.
            if (IsWindow(modal.window) && GetTickCount() - modal.ranAt > 3000) {
                PostMessageW(modal.window, WM_COMMAND, IDCANCEL, 0);
                EndMenu();
            }
            return;
        }
        EnumThreadWindows(GetCurrentThreadId(), FindWindowOfClass, reinterpret_cast<LPARAM>(&modal.window));
        if (modal.window == nullptr) return;  // not up yet: the timer fires again
        modal.ran = true;
        modal.ranAt = GetTickCount();
        modal.script(modal.window);
    }
};

// --- Questions ------------------------------------------------------------------------------

struct QuestionBox {
    std::wstring caption;
    bool yesAndNo = false;
    bool informationIcon = false;
    int defaultButton = 0;
};

// Reads the message box, then presses Enter on it as the keyboard would reach it.
QuestionBox PressEnter(HWND box) {
    QuestionBox seen;
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    seen.caption = caption;
    seen.yesAndNo = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr;
    constexpr int kIconControl = 0x440;  // the message box's icon
    seen.informationIcon = SendDlgItemMessageW(box, kIconControl, STM_GETICON, 0, 0) ==
                           reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_INFORMATION));
    seen.defaultButton = GetDlgCtrlID(GetFocus());
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0);
    return seen;
}

TEST_F(Win32FrameTest, EnterAtAQuestionAnswersNo) {
    InstallPalmDesktop();
    realMessageBoxes = true;
    Start();
    Click(ReportList(), RowOf(ReportList(), "weekly"));
    QuestionBox frameBox;
    ASSERT_TRUE(DuringModal(L"#32770", [] { Command(ui::kCmdDelete); }, [&](HWND box) { frameBox = PressEnter(box); }));
    EXPECT_TRUE(fs::exists(Output() / "weekly.htm"));
    EXPECT_EQ(frameBox.caption, L"Deleting...");

    // The platform's own message boxes, which the command-line program's Windows build uses.
    QuestionBox systemBox;
    bool answer = true;
    ASSERT_TRUE(DuringModal(
        L"#32770", [&] { answer = platform::SystemUserInteraction().AskYesNo("q", "Tavolex", platform::kConfirmation); },
        [&](HWND box) { systemBox = PressEnter(box); }));
    EXPECT_FALSE(answer);
    for (const QuestionBox& box : {frameBox, systemBox}) {
        EXPECT_TRUE(box.yesAndNo);
        EXPECT_TRUE(box.informationIcon);
        EXPECT_EQ(box.defaultButton, IDNO);
    }
}

// --- Command enabling -----------------------------------------------------------------------

TEST_F(Win32FrameTest, CommandsAreGreyedWithoutTheirSelection) {
    InstallPalmDesktop();
    Start();
    HMENU menu = GetMenu(App().frame);
    const auto menuOn = [&](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0; };
    const auto buttonOn = [&](int id) { return SendMessageW(App().toolBar, TB_ISBUTTONENABLED, id, 0) != 0; };
    ASSERT_FALSE(App().mailer->Available());
    EXPECT_FALSE(buttonOn(ui::kCmdMail));  // greyed when the frame was made
    EXPECT_EQ(SendMessageW(App().toolBar, TB_COMMANDTOINDEX, ui::kCmdOpenReport, 0), -1);  // a menu item only

    struct Case {
        bool meeting, report;
        std::vector<std::vector<bool>> states;  // per command below: menu, button
    };
    const int commands[] = {ui::kCmdCreateReport, ui::kCmdOpenReport, ui::kCmdDelete, ui::kCmdExport, ui::kCmdMail};
    const Case cases[] = {
        {false, false, {{false, false}, {false}, {false, false}, {false, false}, {false, false}}},
        {true, false, {{true, true}, {false}, {false, false}, {false, false}, {false, false}}},
        {false, true, {{false, false}, {true}, {true, true}, {true, true}, {false, false}}},
    };
    for (const Case& c : cases) {
        Click(MeetingList(), c.meeting ? 0 : -1);
        Click(ReportList(), c.report ? 0 : -1);
        for (std::size_t k = 0; k < std::size(commands); ++k) {
            EXPECT_EQ(menuOn(commands[k]), c.states[k][0]) << commands[k] << " meeting " << c.meeting << " report " << c.report;
            if (c.states[k].size() > 1) {
                EXPECT_EQ(buttonOn(commands[k]), c.states[k][1]) << commands[k];
            }
        }
    }

    // With a mail system, a selected report can be mailed.
    std::vector<test::SentMail> sent;
    App().mailer = std::make_unique<ReportMailer>(std::make_unique<test::RecordingMailSender>(sent));
    Click(ReportList(), -1);
    Click(ReportList(), 0);
    EXPECT_TRUE(menuOn(ui::kCmdMail));
    EXPECT_TRUE(buttonOn(ui::kCmdMail));
}

// --- Tool bar, rebar and layout -------------------------------------------------------------

std::wstring ButtonLabel(HWND bar, int command) {
    wchar_t text[64] = {};
    const LRESULT n = SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(text));
    return n > 0 ? std::wstring(text) : std::wstring();
}

TEST_F(Win32FrameTest, ToolBarButtonsAndRebarBands) {
    InstallPalmDesktop();
    Start();
    HWND bar = App().toolBar;
    struct Button {
        int image, command;
        BYTE style;
        const wchar_t* label;
    };
    constexpr BYTE kShown = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    const Button expected[] = {
        {0, ui::kCmdCreateReport, kShown, L"レポート"},
        {1, ui::kCmdExport, kShown, L"エクスポート"},
        {2, ui::kCmdMail, kShown, L"メール"},
        {0, 0, BTNS_SEP, L""},
        {3, ui::kCmdRefresh, BTNS_AUTOSIZE, L""},
        {4, ui::kCmdDelete, BTNS_AUTOSIZE, L""},
        {0, 0, BTNS_SEP, L""},
        {5, ui::kCmdSupport, BTNS_AUTOSIZE, L"サポート"},
        {6, ui::kCmdCycleViews, kShown, L"表示"},
    };
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(expected)));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        TBBUTTON button{};
        SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.fsStyle, expected[i].style) << "button " << i;
        if (expected[i].style == BTNS_SEP) continue;
        EXPECT_EQ(button.iBitmap, expected[i].image) << "button " << i;
        EXPECT_EQ(button.idCommand, expected[i].command) << "button " << i;
        EXPECT_EQ(ButtonLabel(bar, expected[i].command), expected[i].label) << "button " << i;
    }
    EXPECT_EQ(GetDlgCtrlID(bar), ui::kToolBarId);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(bar, GWL_STYLE)) & 0x4000995Eu, 0x4000995Eu);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(App().rebar, GWL_STYLE)) & 0x46002A40u, 0x46002A40u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(App().userBox, GWL_STYLE)), 0x50000313u);

    // Two bands: the tool bar, then the user box with a one-blank text.
    ASSERT_EQ(SendMessageW(App().rebar, RB_GETBANDCOUNT, 0, 0), 2);
    struct Band {
        HWND child;
        UINT minWidth, minHeight;
        const wchar_t* text;
    };
    RECT box{};
    GetWindowRect(App().userBox, &box);
    const Band bands[] = {
        {bar, 50, HIWORD(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0)), L""},
        {App().userBox, 100, static_cast<UINT>(box.bottom - box.top), L" "},
    };
    for (int i = 0; i < 2; ++i) {
        wchar_t text[16] = {};
        REBARBANDINFOW band{sizeof band};
        band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_TEXT;
        band.lpText = text;
        band.cch = 16;
        ASSERT_TRUE(SendMessageW(App().rebar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band)));
        EXPECT_EQ(band.hwndChild, bands[i].child) << "band " << i;
        EXPECT_EQ(band.fStyle & RBBS_CHILDEDGE, static_cast<UINT>(RBBS_CHILDEDGE)) << "band " << i;
        EXPECT_EQ(band.cxMinChild, bands[i].minWidth) << "band " << i;
        EXPECT_EQ(band.cyMinChild, bands[i].minHeight) << "band " << i;
        EXPECT_EQ(std::wstring(text), bands[i].text) << "band " << i;
    }
}

RECT InParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The worked example: a client area of 800 x 600 (here with the bar height the rebar reports).
TEST_F(Win32FrameTest, LayoutOfAnEightHundredBySixHundredClientArea) {
    InstallPalmDesktop();
    Start();
    RECT frame{0, 0, 800, 600};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(App().frame, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongW(App().frame, GWL_EXSTYLE)));
    SetWindowPos(App().frame, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(App().frame, &client);
    ASSERT_EQ(client.right, 800);
    ASSERT_EQ(client.bottom, 600);
    // A bar height the rebar no longer has (45) gives way to the one it reports as it is placed;
    // with 45 the figures are the worked example's.
    App().barHeight = 45;
    SendMessageW(App().frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    const int b = App().barHeight;
    RecordProperty("barHeight", b);

    struct Placed {
        HWND window;
        RECT rect;  // left, top, right, bottom in the parent
    };
    const Placed placed[] = {
        {App().meetingPane, {0, b, 380, b + 600}},            // (0, 45) 380 x 600
        {App().reportPane, {400, b, 1200, b + 600}},          // (400, 45) 800 x 600
        {MeetingList(), {0, 0, 380, 300}},                     // 380 x 300
        {ItemList(), {0, 300, 380, 300 + 300 - b}},            // (0, 300) 380 x 255
        {ReportList(), {0, 0, 400, 300}},                      // 400 x 300
        {App().quickView->Window(), {0, 300, 400, 600 - b}},  // (0, 300) 400 x 255
    };
    for (const Placed& p : placed) {
        const RECT rect = InParent(p.window);
        EXPECT_EQ(std::vector<LONG>({rect.left, rect.top, rect.right, rect.bottom}),
                  std::vector<LONG>({p.rect.left, p.rect.top, p.rect.right, p.rect.bottom}))
            << "control " << GetDlgCtrlID(p.window) << " of parent " << GetDlgCtrlID(GetParent(p.window));
    }
    const RECT rebar = InParent(App().rebar);
    EXPECT_EQ(rebar.left, 0);
    EXPECT_EQ(rebar.top, 0);
    EXPECT_EQ(rebar.right, 800);
}

// --- Context menus, double-clicks, sorting ---------------------------------------------------

struct ShownMenu {
    bool shown = false;
    bool createReport = false;  // menu 171
    bool openReport = false;    // menu 155
    bool mailGreyed = false;
    std::vector<int> checkedViews;
};

TEST_F(Win32FrameTest, ContextMenusOfTheThreeLists) {
    InstallPalmDesktop();
    Start();
    const auto menuOf = [&](HWND pane, HWND list) {
        ShownMenu seen;
        DuringModal(
            L"#32768", [&] { SendMessageW(pane, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(10, 10)); },
            [&](HWND popup) {
                auto* menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                seen.shown = menu != nullptr;
                seen.createReport = GetMenuState(menu, ui::kCmdCreateReport, MF_BYCOMMAND) != static_cast<UINT>(-1);
                seen.openReport = GetMenuState(menu, ui::kCmdPaneOpen, MF_BYCOMMAND) != static_cast<UINT>(-1);
                seen.mailGreyed = (GetMenuState(menu, ui::kCmdPaneMail, MF_BYCOMMAND) & MF_GRAYED) != 0 &&
                                  seen.openReport;
                for (int view : {ui::kCmdPaneLargeIcons, ui::kCmdPaneSmallIcons, ui::kCmdPaneList, ui::kCmdPaneDetails}) {
                    if ((GetMenuState(menu, view, MF_BYCOMMAND) & MF_CHECKED) != 0) seen.checkedViews.push_back(view);
                }
                EndMenu();
            });
        return seen;
    };
    SendMessageW(App().meetingPane, WM_COMMAND, ui::kCmdPaneList, 0);     // MeetingView 4
    SendMessageW(App().reportPane, WM_COMMAND, ui::kCmdPaneDetails, 0);   // ReportView 1
    struct Case {
        const char* what;
        HWND pane, list;
        int selectRow;
        bool shown, createReport, openReport, mailGreyed;
        std::vector<int> checkedViews;
    };
    const Case cases[] = {
        {"meeting selected", App().meetingPane, MeetingList(), 0, true, true, false, false, {ui::kCmdPaneList}},
        {"no meeting", App().meetingPane, MeetingList(), -1, true, false, false, false, {ui::kCmdPaneList}},
        {"report selected", App().reportPane, ReportList(), 0, true, false, true, true, {ui::kCmdPaneDetails}},
        {"no report", App().reportPane, ReportList(), -1, true, false, false, false, {ui::kCmdPaneDetails}},
        {"item list", App().meetingPane, ItemList(), -1, false, false, false, false, {}},
    };
    for (const Case& c : cases) {
        Click(c.list, c.selectRow);
        const ShownMenu seen = menuOf(c.pane, c.list);
        EXPECT_EQ(seen.shown, c.shown) << c.what;
        EXPECT_EQ(seen.createReport, c.createReport) << c.what;
        EXPECT_EQ(seen.openReport, c.openReport) << c.what;
        EXPECT_EQ(seen.mailGreyed, c.mailGreyed) << c.what;
        EXPECT_EQ(seen.checkedViews, c.checkedViews) << c.what;
    }
}

TEST_F(Win32FrameTest, DoubleClicksCreateAReportAndOpenOne) {
    InstallPalmDesktop();
    Start();
    // A meeting: the Create Report dialog, but only from the first column.
    Click(MeetingList(), 0);
    std::wstring caption;
    EXPECT_FALSE(DuringModal(L"#32770", [] { Notify(MeetingList(), NM_DBLCLK, 0, 1); }, [](HWND) {}));
    ASSERT_TRUE(DuringModal(L"#32770", [] { Notify(MeetingList(), NM_DBLCLK, 0, 0); }, [&](HWND dialog) {
        wchar_t text[64] = {};
        GetWindowTextW(dialog, text, 64);
        caption = text;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    EXPECT_EQ(caption, L"レポートの作成");

    // A report: opened in the viewer of the settings.
    const fs::path viewer = dir / "viewer.exe";
    fs::copy_file(ProgramFolder() / "viewer_standin.exe", viewer);
    SetEnvironmentVariableW(L"TAVOLEX_VIEWER_LOG", (dir / "viewer.log").c_str());
    SettingsKey& key = App().settings->userKey;
    key.OpenUserKey(App().settings->userDirectory);
    key.WriteDword("AutoView", 2);
    key.WriteString("BrowserPath", ui::Narrow(viewer.wstring()));
    const int row = RowOf(ReportList(), "weekly");
    Click(ReportList(), row);
    Notify(ReportList(), NM_DBLCLK, row, 0);
    for (int i = 0; i < 200 && !fs::exists(dir / "viewer.log"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    SetEnvironmentVariableW(L"TAVOLEX_VIEWER_LOG", nullptr);
    const std::string log = fs::exists(dir / "viewer.log") ? test::ReadFileBytes(dir / "viewer.log") : "";
    EXPECT_NE(log.find("weekly.htm"), std::string::npos) << log;
}

TEST_F(Win32FrameTest, ReportHeaderClicksSortDescendingFirstWithTheirOwnDirection) {
    InstallPalmDesktop();
    Start();
    const auto clickHeader = [](HWND list) {
        NMLISTVIEW header{};
        header.hdr.hwndFrom = list;
        header.hdr.idFrom = 3000;
        header.hdr.code = LVN_COLUMNCLICK;
        header.iSubItem = 0;
        SendMessageW(GetParent(list), WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&header));
    };
    const auto order = [](HWND list) {
        const int count = RowCount(list);
        return ComparePaneText(ListText(list, 0, 0), ListText(list, count - 1, 0));
    };
    ASSERT_GT(RowCount(ReportList()), 1);
    clickHeader(ReportList());
    EXPECT_GT(order(ReportList()), 0);  // weekly before minutes
    clickHeader(ReportList());
    EXPECT_LT(order(ReportList()), 0);
    clickHeader(MeetingList());  // the meeting pane's first click: still descending
    EXPECT_GE(order(MeetingList()), 0);
}

}  // namespace
}  // namespace tavolex
