// The desktop program's frame without its dialogs, started in this process on a copy of the sample
// Palm folder: the lists and the quick view, the questions' default button, which commands are
// greyed, the tool bar and rebar, the layout, context menus, double-clicks, sorting, the report
// list's own operations, the user change and the File menu's exports. This program runs with
// Wine's MAPI32.DLL disabled, so the frame starts without a mail system.
#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report_files/report_mailer.h"
#include "shell/settings_key.h"
#include "tests/support/recording_mail_sender.h"
#include "tests/win32/desktop_fixture.h"
#include "ui/export_runner.h"
#include "views/meeting_items.h"
#include "views/meeting_rows.h"
#include "views/pane_sort.h"
#include "views/quick_view.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace tavolex {
namespace {

class Win32FrameTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        InstallPalmDesktop();
    }
    fs::path Output() const { return dir / "palm" / "TanakaT" / "Tavolex"; }
};

TEST_F(Win32FrameTest, ListsAndQuickViewShowTheSampleUser) {
    Start();
    MeetingDatabase store(Output());
    store.ReloadAll();
    AddressBook book(AddressBook::PathInUserFolder(dir / "palm" / "TanakaT"));
    book.Reload();
    ASSERT_GT(store.MeetingCount(), 0);
    ASSERT_EQ(SendMessageW(App().userBox, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCURSEL, 0, 0), 0);

    // Details view: four columns, one row per meeting in store order with the core's texts.
    Command(ui::kCmdDetails);
    EXPECT_EQ(ViewOf(MeetingList()), LVS_REPORT);
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(MeetingList())), 4);
    ASSERT_EQ(RowCount(MeetingList()), store.MeetingCount());
    for (int row = 0; row < store.MeetingCount(); ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(ListText(MeetingList(), row, column), MeetingCellText(store, row, column)) << row << "," << column;
        }
        EXPECT_EQ(ListIcon(MeetingList(), row), 0);
    }

    // A meeting: its items in handheld order with their icons, and the meeting in the quick view.
    Click(MeetingList(), 0);
    const std::vector<MeetingItemEntry> entries = BuildMeetingItemEntries(store, book, 0);
    ASSERT_EQ(RowCount(ItemList()), static_cast<int>(entries.size()));
    int attendee = -1;
    for (int row = 0; row < RowCount(ItemList()); ++row) {
        const MeetingItemEntry& entry = entries[static_cast<std::size_t>(row)];
        EXPECT_EQ(ListText(ItemList(), row, 0), entry.displayText);
        EXPECT_EQ(ListIcon(ItemList(), row), static_cast<int>(entry.icon));
        if (entry.kind == ItemKind::kAttendee && entry.foundInAddressBook) attendee = row;
    }
    EXPECT_EQ(App().quickView->Text(), QuickViewMeetingText(*store.MeetingAt(0)));

    // An attendee in the quick view (every address field shown for a new user); the meeting again.
    ASSERT_NE(attendee, -1);
    Click(ItemList(), attendee);
    EXPECT_EQ(App().quickView->Text(), QuickViewItemText(entries[static_cast<std::size_t>(attendee)], book, QuickViewFields{}));
    EXPECT_EQ(App().itemList->SelectedRow(), attendee);
    Click(MeetingList(), 0);
    EXPECT_EQ(App().quickView->Text(), QuickViewMeetingText(*store.MeetingAt(0)));
    EXPECT_EQ(App().itemList->SelectedRow(), -1);

    // The report list: the output folder's two reports with the HTML and RTF icons.
    ASSERT_EQ(RowCount(ReportList()), 2);
    EXPECT_EQ(ListIcon(ReportList(), RowOf(ReportList(), "weekly")), 1);
    EXPECT_EQ(ListIcon(ReportList(), RowOf(ReportList(), "minutes")), 10);
    EXPECT_TRUE(ui.messages.empty());
}

// Reads the message box, then presses Enter on it as the keyboard would reach it.
struct QuestionBox {
    std::wstring caption;
    bool yesAndNo = false;
    bool informationIcon = false;
    int defaultButton = 0;
};
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

TEST_F(Win32FrameTest, CommandsWithoutTheirSelectionAreGreyedAndExplainThemselves) {
    Start();
    HMENU menu = GetMenu(App().frame);
    const auto menuOn = [&](int id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0; };
    const auto buttonOn = [&](int id) { return SendMessageW(App().toolBar, TB_ISBUTTONENABLED, id, 0) != 0; };
    ASSERT_FALSE(App().mailer->Available());
    EXPECT_FALSE(buttonOn(ui::kCmdMail));  // greyed when the frame was made

    // Per selection, each command's menu item and tool bar button (Open Report has no button).
    const int commands[] = {ui::kCmdCreateReport, ui::kCmdOpenReport, ui::kCmdDelete, ui::kCmdExport, ui::kCmdMail};
    const struct {
        bool meeting, report;
        bool on[5];
    } cases[] = {
        {false, false, {false, false, false, false, false}},
        {true, false, {true, false, false, false, false}},
        {false, true, {false, true, true, true, false}},
    };
    for (const auto& c : cases) {
        Click(MeetingList(), c.meeting ? 0 : -1);
        Click(ReportList(), c.report ? 0 : -1);
        for (std::size_t k = 0; k < std::size(commands); ++k) {
            SCOPED_TRACE(testing::Message() << commands[k] << " meeting " << c.meeting << " report " << c.report);
            EXPECT_EQ(menuOn(commands[k]), c.on[k]);
            if (commands[k] != ui::kCmdOpenReport) {
                EXPECT_EQ(buttonOn(commands[k]), c.on[k]);
            }
        }
    }

    // Sent anyway without a selection, each says what is missing.
    Click(MeetingList(), -1);
    Click(ReportList(), -1);
    const struct {
        int command;
        std::string_view start;
    } explained[] = {
        {ui::kCmdOpenReport,
         "No report has been selected.\n\nPlease select a report to open in the right 'Report' window and try again."},
        {ui::kCmdExport,
         "No report has been selected for exporting.\n\nPlease select a report in the right 'Report' window and try again."},
        {ui::kCmdMail, "No report has been sent."},
        {ui::kCmdDelete, "Only reports can be deleted."},
        {ui::kCmdCreateReport, "No meeting has been selected to report on."},
    };
    for (const auto& e : explained) {
        ui.messages.clear();
        Command(e.command);
        ASSERT_EQ(ui.messages.size(), 1u) << e.command;
        EXPECT_EQ(ui.messages[0].text.substr(0, e.start.size()), e.start);
        EXPECT_EQ(ui.messages[0].caption, "Tavolex");
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
    }

    // With a mail system, a selected report can be mailed.
    std::vector<test::SentMail> sent;
    App().mailer = std::make_unique<ReportMailer>(std::make_unique<test::RecordingMailSender>(sent));
    Click(ReportList(), 0);
    EXPECT_TRUE(menuOn(ui::kCmdMail));
    EXPECT_TRUE(buttonOn(ui::kCmdMail));
}

// The tool bar's buttons in order with their labels from the string table (none: a separator or
// a picture only), then the rebar's two bands: the tool bar, and the user box with a one-blank text.
TEST_F(Win32FrameTest, ToolBarButtonsAndRebarBands) {
    Start();
    HWND bar = App().toolBar;
    const std::pair<int, std::wstring> expected[] = {
        {ui::kCmdCreateReport, L"レポート"}, {ui::kCmdExport, L"エクスポート"}, {ui::kCmdMail, L"メール"},
        {0, L""}, {ui::kCmdRefresh, L""}, {ui::kCmdDelete, L""}, {0, L""},
        {ui::kCmdSupport, L"サポート"}, {ui::kCmdCycleViews, L"表示"},
    };
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(std::size(expected)));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        TBBUTTON button{};
        SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        wchar_t label[64] = {};
        const LRESULT n = button.idCommand != 0 ? SendMessageW(bar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(label)) : 0;
        EXPECT_EQ(std::make_pair(button.idCommand, n > 0 ? std::wstring(label) : L""), expected[i]) << "button " << i;
    }
    ASSERT_EQ(SendMessageW(App().rebar, RB_GETBANDCOUNT, 0, 0), 2);
    const std::pair<HWND, std::wstring> bands[] = {{bar, L""}, {App().userBox, L" "}};
    for (int i = 0; i < 2; ++i) {
        wchar_t text[16] = {};
        REBARBANDINFOW band{sizeof band};
        band.fMask = RBBIM_CHILD | RBBIM_TEXT;
        band.lpText = text;
        band.cch = 16;
        ASSERT_TRUE(SendMessageW(App().rebar, RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&band)));
        EXPECT_EQ(std::make_pair(band.hwndChild, std::wstring(text)), bands[i]) << "band " << i;
    }
}

// The worked example: a client area of 800 x 600 (here with the bar height the rebar reports).
TEST_F(Win32FrameTest, LayoutOfAnEightHundredBySixHundredClientArea) {
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
    const struct {
        HWND window;
        std::vector<LONG> rect;  // left, top, right, bottom in the parent
    } placed[] = {
        {App().meetingPane, {0, b, 380, b + 600}},            // (0, 45) 380 x 600
        {App().reportPane, {400, b, 1200, b + 600}},          // (400, 45) 800 x 600
        {MeetingList(), {0, 0, 380, 300}},                     // 380 x 300
        {ItemList(), {0, 300, 380, 300 + 300 - b}},            // (0, 300) 380 x 255
        {ReportList(), {0, 0, 400, 300}},                      // 400 x 300
        {App().quickView->Window(), {0, 300, 400, 600 - b}},  // (0, 300) 400 x 255
        {App().rebar, {0, 0, 800, -1}},                        // its own height
    };
    for (const auto& p : placed) {
        RECT rect{};
        GetWindowRect(p.window, &rect);
        MapWindowPoints(nullptr, GetParent(p.window), reinterpret_cast<POINT*>(&rect), 2);
        const std::vector<LONG> seen{rect.left, rect.top, rect.right, p.rect[3] < 0 ? -1 : rect.bottom};
        EXPECT_EQ(seen, p.rect) << "control " << GetDlgCtrlID(p.window) << " of parent " << GetDlgCtrlID(GetParent(p.window));
    }
}

TEST_F(Win32FrameTest, ContextMenusOfTheThreeLists) {
    Start();
    SendMessageW(App().meetingPane, WM_COMMAND, ui::kCmdPaneList, 0);    // MeetingView 4
    SendMessageW(App().reportPane, WM_COMMAND, ui::kCmdPaneDetails, 0);  // ReportView 1
    struct Seen {
        bool shown = false, createReport = false, openReport = false, mailGreyed = false;
        std::vector<int> checkedViews;
        bool operator==(const Seen&) const = default;
    };
    const struct {
        const char* what;
        HWND pane, list;
        int selectRow;
        Seen expected;
    } cases[] = {
        {"meeting selected", App().meetingPane, MeetingList(), 0, {true, true, false, false, {ui::kCmdPaneList}}},
        {"no meeting", App().meetingPane, MeetingList(), -1, {true, false, false, false, {ui::kCmdPaneList}}},
        {"report selected", App().reportPane, ReportList(), 0, {true, false, true, true, {ui::kCmdPaneDetails}}},
        {"no report", App().reportPane, ReportList(), -1, {true, false, false, false, {ui::kCmdPaneDetails}}},
        {"item list", App().meetingPane, ItemList(), -1, {}},
    };
    for (const auto& c : cases) {
        Click(c.list, c.selectRow);
        Seen seen;
        DuringModal(
            L"#32768", [&] { SendMessageW(c.pane, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c.list), MAKELPARAM(10, 10)); },
            [&](HWND popup) {
                auto* menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                const auto has = [menu](int id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); };
                seen.shown = menu != nullptr;
                seen.createReport = has(ui::kCmdCreateReport);
                seen.openReport = has(ui::kCmdPaneOpen);
                seen.mailGreyed = seen.openReport && (GetMenuState(menu, ui::kCmdPaneMail, MF_BYCOMMAND) & MF_GRAYED) != 0;
                for (int view : {ui::kCmdPaneLargeIcons, ui::kCmdPaneSmallIcons, ui::kCmdPaneList, ui::kCmdPaneDetails}) {
                    if ((GetMenuState(menu, view, MF_BYCOMMAND) & MF_CHECKED) != 0) seen.checkedViews.push_back(view);
                }
                EndMenu();
            });
        EXPECT_TRUE(seen == c.expected) << c.what;
    }
}

TEST_F(Win32FrameTest, DoubleClicksCreateAReportAndOpenOne) {
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
    const std::string log = test::WaitForFile(dir / "viewer.log");
    SetEnvironmentVariableW(L"TAVOLEX_VIEWER_LOG", nullptr);
    EXPECT_NE(log.find("weekly.htm"), std::string::npos) << log;
}

TEST_F(Win32FrameTest, ViewCyclingAndHeaderClicksSortingDescendingFirst) {
    Start();
    App().settings->meetingView = 4;
    App().settings->reportView = 2;
    Command(ui::kCmdCycleViews);
    EXPECT_EQ(App().settings->meetingView, 1u);
    EXPECT_EQ(App().settings->reportView, 3u);
    EXPECT_EQ(ViewOf(MeetingList()), LVS_REPORT);
    EXPECT_EQ(ViewOf(ReportList()), LVS_SMALLICON);
    Command(ui::kCmdSmallIcons);
    Command(ui::kCmdLargeIcons);
    EXPECT_EQ(ViewOf(MeetingList()), LVS_ICON);
    EXPECT_EQ(ViewOf(ReportList()), LVS_ICON);
    EXPECT_EQ(App().settings->meetingView, 2u);

    // Each list's first header click sorts descending, the next ascending.
    const auto order = [](HWND list) { return ComparePaneText(ListText(list, 0, 0), ListText(list, RowCount(list) - 1, 0)); };
    ASSERT_GT(RowCount(ReportList()), 1);
    ASSERT_GT(RowCount(MeetingList()), 1);
    Notify(ReportList(), LVN_COLUMNCLICK, 0);
    EXPECT_GT(order(ReportList()), 0);  // weekly before minutes
    Notify(ReportList(), LVN_COLUMNCLICK, 0);
    EXPECT_LT(order(ReportList()), 0);
    Notify(MeetingList(), LVN_COLUMNCLICK, 0);  // the meeting pane's first click: still descending
    EXPECT_GE(order(MeetingList()), 0);
    Notify(MeetingList(), LVN_COLUMNCLICK, 0);
    EXPECT_LE(order(MeetingList()), 0);
}

TEST_F(Win32FrameTest, ReportsAreRenamedDeletedAndImportedFromTheList) {
    Start();
    HWND list = ReportList();
    const auto select = [list](const char* name) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, RowOf(list, name), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    };

    // In-place rename: the edit's text becomes the file's name, the extension stays; no text: cancelled.
    select("weekly");
    wchar_t newName[] = L"renamed";
    NMLVDISPINFOW edit{{list, 3000, static_cast<UINT>(LVN_ENDLABELEDITW)}};
    edit.item.iItem = RowOf(list, "weekly");
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&edit));
    EXPECT_TRUE(fs::exists(Output() / "weekly.htm"));
    edit.item.pszText = newName;
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&edit));
    EXPECT_FALSE(fs::exists(Output() / "weekly.htm"));
    EXPECT_TRUE(fs::exists(Output() / "renamed.htm"));
    EXPECT_NE(RowOf(list, "renamed"), -1);

    // The Delete key asks first; a "no" keeps the file.
    NMLVKEYDOWN key{{list, 3000, static_cast<UINT>(LVN_KEYDOWN)}, VK_DELETE};
    for (bool answer : {false, true}) {
        select("renamed");
        ui.answer = answer;
        SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
        EXPECT_EQ(fs::exists(Output() / "renamed.htm"), !answer);
    }
    EXPECT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(RowCount(list), 1);

    // A dropped file is imported (only the first of several).
    test::WriteFileBytes(dir / "elsewhere" / "dropped.htm", "<html></html>");
    test::WriteFileBytes(dir / "elsewhere" / "second.htm", "<html></html>");
    const std::wstring files = (dir / "elsewhere" / "dropped.htm").wstring() + L'\0' +
                               (dir / "elsewhere" / "second.htm").wstring() + L'\0' + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::copy(files.begin(), files.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(drop);
    SendMessageW(App().reportPane, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_TRUE(fs::exists(Output() / "dropped.htm"));
    EXPECT_FALSE(fs::exists(Output() / "second.htm"));
    EXPECT_NE(RowOf(list, "dropped"), -1);
    EXPECT_EQ(App().reportList->SelectedRow(), -1);  // refilled with nothing selected

    // A report removed behind the list's back is never taken for the row's neighbour.
    test::WriteFileBytes(Output() / "other.htm", "<html></html>");
    App().reportList->Refill(-1);
    select("dropped");
    fs::remove(Output() / "dropped.htm");
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
    EXPECT_TRUE(fs::exists(Output() / "other.htm"));
    EXPECT_TRUE(fs::exists(Output() / "minutes.rtf"));
}

TEST_F(Win32FrameTest, UserChangeRefillsAndShutdownSettingsComeBack) {
    Start();
    MeetingDatabase second(dir / "palm" / "SuzukiH" / "Tavolex");
    second.ReloadAll();
    ChooseUser(1);
    Command(ui::kCmdList);
    ASSERT_EQ(RowCount(MeetingList()), second.MeetingCount());
    EXPECT_EQ(ListText(MeetingList(), 0, 0), MeetingCellText(second, 0, 0));
    EXPECT_EQ(RowCount(ItemList()), 0);
    EXPECT_EQ(App().quickView->Text(), QuickViewInitialText());

    RECT placed{};
    GetWindowRect(App().frame, &placed);
    Stop();
    const std::wstring userKey = std::wstring(kAppKey) + L"\\SuzukiH";
    EXPECT_EQ(registry.Number(userKey, L"MeetingView"), 4u);
    EXPECT_EQ(registry.Number(userKey, L"ReportView"), 4u);
    EXPECT_EQ(registry.Number(userKey, L"x"), static_cast<DWORD>(placed.left));
    EXPECT_EQ(registry.Number(userKey, L"w"), static_cast<DWORD>(placed.right - placed.left));
    EXPECT_GE(registry.Number(userKey, L"ComboBandcx"), 108u);
    EXPECT_EQ(registry.Text(kAppKey, L"LastUsername"), ui::Wide(kSuzuki));
    EXPECT_EQ(registry.Text(kAppKey, L"UserPath"), L"SuzukiH\\");

    // The next start comes back to the second user in the list view.
    Start();
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ViewOf(MeetingList()), LVS_LIST);
    EXPECT_EQ(RowCount(MeetingList()), second.MeetingCount());
}

TEST_F(Win32FrameTest, StartsWithDamagedFiles) {
    std::string damaged = test::ReadFileBytes(Output() / "meeting.dat");
    damaged.resize(damaged.size() / 2);
    test::WriteFileBytes(Output() / "meeting.dat", damaged);
    test::WriteFileBytes(Output() / "link.dat", std::string(100, '\xff'));
    Start();
    Click(MeetingList(), 0);
    EXPECT_NE(App().frame, nullptr);
}

// The File menu's exports: each writes its file (or the archive's folder) where the chooser
// answered and closes with the counts; a cancelled chooser writes nothing.
TEST_F(Win32FrameTest, EachExportWritesItsFileAndTellsTheCounts) {
    std::optional<fs::path> answer;
    choosers = ui::Choosers{[&](HWND) { return answer; }, [](HWND, fs::path&) { return false; },
                            [](HWND, const fs::path&) { return ui::ExploreResult::kShown; },
                            [&](HWND, const std::wstring&, const wchar_t*) { return answer; }};
    Start();  // the archive opens in the viewer: none is configured, so nothing is started
    const struct {
        int command;
        const char* target;     // under the test folder
        const char* written;    // the file to look at, under the test folder
        std::string_view head;  // its first bytes
    } cases[] = {
        {ui::kCmdExportCalendar, "minutes.ics", "minutes.ics", "BEGIN:VCALENDAR\r\n"},
        {ui::kCmdExportContacts, "people.vcf", "people.vcf", "BEGIN:VCARD\r\n"},
        {ui::kCmdExportDatabase, "store.sqlite", "store.sqlite", std::string_view("SQLite format 3\0", 16)},
        {ui::kCmdExportArchive, "archive", "archive/index.html", "<!DOCTYPE html>"},
    };
    const std::string done = ui::Narrow(ui::LoadText(GetModuleHandleW(nullptr), ui::kIdsExportDone));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        ui.messages.clear();
        if (c.command == ui::kCmdExportArchive) fs::create_directories(dir / c.target);
        answer = dir / c.target;
        Command(c.command);
        EXPECT_EQ(test::ReadFileBytes(dir / c.written).substr(0, c.head.size()), c.head);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text.substr(0, done.size()), done);
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::kInformation);
        EXPECT_TRUE(IsWindowEnabled(App().frame));
    }
    answer.reset();
    ui.messages.clear();
    Command(ui::kCmdExportCalendar);
    EXPECT_TRUE(ui.messages.empty());
}

// Without Palm Desktop the frame still comes up, empty.
using Win32FrameWithoutPalmTest = DesktopTest;
TEST_F(Win32FrameWithoutPalmTest, StartsEmpty) {
    Start();
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(RowCount(MeetingList()), 0);
    EXPECT_EQ(RowCount(ReportList()), 0);
    EXPECT_EQ(App().quickView->Text(), QuickViewInitialText());
}

}  // namespace
}  // namespace tavolex
