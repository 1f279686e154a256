// The desktop program started in this process on a copy of the sample Palm folder with the
// stand-in UserData.dll: the questions' default button, which commands are greyed, the layout,
// the report list's own operations, the user change, and the Preferences and Create Report
// dialogs worked from inside their modal loops with the messages their controls send.
// HKEY_CURRENT_USER is redirected into a key of our own for each test; every message box but the
// one answered with Enter goes to a recording interaction. The dialogs' reports are compared with
// the command-line program's reports in this process. This program runs with Wine's MAPI32.DLL
// disabled, so the frame starts without a mail system.
#include "bench/large_store.h"
#include "cli/cli_session.h"
#include "cli/commands_report.h"
#include "export/exporters.h"
#include "meeting_store/meeting_database.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "resources/control_ids.h"
#include "resources/string_ids.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/loaded_user.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/win32/win32_test_support.h"
#include "ui/application.h"
#include "ui/choosers.h"
#include "ui/export_runner.h"
#include "ui/frame_commands.h"
#include "ui/preferences_dialog.h"
#include "ui/todo_list_window.h"
#include "ui/window_services.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <optional>
#include <tuple>
#include <string_view>

namespace tavolex {
namespace {
namespace fs = std::filesystem;

using test::kAppKey;
using test::kCore;
constexpr char kTanaka[] = "\x93\x63\x92\x86 \x91\xbe\x98\x59";  // 田中 太郎
constexpr char kSuzuki[] = "\x97\xe9\x96\xd8 \x89\xd4\x8e\x71";  // 鈴木 花子

std::string ListText(HWND list, int row, int column) {
    wchar_t buffer[261] = {};
    ListView_GetItemText(list, row, column, buffer, 261);
    return ui::Narrow(buffer);
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The texts of a list's column, from the first row down.
std::vector<std::string> Column(HWND list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(list); ++row) texts.push_back(ListText(list, row, column));
    return texts;
}

int RowOf(HWND list, std::string_view name) {
    const std::vector<std::string> names = Column(list, 0);
    const auto found = std::ranges::find(names, name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

const std::wstring kUserKey = std::wstring(kAppKey) + L"\\TanakaT";

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// What DuringModal runs, on the first visible window of its class.
struct ModalScript {
    const wchar_t* windowClass = nullptr;
    std::function<void(HWND)> script;
    bool ran = false;
    HWND window = nullptr;
    DWORD ranAt = 0;
};
ModalScript modalScript;

class Win32DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(registry.Redirect(L"Software\\Brenmark\\TavolexUiTests"));
        instance_ = GetModuleHandleW(nullptr);
        ASSERT_TRUE(ui::RegisterWindowClasses(instance_));
        // Palm Desktop with the two sample users, the first one chosen, and two reports.
        // The sample folder of the source tree, through Wine's drive for the root folder.
        fs::copy(fs::path(L"Z:" + fs::path(TAVOLEX_SAMPLE_PALM_DIR).wstring()), dir / "palm", fs::copy_options::recursive);
        fs::create_directories(dir / "hotsync");
        fs::copy_file(test::ProgramFolder() / "UserData.dll", dir / "hotsync" / "UserData.dll");
        test::WriteFileBytes(dir / "hotsync" / "UserData.txt", std::string("1\t") + kTanaka + "\tTanakaT\n2\t" + kSuzuki + "\tSuzukiH\n");
        registry.SetText(kCore, L"Path", (dir / "palm").wstring());
        registry.SetText(kCore, L"HotSyncPath", (dir / "hotsync" / "HotSync.exe").wstring());
        registry.SetText(kAppKey, L"UserPath", L"TanakaT\\");
        registry.SetText(kAppKey, L"LastUsername", ui::Wide(kTanaka));
        test::WriteFileBytes(dir / "palm" / "TanakaT" / "Tavolex" / "weekly.htm", "<html></html>\r\n");
        test::WriteFileBytes(dir / "palm" / "TanakaT" / "Tavolex" / "minutes.rtf", "{\\rtf1}\r\n");
    }

    void TearDown() override {
        Stop();
        registry.Restore();
    }

    void Start() {
        ui::StartOptions options;
        options.ui = realMessageBoxes ? nullptr : &ui;
        options.programFile = dir / "install" / "tavolex.exe";
        options.choosers = ui::Choosers{.chooseFolder = [this](HWND, const std::wstring& prompt) {
            chooserCalls.push_back(L"folder " + prompt);
            return folderAnswer;
        }};
        options.choosers->chooseSaveFile = [this](auto&&...) { return std::optional<fs::path>(exportTarget); };
        ASSERT_EQ(ui::StartApplication(App(), instance_, SW_SHOWNORMAL, options), 1);
        running_ = true;
    }

    // An export of the running program's stores (or of store) to the frame's choosers' answers, its
    // questions answered by the fake messages; a progress window made on the way is handed to
    // onProgressWindow. Unlike the frame's command, it asks no user and opens no viewer.
    bool Export(int command, HWND owner = nullptr, const MeetingDatabase* store = nullptr) {
        HHOOK hook = SetWindowsHookExW(WH_CBT, ProgressHook, nullptr, GetCurrentThreadId());
        const bool done = ui::RunExportCommand({.instance = GetModuleHandleW(nullptr),
                                                .owner = owner,
                                                .store = store != nullptr ? store : App().meetings.get(),
                                                .book = App().addressBook.get(),
                                                .reports = App().reportWriter.get(),
                                                .reportOptions = [] { return ReportOptions{}; },
                                                .choosers = &App().choosers,
                                                .ui = &ui},
                                               command);
        UnhookWindowsHookEx(hook);
        onProgressWindow = nullptr;
        return done;
    }
    static inline std::function<void(HWND)> onProgressWindow;
    static LRESULT CALLBACK ProgressHook(int code, WPARAM wParam, LPARAM lParam) {
        wchar_t name[64] = {};
        if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64) > 0 &&
            std::wstring_view(name) == L"TavolexExportProgress" && onProgressWindow)
            onProgressWindow(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Stop() {
        if (!running_) return;
        DestroyWindow(App().frame);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
        running_ = false;
    }

    static ui::Application& App() {
        static ui::Application application;
        return application;
    }
    static HWND MeetingList() { return App().meetingList->Window(); }
    static HWND ReportList() { return App().reportList->Window(); }

    static void Command(int id) { SendMessageW(App().frame, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // Files dropped on the window: each name ends in a NUL, and the list in one more.
    static void Drop(HWND window, const std::vector<fs::path>& paths) {
        std::wstring files;
        for (const fs::path& path : paths) files += path.wstring() + L'\0';
        files += L'\0';
        HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
        auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::copy(files.begin(), files.end(), reinterpret_cast<wchar_t*>(header + 1));
        GlobalUnlock(drop);
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }

    // Runs action, which may enter a modal loop (a message box, a dialog, a pop-up menu), and runs
    // script on the first visible window of the class while that loop dispatches the thread timer.
    // A window the script leaves up is cancelled after a while, so a failing test never hangs.
    // False when no such window came up while action ran.
    static bool DuringModal(const wchar_t* windowClass, const std::function<void()>& action, std::function<void(HWND)> script) {
        modalScript = {windowClass, std::move(script)};
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
        action();
        KillTimer(nullptr, timer);
        const bool ran = modalScript.ran;
        modalScript = {};
        return ran;
    }
    // Sends the frame a command that opens a modal dialog and runs script on the dialog.
    static void WithDialog(int command, std::function<void(HWND)> script) {
        ASSERT_TRUE(DuringModal(
            L"#32770", [command] { Command(command); }, std::move(script)))
            << "no dialog came up for command " << command;
    }
    // A button's click as the dialog hears it.
    static void Press(HWND dialog, int id) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    // A list's notification to its parent (a click on a row or a column's header, a double click).
    static void Notify(HWND list, int code, int row, int column = 0) {
        NMITEMACTIVATE note{};
        note.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), static_cast<UINT>(code)};
        note.iItem = row;
        note.iSubItem = column;
        SendMessageW(GetParent(list), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
    }
    // A mouse click on a row as the list reports it to its pane.
    static void Click(HWND list, int row) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        if (row >= 0) ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        Notify(list, NM_CLICK, row);
    }
    static void ChooseUser(int row) {
        SendMessageW(App().userBox, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(App().frame, WM_COMMAND, MAKEWPARAM(ui::kUserBoxId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(App().userBox));
    }
    // The frame with the templates installed, the report clock fixed and the first meeting chosen.
    void StartWithTemplates() {
        fs::create_directories(dir / "install");
        fs::copy(fs::path(L"Z:" + fs::path(TAVOLEX_TEMPLATE_DIR).wstring()), dir / "install" / "templates", fs::copy_options::recursive);
        Start();
        App().reportFolder->SetClock(test::FixedReportTime);
        App().reportWriter->SetViewer([](const fs::path&) {});  // that each report is opened: ReportGeneratorTest
        Click(MeetingList(), 0);
    }

    std::wstring UserText(const wchar_t* name) const { return registry.Text(kUserKey, name); }
    fs::path Output() const { return App().settings->outputFolder; }

    std::optional<fs::path> folderAnswer;  // the folder chooser's answer
    fs::path exportTarget;                 // the save-file chooser's
    std::vector<std::wstring> chooserCalls;

    test::RedirectedRegistry registry;
    test::RecordingUserInteraction ui;
    bool realMessageBoxes = false;  // true: the frame's own message boxes instead of ui
    test::TempDir dir;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (!modalScript.script) return;
        if (!modalScript.ran) {
            const auto findWindowOfClass = [](HWND window, LPARAM) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring_view(name) != modalScript.windowClass || !IsWindowVisible(window)) return TRUE;
                modalScript.window = window;
                return FALSE;
            };
            EnumThreadWindows(GetCurrentThreadId(), findWindowOfClass, 0);
            if (modalScript.window == nullptr) return;  // not up yet: the timer fires again
            modalScript.ran = true;
            modalScript.script(modalScript.window);
            modalScript.ranAt = GetTickCount();
        } else if (modalScript.ranAt != 0 && IsWindow(modalScript.window) && GetTickCount() - modalScript.ranAt > 3000) {
            PostMessageW(modalScript.window, WM_COMMAND, IDCANCEL, 0);
            EndMenu();
        }
    }

    HINSTANCE instance_ = nullptr;
    bool running_ = false;
};

// The frame's question and the platform's own (which the command-line program's Windows build uses):
// Yes and No, the information icon and the focus on No, which Enter, as the keyboard reaches it,
// presses.
TEST_F(Win32DesktopTest, EnterAtAQuestionAnswersNo) {
    realMessageBoxes = true;
    Start();
    Click(ReportList(), RowOf(ReportList(), "weekly"));
    bool answer = true;
    const std::pair<std::function<void()>, std::wstring> asks[] = {
        {[] { Command(ui::kCmdDelete); }, L"Deleting..."},
        {[&] { answer = platform::SystemUserInteraction().AskYesNo("q", "Tavolex", platform::kConfirmation); }, L"Tavolex"}};
    for (const auto& [ask, caption] : asks) {
        std::tuple<std::wstring, bool, bool, int> seen;
        ASSERT_TRUE(DuringModal(L"#32770", ask, [&seen](HWND box) {
            constexpr int kIconControl = 0x440;  // the message box's icon
            seen = {
                WindowText(box), GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr,
                SendDlgItemMessageW(box, kIconControl, STM_GETICON, 0, 0) == reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_INFORMATION)),
                GetDlgCtrlID(GetFocus())};
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0);
        }));
        EXPECT_EQ(seen, std::make_tuple(caption, true, true, IDNO));
    }
    EXPECT_TRUE(fs::exists(Output() / "weekly.htm"));
    EXPECT_FALSE(answer);
}

// The export runner's questions and closing messages: the user's own index.html is asked about
// ("no" keeps it; which files are asked about is tested on Linux); the calendar counts the
// meetings it left out for a date it lacks; Cancel in the progress window leaves no file, not even
// a temporary one, and the frame enabled.
TEST_F(Win32DesktopTest, ExportsAskBeforeReplacingSayWhatTheyLeftOutAndCancelCleanly) {
    Start();
    folderAnswer = dir / "archive";
    test::WriteFileBytes(dir / "archive" / "index.html", "mine");
    ui.answer = false;
    ASSERT_TRUE(Export(ui::kCmdExportArchive));
    EXPECT_EQ(ui.questions.size(), 1U);  // its text and style: ReportFilesTest.EveryQuestionDefaultsToNo
    EXPECT_EQ(test::ReadFileBytes(dir / "archive" / "index.html"), "mine");

    const test::LoadedUser undated(
        {.meetings = {{.title = "a", .date = test::HandheldDay(2027, 2, 30)}, {.title = "b", .date = test::HandheldDay(2027, 3, 1)}}});
    exportTarget = dir / "minutes.ics";
    ui.messages.clear();
    ASSERT_TRUE(Export(ui::kCmdExportCalendar, nullptr, &undated.store));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].text.find(platform::Utf8ToCp932("\nカレンダーにない日付のミーティング 1 件")), std::string::npos)
        << ui.messages[0].text;

    exportTarget = dir / "minutes.sqlite";
    ui.messages.clear();
    onProgressWindow = [](HWND progress) { PostMessageW(progress, WM_COMMAND, IDCANCEL, 0); };
    ASSERT_TRUE(Export(ui::kCmdExportDatabase, App().frame));
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_FALSE(entry.path().filename().wstring().starts_with(L"minutes.sqlite")) << entry.path();
    }
    EXPECT_TRUE(IsWindowEnabled(App().frame));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, platform::Utf8ToCp932("エクスポートを中止しました。"));
}

// Where the Palm folder has two users, an export first asks whether to write both, Enter keeping
// to the current user and Cancel ending it; both are written as the command line's --all-users
// writes them: each user's vault in a folder of its own (that each is the user's vault alone, byte
// for byte, and the users' index over them: CliTest.SeveralUsersExportedTogether on Linux).
TEST_F(Win32DesktopTest, AnExportOfEveryUserIsAskedForAndWritesEachAsAlone) {
    Start();
    folderAnswer = dir / "all";
    ui.threeWay = platform::Answer::kCancel;
    Command(ui::kCmdExportArchive + 5);
    ASSERT_EQ(ui.questions.size(), 1U);
    EXPECT_EQ(ui.questions[0].style, platform::kConfirmation);
    EXPECT_NE(ui.questions[0].text.find(std::string(" 2 ")), std::string::npos) << ui.questions[0].text;
    EXPECT_NE(ui.questions[0].text.find(std::string("(") + kTanaka + ")"), std::string::npos);
    EXPECT_TRUE(chooserCalls.empty());

    ui.threeWay = platform::Answer::kYes;
    Command(ui::kCmdExportArchive + 5);  // the Markdown vault
    EXPECT_TRUE(fs::exists(dir / "all" / "TanakaT" / "index.md"));
    EXPECT_TRUE(fs::exists(dir / "all" / "SuzukiH" / L"2026-11-05 \u5951\u7d04\u5185\u5bb9\u306e\u78ba\u8a8d.md"));

    // A file of both users, and of the current user alone when the answer is no.
    const auto events = [](const fs::path& file) { return std::ranges::count(test::Lines(test::ReadFileBytes(file)), "BEGIN:VEVENT\r"); };
    exportTarget = dir / "both.ics";
    Command(ui::kCmdExportCalendar);
    EXPECT_EQ(events(exportTarget), 15);
    ui.threeWay = platform::Answer::kNo;
    exportTarget = dir / "tanaka.ics";
    Command(ui::kCmdExportCalendar);
    EXPECT_EQ(events(exportTarget), 12);
    EXPECT_EQ(ui.questions.size(), 4U);
}

// The workbook from the File menu, of the current user and of both, with the workbook the
// exporter's own job writes of the current user (as the command line does) beside them in the
// folder TAVOLEX_DESKTOP_XLSX names, for openpyxl to compare after this test.
TEST_F(Win32DesktopTest, TheWorkbookFromTheMenuIsTheCommandLinesOfOneUserOrOfBoth) {
    Start();
    const char* keep = std::getenv("TAVOLEX_DESKTOP_XLSX");
    const fs::path out = keep != nullptr ? fs::path(L"Z:" + fs::path(keep).wstring()) : dir / "xlsx";
    fs::create_directories(out);
    const int command = ui::kCmdExportArchive + 6;  // the workbook, as openpyxl finds
    for (const auto& [answer, name] : {std::pair{platform::Answer::kNo, L"desktop.xlsx"}, {platform::Answer::kYes, L"both.xlsx"}}) {
        ui.threeWay = answer;
        exportTarget = out / name;
        Command(command);
        ASSERT_TRUE(fs::exists(exportTarget)) << exportTarget;
    }
    ASSERT_EQ(ui.messages.size(), 2U);
    EXPECT_NE(ui.messages[0].text.find(" 12 "), std::string::npos) << ui.messages[0].text;  // the meetings written

    ExportText text;
    ExportSummary summary;
    (void)FindExporter("xlsx")->job({.store = App().meetings.get(),
                                     .book = App().addressBook.get(),
                                     .meetings = AllMeetings(*App().meetings),
                                     .target = out / "alone.xlsx",
                                     .now = std::time(nullptr)},
                                    text, summary);
    EXPECT_TRUE(summary.Ok()) << summary.error;
}

// The reload request another program posts during an export waits for the export's end: the
// archive is whole (the same as one made undisturbed), and the request is carried out after it.
TEST_F(Win32DesktopTest, AReloadRequestDuringAnExportWaitsForItsEnd) {
    Start();
    folderAnswer = dir / "calm";
    ASSERT_TRUE(Export(ui::kCmdExportArchive, App().frame));
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    folderAnswer = dir / "disturbed";
    onProgressWindow = [](HWND) { PostMessageW(App().frame, WM_USER, 0, 0); };
    ASSERT_TRUE(Export(ui::kCmdExportArchive, App().frame));
    EXPECT_EQ(test::ReadFileBytes(dir / "disturbed" / "index.html"), test::ReadFileBytes(dir / "calm" / "index.html"));
    ASSERT_TRUE(PeekMessageW(&message, App().frame, WM_USER, WM_USER, PM_REMOVE));  // held, then posted again
    const MeetingDatabase* before = App().meetings.get();
    DispatchMessageW(&message);
    EXPECT_EQ(App().meetings.get(), before);
    EXPECT_GT(App().meetings->MeetingCount(), 0);
}

TEST_F(Win32DesktopTest, CommandsWithoutTheirSelectionAreGreyedAndExplainThemselves) {
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
    const std::pair<int, std::string_view> explained[] = {
        {ui::kCmdOpenReport, "No report has been selected.\n\nPlease select a report to open in the right 'Report' window and try again."},
        {ui::kCmdDelete, "Only reports can be deleted."},
        {ui::kCmdCreateReport, "No meeting has been selected to report on."},
    };
    for (const auto& [command, start] : explained) {
        ui.messages.clear();
        Command(command);
        ASSERT_EQ(ui.messages.size(), 1u) << command;
        EXPECT_EQ(ui.messages[0].text.substr(0, start.size()), start);
    }
}

TEST_F(Win32DesktopTest, ToDoListSortsByAHeaderAndADoubleClickSelectsTheMeetingAndTheToDo) {
    Start();
    Command(IDM_TODO_LIST);
    HWND window = FindWindowW(ui::kToDoListClass, nullptr);
    ASSERT_NE(window, nullptr);
    HWND list = GetDlgItem(window, ui::kToDoListControlId);
    constexpr int kToDos = 11;  // the first sample user's
    ASSERT_EQ(RowCount(list), kToDos);
    const std::vector<std::string> done = Column(list, 2);
    EXPECT_TRUE(std::is_partitioned(done.begin(), done.end(), [](const std::string& d) { return d.empty(); })) << "open ones first";
    const auto byNumber = [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); };
    for (const bool up : {true, false}) {  // a second click: the other way
        Notify(list, LVN_COLUMNCLICK, -1, 1);
        const std::vector<std::string> p = Column(list, 1);
        EXPECT_TRUE(up ? std::is_sorted(p.begin(), p.end(), byNumber) : std::is_sorted(p.rbegin(), p.rend(), byNumber));
    }

    const int row = RowCount(list) - 1;
    Notify(list, NM_DBLCLK, row);
    const int meetingRow = App().meetingList->SelectedRow();
    const int itemRow = App().itemList->SelectedRow();
    ASSERT_GE(meetingRow, 0);
    ASSERT_GE(itemRow, 0);
    const std::string meeting = ListText(list, row, 4);
    const std::string title = ListText(MeetingList(), meetingRow, 0);
    EXPECT_EQ(meeting.substr(meeting.size() - title.size()), title);
    EXPECT_EQ(ListText(App().itemList->Window(), itemRow, 0), ListText(list, row, 3));
    EXPECT_NE(App().quickView->Text().find(ListText(list, row, 3)), std::string::npos);

    // The command again brings the same window forward; once it is closed, the command makes a new
    // one, filled.
    Command(IDM_TODO_LIST);
    EXPECT_EQ(App().toDoList, window);
    DestroyWindow(window);
    EXPECT_EQ(App().toDoList, nullptr);
    Command(IDM_TODO_LIST);
    ASSERT_NE(App().toDoList, nullptr);
    EXPECT_EQ(RowCount(GetDlgItem(App().toDoList, ui::kToDoListControlId)), kToDos);
}

// The manifest the desktop program and this test carry: common controls 6 are the ones loaded, and
// tavolex.exe holds the manifest (per-monitor awareness shows in the layout at each scale).
TEST_F(Win32DesktopTest, CommonControlsSixComeFromTheManifest) {
    Start();
    // The side-by-side assembly's copy (Wine's says 5.81 when asked its version, so the path tells).
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    EXPECT_NE(std::wstring(CharLowerW(path)).find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << path;

    HMODULE program = LoadLibraryExW((L"Z:" + fs::path(TAVOLEX_DESKTOP_EXE).wstring()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))), SizeofResource(program, found));
    FreeLibrary(program);
    for (const char* part : {"Microsoft.Windows.Common-Controls", "PerMonitorV2", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

// A client area of 600 x 400 at 96 pixels per inch, times the display's scale: this program runs at
// 96 and, in prefixes of their own, at 144 and 192 (TAVOLEX_EXPECT_DPI). The panes share the width,
// 20 pixels apart, the lists half their pane's height less the bar's.
TEST_F(Win32DesktopTest, LayoutFollowsTheDisplayScale) {
    const char* expected = std::getenv("TAVOLEX_EXPECT_DPI");
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, expected != nullptr ? std::atoi(expected) : 96) << "the prefix's LogPixels";
    Start();
    const auto at = [dpi](int figure) { return MulDiv(figure, dpi, 96); };
    RECT client{0, 0, at(600), at(400)};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongW(App().frame, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongW(App().frame, GWL_EXSTYLE)));
    SetWindowPos(App().frame, nullptr, 0, 0, client.right - client.left, client.bottom - client.top, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(App().frame, &client);
    ASSERT_EQ(std::make_pair(client.right, client.bottom), (std::make_pair<LONG, LONG>(at(600), at(400))));
    // A bar height the rebar no longer has gives way to the one it reports as it is placed.
    App().barHeight = 45;
    SendMessageW(App().frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    const int b = App().barHeight;
    EXPECT_NE(b, 45);
    const std::pair<HWND, std::vector<LONG>> placed[] = {
        // each window's left, top, right and bottom in its parent
        {App().meetingPane, {0, b, at(280), b + at(400)}},
        {App().reportPane, {at(300), b, at(900), b + at(400)}},
        {MeetingList(), {0, 0, at(280), at(200)}},
        {App().itemList->Window(), {0, at(200), at(280), at(400) - b}},
        {ReportList(), {0, 0, at(300), at(200)}},
        {App().quickView->Window(), {0, at(200), at(300), at(400) - b}},
        {App().rebar, {0, 0, at(600), -1}},  // its own height
    };
    for (const auto& [window, expected] : placed) {
        RECT rect{};
        GetWindowRect(window, &rect);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        const std::vector<LONG> seen{rect.left, rect.top, rect.right, expected[3] < 0 ? -1 : rect.bottom};
        EXPECT_EQ(seen, expected) << "control " << GetDlgCtrlID(window) << " at " << dpi << " dpi";
    }
    App().itemList->SetView(1);  // details, where the column has its width
    SendMessageW(App().frame, WM_EXITSIZEMOVE, 0, 0);
    RECT itemClient{};
    GetClientRect(App().itemList->Window(), &itemClient);
    int imageWidth = 0, imageHeight = 0, iconWidth = 0, iconHeight = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(App().toolBar, TB_GETIMAGELIST, 0, 0)), &imageWidth, &imageHeight);
    ImageList_GetIconSize(ListView_GetImageList(MeetingList(), LVSIL_SMALL), &iconWidth, &iconHeight);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(MeetingList(), WM_GETFONT, 0, 0)), sizeof font, &font);
    const auto iconSide = [](WPARAM which) {  // the mask's width, in colour or not
        ICONINFO info{};
        BITMAP bitmap{};
        if (GetIconInfo(reinterpret_cast<HICON>(SendMessageW(App().frame, WM_GETICON, which, 0)), &info))
            GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return static_cast<int>(bitmap.bmWidth);
    };
    const std::tuple<const char*, int, int> figures[] = {
        // the figure, as seen and at 96 pixels per inch (scaled)
        {"item column margin", itemClient.right - ListView_GetColumnWidth(App().itemList->Window(), 0), 20},
        {"tool-bar image width", imageWidth, 16},
        {"tool-bar image height", imageHeight, 16},
        {"small icon size", iconWidth, 16},
        {"list font height", -font.lfHeight, 13},
        {"title-bar icon", iconSide(ICON_SMALL), 16},
        {"task-bar icon", iconSide(ICON_BIG), 32},
    };
    for (const auto& [figure, seen, at96] : figures) EXPECT_NEAR(seen, at(at96), 1) << figure << " at " << dpi << " dpi";
    EXPECT_GE(HIWORD(SendMessageW(App().toolBar, TB_GETBUTTONSIZE, 0, 0)), at(16)) << "the buttons hold their images";
    // In the details view the date column holds its dates whole.
    App().meetingList->SetView(1);
    SendMessageW(App().frame, WM_EXITSIZEMOVE, 0, 0);
    const std::wstring date = ui::Wide(App().meetingList->RowText(0, 2));
    ASSERT_FALSE(date.empty());
    EXPECT_GT(ListView_GetColumnWidth(MeetingList(), 2), ListView_GetStringWidth(MeetingList(), date.c_str())) << dpi << " dpi";
}

// The find box: half-width kana find the meetings the command line's search finds, the count
// stands beside the box, the selection stays while its meeting is shown, and Esc brings every
// meeting back; Ctrl+F's command focuses the box and Tab goes round it and the panes.
TEST_F(Win32DesktopTest, FindBoxFiltersAsSearchDoesAndTheKeyboardReachesEverything) {
    Start();
    const int all = RowCount(MeetingList());
    const std::string query = "\xef\xbe\x9a\xef\xbe\x8b\xef\xbe\x9e\xef\xbd\xad\xef\xbd\xb0";  // ﾚﾋﾞｭｰ
    // The meetings `tavolex search ﾚﾋﾞｭｰ` finds in the sample folder.
    const std::vector<std::string> expected{platform::Utf8ToCp932("予算レビュー"), platform::Utf8ToCp932("設計レビュー")};
    const int kept = RowOf(MeetingList(), expected[1]);
    Click(MeetingList(), kept);

    Command(IDM_FIND);
    EXPECT_EQ(GetFocus(), App().findBox);
    SetWindowTextW(App().findBox, ui::Wide(platform::Utf8ToCp932(query)).c_str());
    EXPECT_EQ(Column(MeetingList(), 0), expected);
    EXPECT_EQ(ListText(MeetingList(), ListView_GetNextItem(MeetingList(), -1, LVNI_SELECTED), 0), expected[1]);
    EXPECT_EQ(WindowText(App().findCount), std::to_wstring(expected.size()) + L" \x4EF6");  // 件
    EXPECT_TRUE(IsWindowVisible(App().findCount));

    // Tab, or Shift+Tab, from a window to the next: from, with Shift, to.
    const std::tuple<HWND, bool, HWND> tabs[] = {{App().findBox, false, MeetingList()},
                                                 {MeetingList(), false, App().itemList->Window()},
                                                 {ReportList(), false, App().quickView->Window()},
                                                 {App().quickView->Window(), false, App().findBox},
                                                 {App().findBox, true, App().quickView->Window()},
                                                 {MeetingList(), true, App().findBox}};
    const auto shift = [](bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    for (const auto& [from, back, to] : tabs) {
        shift(back);
        EXPECT_TRUE(ui::MoveFocusOnTab(App(), MSG{from, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}}));
        EXPECT_EQ(GetFocus(), to) << GetDlgCtrlID(from) << (back ? " back" : "");
    }
    shift(false);

    SendMessageW(App().findBox, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(GetWindowTextLengthW(App().findBox), 0);
    EXPECT_EQ(RowCount(MeetingList()), all);

    // Every item of the frame's menus, the exporters' included, has an access key of its own
    // within its menu.
    const std::function<void(HMENU)> checkKeys = [&](HMENU menu) {
        std::vector<wchar_t> keys;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            if ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0) continue;
            wchar_t text[128] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            const std::wstring item = text;
            const std::size_t amp = item.find(L"(&");
            ASSERT_NE(amp, std::wstring::npos) << ui::Narrow(item);
            EXPECT_EQ(std::count(keys.begin(), keys.end(), item[amp + 2]), 0) << ui::Narrow(item);
            keys.push_back(item[amp + 2]);
            if (HMENU sub = GetSubMenu(menu, i)) checkKeys(sub);
        }
    };
    checkKeys(GetMenu(App().frame));
}

// The windows take UTF-8 texts whole (the data check's file names, the to-do list's texts, the export
// menu): characters CP932 lacks too, which a way through CP932 would turn into '?'.
TEST(Win32WindowTextTest, Utf8TextKeepsCharactersOutsideCp932) {
    EXPECT_EQ(ui::Utf8ToWide("\xf0\xa0\xae\xb7\xe9\x87\x8e \xf0\x9f\x98\x80"), L"\xD842\xDFB7\x91CE \xD83D\xDE00");  // 𠮷野, an emoji
}

// Help → データの確認… lists the seven files and the address book, the damaged one marked, which
// the start-up has pointed out once.
TEST_F(Win32DesktopTest, CheckDialogListsTheFilesAndTheDamagedOneWasPointedOut) {
    const fs::path notes = dir / "palm" / "TanakaT" / "Tavolex" / "note.dat";
    fs::resize_file(notes, fs::file_size(notes) - 100);
    const auto pointedOut = [this] {
        return std::ranges::count_if(ui.messages, [](const auto& m) { return m.text.find("note.dat") != m.text.npos; });
    };
    Start();
    ASSERT_EQ(pointedOut(), 1);
    std::vector<std::string> rows;  // file, state and what was left aside
    WithDialog(IDM_CHECK_DATA, [&rows](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_CHECK_LIST);
        for (int row = 0; row < RowCount(list); ++row)
            rows.push_back(platform::Cp932ToUtf8(ListText(list, row, 0) + " " + ListText(list, row, 1) + " " + ListText(list, row, 4)));
        Press(dialog, IDOK);
    });
    // What was left aside is said in Japanese: records the header names were not read, items name
    // records that aren't there (the links to lost notes).
    EXPECT_EQ(rows, (std::vector<std::string>{"meeting.dat 正常 ", "link.dat 破損 2 件の項目がないレコードを指しています",
                                              "note.dat 破損 ヘッダーにある 2 件のレコードを読めませんでした", "todo.dat 正常 ",
                                              "agenda.dat 正常 ", "sketch.dat 正常 ", "attendee.dat 正常 ", "address.dat 正常 "}));
    ChooseUser(1);  // to the other user and back: the same folder is not pointed out again
    ChooseUser(0);
    EXPECT_EQ(pointedOut(), 1);
}

TEST_F(Win32DesktopTest, ReportsAreDeletedAndImportedFromTheList) {
    Start();
    HWND list = ReportList();

    // The Delete key asks first; a "no" keeps the file.
    NMLVKEYDOWN key{{list, 3000, static_cast<UINT>(LVN_KEYDOWN)}, VK_DELETE, 0};
    for (bool answer : {false, true}) {
        Click(list, RowOf(list, "weekly"));
        ui.answer = answer;
        SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
        EXPECT_EQ(fs::exists(Output() / "weekly.htm"), !answer);
    }
    EXPECT_EQ(RowCount(list), 1);

    // A dropped file is imported (only the first of several).
    const std::vector<fs::path> files{dir / "elsewhere" / "dropped.htm", dir / "elsewhere" / "second.htm"};
    for (const fs::path& file : files) test::WriteFileBytes(file, "<html></html>");
    Drop(App().reportPane, files);
    EXPECT_TRUE(fs::exists(Output() / "dropped.htm"));
    EXPECT_FALSE(fs::exists(Output() / "second.htm"));
    EXPECT_NE(RowOf(list, "dropped"), -1);
    EXPECT_EQ(App().reportList->SelectedRow(), -1);  // refilled with nothing selected

    // A report removed behind the list's back is never taken for the row's neighbour.
    test::WriteFileBytes(Output() / "other.htm", "<html></html>");
    App().reportList->Refill(-1);
    Click(list, RowOf(list, "dropped"));
    fs::remove(Output() / "dropped.htm");
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
    EXPECT_TRUE(fs::exists(Output() / "other.htm"));
    EXPECT_TRUE(fs::exists(Output() / "minutes.rtf"));
}

TEST_F(Win32DesktopTest, UserChangeRefillsAndShutdownSettingsComeBack) {
    Start();
    constexpr int kSecondUsersMeetings = 3;
    ChooseUser(1);
    Command(ui::kCmdList);
    ASSERT_EQ(RowCount(MeetingList()), kSecondUsersMeetings);

    RECT placed{};
    GetWindowRect(App().frame, &placed);
    Stop();
    const std::wstring userKey = std::wstring(kAppKey) + L"\\SuzukiH";
    const std::pair<const wchar_t*, LONG> numbers[] = {
        {L"MeetingView", 4}, {L"ReportView", 4}, {L"x", placed.left}, {L"w", placed.right - placed.left}};
    for (const auto& [name, number] : numbers) EXPECT_EQ(registry.Number(userKey, name), static_cast<DWORD>(number)) << ui::Narrow(name);
    EXPECT_GE(registry.Number(userKey, L"ComboBandcx"), 108u);
    EXPECT_EQ(registry.Text(kAppKey, L"LastUsername"), ui::Wide(kSuzuki));
    EXPECT_EQ(registry.Text(kAppKey, L"UserPath"), L"SuzukiH\\");

    // The next start comes back to the second user in the list view.
    Start();
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetWindowLongPtrW(MeetingList(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_EQ(RowCount(MeetingList()), kSecondUsersMeetings);
}

// The lists are owner-data controls that hold only a count and ask for each row (their sort, find
// and rows are tested on Linux): with more rows than the window shows, a header click keeps the
// selected meeting selected and in sight, the type-ahead find asks the list's own find, and every
// view reaches the last row.
TEST_F(Win32DesktopTest, ALargeStoreInTheOwnerDataLists) {
    bench::WriteLargeStore(dir / "palm", false, 300);
    std::ofstream(dir / "hotsync" / "UserData.txt", std::ios::app | std::ios::binary) << "3\tLarge\tLarge\n";  // a third user
    Start();
    ChooseUser(2);
    Command(ui::kCmdDetails);
    const auto title = [](int n) { return platform::Utf8ToCp932("定例会議 第" + std::to_string(n)); };
    const auto selectedTitle = [] { return ListText(MeetingList(), ListView_GetNextItem(MeetingList(), -1, LVNI_SELECTED), 0); };
    Click(MeetingList(), 250);
    Notify(MeetingList(), LVN_COLUMNCLICK, -1);
    EXPECT_EQ(ListText(MeetingList(), 0, 0), title(99));  // descending by title
    EXPECT_EQ(selectedTitle(), title(251));
    const int selectedRow = ListView_GetNextItem(MeetingList(), -1, LVNI_SELECTED);
    const int top = ListView_GetTopIndex(MeetingList());
    EXPECT_TRUE(selectedRow >= top && selectedRow < top + ListView_GetCountPerPage(MeetingList())) << selectedRow << " " << top;

    const std::wstring prefix = ui::Wide(title(12));
    LVFINDINFOW partial{};
    partial.flags = LVFI_PARTIAL | LVFI_WRAP;
    partial.psz = prefix.c_str();
    EXPECT_EQ(ListText(MeetingList(), ListView_FindItem(MeetingList(), 200, &partial), 0).substr(0, title(12).size()), title(12));

    for (const int view : {ui::kCmdLargeIcons, ui::kCmdSmallIcons, ui::kCmdList, ui::kCmdDetails}) {
        Command(view);
        ASSERT_EQ(RowCount(MeetingList()), 300) << view;
        EXPECT_TRUE(ListView_EnsureVisible(MeetingList(), 299, FALSE)) << view;
        Click(MeetingList(), 299);
        EXPECT_EQ(App().meetings->MeetingAt(ui::SelectedMeeting(App()))->szTitle, ListText(MeetingList(), 299, 0)) << view;
    }
}

TEST_F(Win32DesktopTest, PreferencesRefuseEmptyPathsAndStoreOnOk) {
    const fs::path reports = dir / "reports";
    test::WriteFileBytes(reports / "only.htm", "<html></html>");
    fs::create_directories(dir / "mine");
    Start();
    const auto paths = [this] { return std::make_tuple(UserText(L"BrowserPath"), UserText(L"OutputPath"), UserText(L"TemplatePath")); };
    const auto stored = paths();
    const auto& [storedBrowser, output, templates] = stored;
    ASSERT_NE(output, L"<missing>");
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
        EXPECT_EQ(WindowText(GetDlgItem(dialog, ui::kPrefOutputEditId)), output);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, ui::kPrefTemplateEditId)), templates);

        // An empty path is refused and the dialog stays, but the viewer choice is stored.
        SendDlgItemMessageW(dialog, ui::kPrefAssociatedRadioId, BM_CLICK, 0, 0);
        SetDlgItemTextW(dialog, ui::kPrefTemplateEditId, L"");
        Press(dialog, IDOK);
        ASSERT_TRUE(IsWindowVisible(dialog));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].caption, ui.messages[0].icon),
                  std::make_tuple(ui::Narrow(ui::LoadText(GetModuleHandleW(nullptr), IDS_PREF_PATHS_REFUSED)), "Tavolex",
                                  platform::MessageIcon::kInformation));

        // Folders: one separator added, none after a root.
        const struct {
            std::optional<fs::path> answer;
            int button, edit;
            const wchar_t* shown;
        } folders[] = {{fs::path(L"C:\\"), ui::kPrefChooseTemplateId, ui::kPrefTemplateEditId, L"C:\\"},
                       {fs::path(L"C:\\reports"), ui::kPrefChooseOutputId, ui::kPrefOutputEditId, L"C:\\reports\\"}};
        for (const auto& folder : folders) {
            folderAnswer = folder.answer;
            Press(dialog, folder.button);
            EXPECT_EQ(WindowText(GetDlgItem(dialog, folder.edit)), folder.shown);
        }

        Press(dialog, IDCANCEL);
    });
    const std::wstring asked = std::wstring(L"folder ") + ui::kChooseFolderPrompt;
    EXPECT_EQ(chooserCalls, (std::vector<std::wstring>{asked, asked}));
    EXPECT_EQ(paths(), stored) << "nothing stored on Cancel";

    // OK stores the fields and refills the report list; the next start reads them back.
    const std::pair<int, std::wstring> fields[] = {{ui::kPrefViewerEditId, L"C:\\Viewer\\view.exe"},
                                                   {ui::kPrefOutputEditId, reports.wstring() + L"\\"},
                                                   {ui::kPrefTemplateEditId, (dir / "mine").wstring() + L"\\"}};
    WithDialog(ui::kCmdPreferences, [&](HWND dialog) {
        for (const auto& [id, text] : fields) SetDlgItemTextW(dialog, id, text.c_str());
        SendDlgItemMessageW(dialog, ui::kPrefViewerRadioId, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(paths(), std::make_tuple(fields[0].second, fields[1].second, fields[2].second));
    EXPECT_EQ(registry.Number(kUserKey, L"AutoView"), 2u);
    EXPECT_EQ(RowCount(ReportList()), 1);
    EXPECT_EQ(App().reportList->SelectedRow(), -1);
}

const std::string kMinutesTemplate = "\x8b\x63\x8e\x96\x98\x5e.rtf";  // 議事録.rtf
const std::string kAgenda = "\x8b\x63\x91\xe8";                       // 議題

TEST_F(Win32DesktopTest, ReportsFromTheDialogAreTheCommandLineReports) {
    StartWithTemplates();
    const struct {
        int list;  // the drop-down list to choose item from; 0, which no control of the dialog has: none
        std::string item;
        const char* name;
        int button;
        const char* kind;
        std::string extension;
    } cases[] = {
        {IDC_CREATE_TEMPLATE_LIST, kMinutesTemplate, "dialog", IDC_CREATE_TEMPLATE_REPORT, "executive", ".rtf"},
        {IDC_CREATE_INSTANT_LIST, kAgenda, "agenda", IDC_CREATE_INSTANT_REPORT, "agenda", ".htm"},
        {0, "", "custom", IDC_CREATE_CUSTOM_REPORT, "custom", ".htm"},  // the agenda and to-do boxes cleared
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WithDialog(ui::kCmdCreateReport, [&](HWND dialog) {
            if (c.button == IDC_CREATE_TEMPLATE_REPORT) {
                const Meeting& meeting = *App().meetings->Meetings().at(static_cast<std::size_t>(App().currentMeeting));
                EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CREATE_NAME)), ui::Wide(meeting.szTitle));
            }
            if (HWND list = GetDlgItem(dialog, c.list)) {  // the item chosen as the user would choose it
                const LRESULT index =
                    SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(ui::Wide(c.item).c_str()));
                ASSERT_NE(index, CB_ERR) << c.item;
                SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(c.list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            }
            if (c.button == IDC_CREATE_CUSTOM_REPORT) {
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CREATE_SECTION2), BST_CHECKED);
                for (int box : {IDC_CREATE_SECTION2, IDC_CREATE_SECTION3}) {
                    CheckDlgButton(dialog, box, BST_UNCHECKED);
                    Press(dialog, box);
                }
                EXPECT_EQ(registry.Number(kUserKey, L"rAgenda"), 0u);  // stored as clicked
            }
            SetDlgItemTextW(dialog, IDC_CREATE_NAME, ui::Wide(c.name).c_str());
            Press(dialog, c.button);
            EXPECT_FALSE(IsWindowVisible(dialog));
        });
        // The command-line program's report of the same meeting in this process, with the same
        // settings (the redirected registry) and clock.
        cli::CliSession session({.yes = true});
        ASSERT_TRUE(session.OpenSettings() && session.FindUsers() && session.LoadUser());
        session.Report().SetClock(test::FixedReportTime);
        const std::string templateName = c.list == IDC_CREATE_TEMPLATE_LIST ? platform::Cp932ToUtf8(c.item) : "";
        std::ostringstream out;
        const cli::ReportJob job{.meetings = {App().currentMeeting}, .templateName = templateName, .kind = c.kind, .name = "cli"};
        ASSERT_EQ(cli::WriteReports(session, job, out), 0);
        EXPECT_EQ(test::ReadFileBytes(Output() / (c.name + c.extension)), test::ReadFileBytes(Output() / ("cli" + c.extension)));
    }
    EXPECT_EQ(registry.Text(kUserKey, L"LastTemplate"), ui::Wide(kMinutesTemplate));
    EXPECT_EQ(registry.Text(kUserKey, L"LastReport"), ui::Wide(kAgenda));
    EXPECT_EQ(registry.Number(kUserKey, L"rToDo"), 0u);
    EXPECT_EQ(registry.Number(kUserKey, L"rNote"), 1u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_NE(RowOf(ReportList(), "custom"), -1);
}

// A PC without Palm Desktop: the user chooses a copied Palm folder (a Palm Desktop folder, a user's
// folder or a data folder), the choice is kept for the next start, and the reports go under Documents.
TEST_F(Win32DesktopTest, WithoutPalmDesktopTheUsersComeFromAChosenFolder) {
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\U.S. Robotics"), 0);
    registry.SetText(kAppKey, L"LastUsername", L"TanakaT");
    registry.SetNumber(kAppKey, L"Setup", 1);  // the conduit waits for HotSync Manager, without a word
    const std::string explanation = ui::Narrow(ui::LoadText(GetModuleHandleW(nullptr), IDS_NO_PALM_DESKTOP));
    const auto users = [] {
        std::vector<std::string> names;
        for (const auto& entry : App().users->Entries()) names.push_back(entry->name);
        return names;
    };
    // The Documents folder of this test's own, not the prefix's, which Wine links to the real home.
    fs::create_directories(dir / "Documents");
    registry.SetText(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", L"Personal",
                     (dir / "Documents").wstring());
    folderAnswer = dir / "palm";
    StartWithTemplates();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, explanation);
    EXPECT_EQ(registry.Number(kAppKey, L"Setup"), 1u);
    EXPECT_EQ(users(), (std::vector<std::string>{"SuzukiH", "TanakaT"}));
    EXPECT_EQ(chooserCalls.at(0), L"folder " + ui::LoadText(GetModuleHandleW(nullptr), IDS_CHOOSE_PALM_FOLDER));
    EXPECT_GT(RowCount(MeetingList()), 0);
    WithDialog(ui::kCmdCreateReport, [](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_FALSE(fs::exists(dir / "Documents" / "Tavolex")) << "made by a report, not by the dialog";
    WithDialog(ui::kCmdCreateReport, [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_CREATE_NAME, L"docs");
        Press(dialog, IDC_CREATE_INSTANT_REPORT);
    });
    EXPECT_TRUE(fs::exists(dir / "Documents" / "Tavolex" / "TanakaT" / "docs.htm"));
    EXPECT_FALSE(fs::exists(dir / "palm" / "TanakaT" / "Tavolex" / "docs.htm"));

    Stop();  // the next start opens the same folder without asking
    Start();
    EXPECT_EQ(std::make_tuple(ui.messages.size(), chooserCalls.size(), users().size()), std::make_tuple(1u, 1u, 2u));
    fs::copy(dir / "palm" / "TanakaT" / "Tavolex", dir / "copy", fs::copy_options::recursive);
    folderAnswer = dir / "palm" / "SuzukiH";  // a user's folder from the menu, a data folder dropped
    Command(ui::kCmdOpenPalmFolder);
    for (const fs::path& chosen : {dir / "palm" / "SuzukiH", dir / "copy"}) {
        if (chosen == dir / "copy") Drop(App().meetingPane, {chosen});
        EXPECT_EQ(users(), std::vector<std::string>{platform::PathToCp932(chosen.filename())});
        EXPECT_GT(RowCount(MeetingList()), 0) << chosen;
    }
    EXPECT_EQ(registry.Text(kAppKey, L"PalmFolder"), (dir / "copy").wstring());

    // Cancelled, the chooser leaves Palm Desktop's message.
    Stop();
    registry.SetText(kAppKey, L"PalmFolder", L"");
    folderAnswer.reset();
    ui.messages.clear();
    Start();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[1].caption), std::make_tuple(explanation, "Error"));
}

}  // namespace
}  // namespace tavolex
