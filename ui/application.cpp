#include "ui/application.h"

#include "resources/control_ids.h"
#include "setup/startup_settings.h"
#include "platform/file_system.h"
#include "report_files/report_viewer.h"
#include "platform/launch.h"
#include "session/user_folders.h"
#include "session/user_stores.h"
#include "platform/win32/message_box_style.h"
#include "session/report_settings.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "base/trace.h"
#include "ui/check_dialog.h"
#include "ui/frame_bars.h"
#include "ui/palm_folder.h"
#include "ui/window_services.h"
#include "views/meeting_rows.h"
#include "views/report_rows.h"
#include "report_files/report_listing.h"
#include "resources/string_ids.h"

#include <ole2.h>

namespace tavolex::ui {

namespace {

constexpr int kFrameMenuId = IDR_FRAME_MENU;
constexpr int kLargeIconId = 107;
constexpr int kSmallIconId = 108;

std::filesystem::path ThisProgramFile() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return std::filesystem::path(path);
}

std::vector<PaneRow> ReportRowsOf(const std::filesystem::path& outputFolder) {
    std::vector<ReportListing> listings;
    for (const ReportEntry& entry : ListReports(outputFolder)) {
        listings.push_back({entry.name, entry.dateText, entry.sizeText,
                            entry.type == ReportType::kRtf ? ReportFileType::kRtf : ReportFileType::kHtml});
    }
    return ReportRows(listings);
}

ReportOptions CurrentReportOptions(Application& app) {
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    ReportOptions options = ReadReportOptions(key, app.settings->outputFolder, app.settings->templateFolder);
    options.makeOutputFolder = app.place.reportFolderMadeOnWrite;
    return options;
}

}  // namespace

void FrameInteraction::ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) {
    const std::wstring wideCaption = Wide(caption);
    MessageBoxW(owner, Wide(text).c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                MB_OK | platform::MessageBoxIconStyle(icon));
}

bool FrameInteraction::AskYesNo(std::string_view text, std::string_view caption, platform::QuestionStyle style) {
    const std::wstring wideCaption = Wide(caption);
    return MessageBoxW(owner, Wide(text).c_str(), caption.empty() ? nullptr : wideCaption.c_str(),
                       platform::QuestionBoxStyle(style)) == IDYES;
}

bool FrameInteraction::AskYesNo(std::string_view text, std::string_view caption) {
    return AskYesNo(text, caption, platform::kConfirmation);
}

platform::Answer FrameInteraction::AskYesNoCancel(std::string_view text, std::string_view caption,
                                                  platform::QuestionStyle style) {
    const std::wstring wideCaption = Wide(caption);
    return platform::AnswerOfButton(MessageBoxW(owner, Wide(text).c_str(),
                                                caption.empty() ? nullptr : wideCaption.c_str(),
                                                platform::YesNoCancelBoxStyle(style)));
}

tavolex::ReportPaths CurrentReportPaths(const Application& app) {
    if (!app.settings) return {};
    return {app.settings->outputFolder, app.settings->templateFolder, app.place.reportFolderMadeOnWrite};
}

bool RegisterWindowClasses(HINSTANCE instance) {
    const std::wstring frameClass = LoadText(instance, IDS_FRAME_CLASS);
    const std::wstring meetingClass = LoadText(instance, IDS_MEETING_PANE_CLASS);
    const std::wstring reportClass = LoadText(instance, IDS_REPORT_PANE_CLASS);

    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.style = CS_HREDRAW | CS_VREDRAW;
    frame.lpfnWndProc = FrameProcedure;
    frame.hInstance = instance;
    frame.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kLargeIconId));
    frame.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kSmallIconId), IMAGE_ICON, 16, 16, 0));
    frame.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
    frame.lpszMenuName = MAKEINTRESOURCEW(kFrameMenuId);
    frame.lpszClassName = frameClass.c_str();
    if (RegisterClassExW(&frame) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    WNDCLASSEXW pane{};
    pane.cbSize = sizeof pane;
    pane.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS | CS_PARENTDC;
    pane.hInstance = instance;
    pane.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    pane.lpfnWndProc = MeetingPaneProcedure;
    pane.lpszClassName = meetingClass.c_str();
    if (RegisterClassExW(&pane) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    pane.lpfnWndProc = ReportPaneProcedure;
    pane.lpszClassName = reportClass.c_str();
    return RegisterClassExW(&pane) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

namespace {

// The state a run starts from, also when the same objects ran before.
void ResetState(Application& app, HINSTANCE instance, StartOptions options) {
    app.instance = instance;
    app.options = std::move(options);
    app.ui = app.options.ui != nullptr ? app.options.ui : &app.frameUi;
    app.choosers = app.options.choosers ? *app.options.choosers : SystemChoosers();
    app.currentMeeting = -1;
    app.barHeight = 45;
    app.findText.clear();
    StopFilterBuild(app);
    app.damageNoted.clear();
    app.createReportEnabled = -1;
    app.reportCommandsEnabled = -1;
    app.meetingSort = {};
    app.reportSort = {};
}

// The settings steps, the Palm users and the mailer.
void LoadSettingsAndServices(Application& app) {
    // The major version: above 4 the Japanese fonts and mail are used.
    const DWORD version = GetVersion();
    app.windowsMajorVersion = LOBYTE(LOWORD(version));
    SetThreadLocale(0x0411);

    // The settings steps.
    app.backend = platform::OpenSystemSettings();
    app.settings = std::make_unique<ApplicationSettings>(*app.backend);
    app.env = std::make_unique<ShellEnvironment>(ShellEnvironment{*app.ui, platform::SystemPalmDesktop()});
    app.env->programFile = app.options.programFile.empty() ? ThisProgramFile() : app.options.programFile;
    LoadStartupSettings(*app.settings, *app.env);

    app.palette = &HandheldPalette::Get();
    Trace("palmObj = " TAVOLEX_TRACE_PTR, TraceAddress(app.palette));
    app.place = FindUserPlace({}, *app.settings, platform::SystemPalmDesktop());
    FindUsersWithoutPalmDesktop(app);
    UsePlace(app);
    app.mailer = std::make_unique<ReportMailer>();
    if (app.windowsMajorVersion > 4) app.mailer->SetUp();
    Trace("eml = " TAVOLEX_TRACE_PTR, TraceAddress(app.mailer.get()));
}

HWND CreateFrame(Application& app) {
    const HINSTANCE instance = app.instance;
    const WindowPlacement& placement = app.settings->placement;
    const std::wstring frameClass = LoadText(instance, IDS_FRAME_CLASS);
    const std::wstring title = LoadText(instance, IDS_TITLE);
    app.frame =
        CreateWindowExW(0, frameClass.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, static_cast<int>(placement.x),
                        static_cast<int>(placement.y), static_cast<int>(placement.w), static_cast<int>(placement.h),
                        nullptr, nullptr, instance, &app);
    return app.frame;
}

// The three lists, their font and the quick view, in the panes the frame made. The lists are made
// empty, and get their columns, images, font and view before ShowAndFill gives them their rows: a
// list control lays its rows out again for each of these, which for a full store in an icon view
// took minutes.
void CreatePaneWindows(Application& app) {
    const HINSTANCE instance = app.instance;
    app.meetingList = std::make_unique<PaneListView>(PaneKind::kMeetings, instance);
    FilterMeetingList(app, *app.meetingList);
    Trace("mlv = " TAVOLEX_TRACE_PTR, TraceAddress(app.meetingList.get()));
    if (app.meetingList->Create(app.meetingPane)) app.meetingList->CreateColumns();

    app.reportList = std::make_unique<PaneListView>(PaneKind::kReports, instance);
    app.reportList->SetRowSource([&app] { return ReportRowsOf(app.settings->outputFolder); });
    Trace("rlv = " TAVOLEX_TRACE_PTR, TraceAddress(app.reportList.get()));
    if (app.reportList->Create(app.reportPane)) app.reportList->CreateColumns();

    app.itemList = std::make_unique<PaneListView>(PaneKind::kItems, instance);
    app.itemList->SetRowSource([&app] { return ItemRows(app.itemEntries); });
    Trace("ilv = " TAVOLEX_TRACE_PTR, TraceAddress(app.itemList.get()));
    if (app.itemList->Create(app.meetingPane)) app.itemList->CreateColumns();

    app.quickView = std::make_unique<QuickViewWindow>(instance);
    Trace("edit = " TAVOLEX_TRACE_PTR, TraceAddress(app.quickView.get()));
    app.quickView->Create(app.reportPane, app.windowsMajorVersion > 4);
    RescaleFrame(app);

    app.meetingList->SetView(app.settings->meetingView);
    app.reportList->SetView(app.settings->reportView);
}

}  // namespace

void SetFrameIcons(Application& app) {
    if (app.frame == nullptr) return;
    using MetricsForDpi = int(WINAPI*)(int, UINT);
    static const auto metricsForDpi = reinterpret_cast<MetricsForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    const auto side = [&app](int metric, int at96) {
        const int asked = metricsForDpi != nullptr ? metricsForDpi(metric, app.dpi) : 0;
        return asked > 0 ? asked : Scaled(at96, app.dpi);
    };
    UniqueIcon largeIcon(static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(kLargeIconId), IMAGE_ICON,
                                                       side(SM_CXICON, 32), side(SM_CYICON, 32), 0)));
    UniqueIcon smallIcon(static_cast<HICON>(LoadImageW(app.instance, MAKEINTRESOURCEW(kSmallIconId), IMAGE_ICON,
                                                       side(SM_CXSMICON, 16), side(SM_CYSMICON, 16), 0)));
    if (largeIcon) SendMessageW(app.frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon.Get()));
    if (smallIcon) SendMessageW(app.frame, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    // The frame holds the icons it was given: the ones it had are destroyed only now.
    if (largeIcon) app.frameIcon = std::move(largeIcon);
    if (smallIcon) app.frameSmallIcon = std::move(smallIcon);
}

void RescaleFrame(Application& app) {
    SetFrameIcons(app);
    ScaleBars(app);
    for (PaneListView* list : {app.meetingList.get(), app.reportList.get(), app.itemList.get()}) {
        if (list != nullptr) list->SetDpi(app.dpi);
    }
    // The lists and the quick view are drawn in the Japanese face too, so names never show as boxes.
    if (app.windowsMajorVersion > 4 && app.meetingPane != nullptr) {
        HDC dc = GetDC(app.meetingPane);
        UniqueFont font = MakeJapaneseFont(dc, app.dpi);
        ReleaseDC(app.meetingPane, dc);
        for (PaneListView* list : {app.meetingList.get(), app.reportList.get(), app.itemList.get()}) {
            if (list != nullptr && list->Window() != nullptr)
                SendMessageW(list->Window(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        }
        app.paneFont = std::move(font);
    }
    if (app.quickView) app.quickView->SetDpi(app.dpi);
}

namespace {

// The report generator over the store, and its writer with the user's report options and viewer.
void CreateReportFolder(Application& app) {
    app.reportFolder = std::make_unique<ReportFolder>(*app.meetings, *app.addressBook);
    app.reportWriter = std::make_unique<ReportWriter>(*app.reportFolder, *app.ui);
    app.reportWriter->SetOptionsSource([&app] { return CurrentReportOptions(app); });
    app.reportWriter->SetViewer(MakeReportViewer(
        [&app] {
            app.settings->userKey.OpenUserKey(app.settings->userDirectory);
            ViewerSettings viewer;
            app.settings->userKey.ReadValue("AutoView", viewer.autoView);
            viewer.browserPath = PathFromSettingsText(app.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
            return viewer;
        },
        platform::SystemLauncher(), *app.ui));
    Trace("rp = " TAVOLEX_TRACE_PTR, TraceAddress(app.reportFolder.get()));
}

// Shows the frame and fills the lists.
void ShowAndFill(Application& app, int showCommand) {
    ShowWindow(app.frame, showCommand);
    UpdateWindow(app.frame);

    app.reportList->Refill(-1);
    if (app.meetings->Opened()) {
        RefillItemList(app, -1);
        app.meetingList->Refill(-1);
    }
    RECT client{};
    GetClientRect(app.frame, &client);
    SendMessageW(app.frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

}  // namespace

int StartApplication(Application& app, HINSTANCE instance, int showCommand, StartOptions options) {
    ResetState(app, instance, std::move(options));
    LoadSettingsAndServices(app);
    if (CreateFrame(app) == nullptr) return 0;
    app.frameUi.owner = app.frame;
    SelectStartupFolderUser(app);

    // The current user's address book and meeting store.
    const LRESULT selected = app.userBox != nullptr ? SendMessageW(app.userBox, CB_GETCURSEL, 0, 0) : CB_ERR;
    const PalmUserEntry* entry = selected != CB_ERR ? app.users->Entry(static_cast<int>(selected)) : nullptr;
    const std::string& directory = entry != nullptr ? entry->directory : std::string();
    const UserFolders folders = FindUserFolders(app.place.palmFolder, directory);
    // A store that takes a while: the frame shows first and says it is loading.
    const bool noticeable = StoreLoadIsNoticeable(app.settings->databaseFolder);
    if (noticeable) {
        ShowWindow(app.frame, showCommand);
        UpdateWindow(app.frame);
        ShowLoading(app);
    }
    UserStores stores = LoadUserStores(app.settings->databaseFolder, folders.addressBook);
    app.addressBook = std::move(stores.book);
    app.meetings = std::move(stores.meetings);
    app.chooserFolder = app.settings->databaseFolder;
    Trace("fo = " TAVOLEX_TRACE_PTR, TraceAddress(&app.chooserFolder));

    CreatePaneWindows(app);
    CreateReportFolder(app);
    ShowAndFill(app, showCommand);
    if (noticeable) EndLoading(app);
    StartFilterBuild(app);
    NoteDamagedFiles(app);
    return 1;
}

void ShutdownApplication(Application& app) {
    PostQuitMessage(0);
    StopFilterBuild(app);
    RECT frame{};
    GetWindowRect(app.frame, &frame);
    if (app.settings && app.users) {
        SaveShutdownSettings(*app.settings, WindowRect{frame.left, frame.top, frame.right, frame.bottom}, *app.users);
    }
    app.paneFont.Reset();
    app.userBoxFont.Reset();
    for (auto* list : {&app.meetingList, &app.reportList, &app.itemList}) {
        if (*list) (*list)->Destroy();
        list->reset();
    }
    if (app.quickView) {
        RECT band{};
        if (app.rebar != nullptr && SendMessageW(app.rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&band))) {
            app.comboBandcx = static_cast<std::uint32_t>(band.right - band.left + 8);
        }
        app.quickView.reset();
    }
    if (app.toolBarObject) {
        if (app.settings) {
            app.settings->userKey.OpenUserKey(app.settings->userDirectory);
            app.settings->userKey.WriteDword("ComboBandcx", app.comboBandcx);
        }
        if (app.users) app.users->FreeEntries();
        app.userBox = nullptr;
        app.findBox = nullptr;
        app.findCount = nullptr;
        app.toolBar = nullptr;
        app.toolBarObject = false;
    }
    app.reportWriter.reset();
    app.reportFolder.reset();
    app.users.reset();
    app.chooserFolder.clear();
    app.addressBook.reset();
    if (app.meetings) app.meetings->Release();
    app.meetings.reset();
    app.mailer.reset();
    app.palette = nullptr;
    app.itemEntries.clear();
    for (auto& images : app.toolBarImages) images.Reset();
    app.frame = nullptr;
    app.rebar = nullptr;
    app.frameUi.owner = nullptr;
}

int ProgramEntry(HINSTANCE instance, int showCommand) {
    // The trace goes to the debugger's channel only; the desktop program has no console.
    SetTraceTargets(CommandLineTraceTargets());
    OleInitialize(nullptr);
    if (!RegisterWindowClasses(instance)) return 0;
    Application app;
    if (StartApplication(app, instance, showCommand) == 0) return 0;
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kFrameMenuId));
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators != nullptr && TranslateAcceleratorW(app.frame, accelerators, &message)) continue;
        if (MoveFocusOnTab(app, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The settings objects close their keys with the process.
    app.settings.reset();
    app.env.reset();
    app.backend.reset();
    return static_cast<int>(message.wParam);
}

}  // namespace tavolex::ui
