// The frame window: menu bar, rebar with the tool bar and the Palm user box, the two panes and
// their layout, and every command of the menu and the tool bar.
#include "ui/application.h"
#include "session/report_settings.h"
#include "ui/export_runner.h"

#include "platform/file_system.h"
#include "platform/launch.h"
#include "report_files/report_listing.h"
#include "report_files/report_name.h"
#include "report_files/report_operations.h"
#include "report_files/report_viewer.h"
#include "resources/string_table.h"
#include "session/user_change.h"
#include "settings/settings_key.h"
#include "settings/settings_text.h"
#include "base/trace.h"
#include "ui/create_report_dialog.h"
#include "ui/export_dialog.h"
#include "ui/preferences_dialog.h"
#include "ui/report_options_dialog.h"
#include "ui/window_services.h"
#include "views/quick_view.h"

#include <shellapi.h>

#include <iterator>

namespace tavolex::ui {

namespace {

constexpr char kCaption[] = "Tavolex";
constexpr wchar_t kSupportAddress[] = L"https://www.brenmark.example/tavolex/support/";
constexpr wchar_t kContactAddress[] = L"https://www.brenmark.example/tavolex/contact/";
constexpr int kAboutDialogId = 103;
constexpr int kAboutReleaseId = 1064;
constexpr int kReportMenuId = 155;
constexpr int kMeetingMenuId = 171;
constexpr int kViewMenuId = 173;

constexpr char kNoMeetingMessage[] =
    "No meeting has been selected to report on.\n\nPlease select a meeting in the left 'Meeting' window and try again.";
constexpr char kNoReportToOpen[] =
    "No report has been selected.\n\nPlease select a report to open in the right 'Report' window and try again.";
constexpr char kNoReportToExport[] =
    "No report has been selected for exporting.\n\nPlease select a report in the right 'Report' window and try again.";
constexpr char kNoReportSent[] =
    "No report has been sent.\n\nEither because a report hasn't been selected in the right 'Report' window\nor an issue "
    "with the e-mail client.";
constexpr char kNoReportToDelete[] =
    "Only reports can be deleted.\n\nPlease select an item in the right 'Report' window and try again.\n\nTo delete "
    "meetings, do so from your PDA and hotsync.";
constexpr char kNoMapi[] = "No MAPI Client is available, please upgrade your email package.";

void Inform(std::string_view text, std::string_view caption = kCaption) {
    App().ui->ShowMessage(text, caption, platform::MessageIcon::kInformation);
}

// --- Tool bar -------------------------------------------------------------------------------

struct ToolBarImage {
    int normal, hot, disabled, mask;
};
constexpr ToolBarImage kToolBarImages[] = {
    {224, 226, 225, 227}, {228, 230, 229, 196}, {236, 238, 237, 239}, {158, 242, 241, 243},
    {157, 234, 233, 235}, {244, 246, 245, 247}, {248, 250, 249, 251},
};
constexpr int kLabelIds[] = {104, 105, 230, 228, 229};

HWND CreateToolBar(Application& app) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND bar = CreateWindowExW(WS_EX_TOPMOST, TOOLBARCLASSNAMEW, L"", 0x4000995E & ~WS_VISIBLE, 0, 0, 0, 0, app.rebar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)), app.instance, nullptr);
    if (bar == nullptr) return nullptr;
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, CCM_SETVERSION, 5, 0);
    for (UniqueImageList& list : app.toolBarImages) list.Reset(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0));
    for (const ToolBarImage& image : kToolBarImages) {
        UniqueBitmap mask(static_cast<HBITMAP>(LoadImageW(app.instance, MAKEINTRESOURCEW(image.mask), IMAGE_BITMAP, 0, 0, LR_MONOCHROME)));
        const int ids[] = {image.normal, image.hot, image.disabled};
        for (int k = 0; k < 3; ++k) {
            UniqueBitmap picture(static_cast<HBITMAP>(LoadImageW(app.instance, MAKEINTRESOURCEW(ids[k]), IMAGE_BITMAP, 0, 0, 0)));
            ImageList_Add(app.toolBarImages[k].Get(), picture.Get(), mask.Get());
        }
    }
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[0].Get()));
    SendMessageW(bar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[1].Get()));
    SendMessageW(bar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(app.toolBarImages[2].Get()));

    INT_PTR labels[std::size(kLabelIds)] = {};
    for (std::size_t k = 0; k < std::size(kLabelIds); ++k) {
        std::wstring label = LoadText(app.instance, kLabelIds[k]);
        label.push_back(L'\0');  // the list ends with a double NUL
        labels[k] = SendMessageW(bar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    const BYTE shown = BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    TBBUTTON buttons[] = {
        {0, kCmdCreateReport, TBSTATE_ENABLED, shown, {}, 0, labels[0]},
        {1, kCmdExport, TBSTATE_ENABLED, shown, {}, 0, labels[1]},
        {2, kCmdMail, TBSTATE_ENABLED, shown, {}, 0, labels[2]},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {3, kCmdRefresh, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, -1},
        {4, kCmdDelete, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, -1},
        {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0},
        {5, kCmdSupport, TBSTATE_ENABLED, BTNS_AUTOSIZE, {}, 0, labels[3]},
        {6, kCmdCycleViews, TBSTATE_ENABLED, shown, {}, 0, labels[4]},
    };
    SendMessageW(bar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
    SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(bar, TB_AUTOSIZE, 0, 0);
    ShowWindow(bar, SW_SHOW);
    return bar;
}

void FillUserBox(Application& app) {
    if (app.userBox == nullptr || !app.users) return;
    SendMessageW(app.userBox, CB_RESETCONTENT, 0, 0);
    const int select = app.users->FillEntries(app.settings->appKey);
    for (const auto& entry : app.users->Entries()) {
        SendMessageW(app.userBox, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(entry->name).c_str()));
    }
    SendMessageW(app.userBox, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

HWND CreateUserBox(Application& app) {
    HWND box = CreateWindowExW(0, L"COMBOBOX", L"", 0x50000313, 0, 0, 100, 250, app.rebar,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kUserBoxId)), app.instance, nullptr);
    if (box == nullptr) return nullptr;
    if (app.windowsMajorVersion > 4) {
        HDC dc = GetDC(box);
        static UniqueFont boxFont;
        boxFont = MakeJapaneseFont(dc);
        ReleaseDC(box, dc);
        SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(boxFont.Get()), FALSE);
    }
    app.userBox = box;
    FillUserBox(app);
    return box;
}

void CreateBars(Application& app, HWND frame) {
    app.settings->userKey.OpenUserKey(app.settings->userDirectory);
    const std::uint32_t stored = app.settings->userKey.ReadDword("ComboBandcx");
    app.comboBandcx = stored != 0 ? stored : 200;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    app.toolBarObject = true;
    Trace("rb = " TAVOLEX_TRACE_PTR, TraceAddress(&app.toolBarObject));

    app.rebar = CreateWindowExW(0, REBARCLASSNAMEW, nullptr, 0x46002A40 | WS_VISIBLE, 0, 0, 0, 0, frame, nullptr,
                                app.instance, nullptr);
    REBARINFO info{sizeof info};
    if (app.rebar == nullptr || !SendMessageW(app.rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
        if (app.rebar != nullptr) DestroyWindow(app.rebar);
        app.rebar = nullptr;
        return;
    }
    RECT frameRect{};
    GetWindowRect(frame, &frameRect);
    app.toolBar = CreateToolBar(app);
    if (app.toolBar != nullptr) {
        const DWORD buttonSize = static_cast<DWORD>(SendMessageW(app.toolBar, TB_GETBUTTONSIZE, 0, 0));
        REBARBANDINFOW band{sizeof band};
        band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.fStyle = RBBS_CHILDEDGE;
        band.lpText = const_cast<wchar_t*>(L"");
        band.hwndChild = app.toolBar;
        band.cxMinChild = 50;
        band.cyMinChild = HIWORD(buttonSize);
        band.cx = static_cast<UINT>(frameRect.right - frameRect.left) - app.comboBandcx;
        SendMessageW(app.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    }
    if (HWND box = CreateUserBox(app)) {
        RECT boxRect{};
        GetWindowRect(box, &boxRect);
        std::wstring blank = LoadText(app.instance, 217);
        REBARBANDINFOW band{sizeof band};
        band.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
        band.fStyle = RBBS_CHILDEDGE;
        band.lpText = blank.data();
        band.hwndChild = box;
        band.cxMinChild = 100;
        band.cyMinChild = static_cast<UINT>(boxRect.bottom - boxRect.top);
        band.cx = app.comboBandcx;
        SendMessageW(app.rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    }
    app.barHeight = static_cast<int>(SendMessageW(app.rebar, RB_GETBARHEIGHT, 0, 0));
}

void DrawUserBoxItem(Application& app, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF oldText = SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const COLORREF oldBack = SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    TEXTMETRICW metrics{};
    GetTextMetricsW(item.hDC, &metrics);
    const LRESULT length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    if (length > 0) SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    UniqueFont font;
    if (app.windowsMajorVersion > 4) {
        font = MakeJapaneseFont(item.hDC);
        SelectObject(item.hDC, font.Get());
    }
    const int x = LOWORD(GetDialogBaseUnits()) / 4 + 2;
    const int y = (item.rcItem.top + item.rcItem.bottom - metrics.tmHeight) / 2;
    ExtTextOutW(item.hDC, x, y, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SetTextColor(item.hDC, oldText);
    SetBkColor(item.hDC, oldBack);
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
    SelectObject(item.hDC, GetStockObject(SYSTEM_FONT));
}

// --- Layout ---------------------------------------------------------------------------------

void Place(HWND window, int x, int y, int w, int h, bool repaint = true) {
    if (window == nullptr) return;
    MoveWindow(window, x, y, w, h, repaint ? TRUE : FALSE);
    ShowWindow(window, SW_SHOW);
}

void LayOut(Application& app) {
    RECT client{};
    GetClientRect(app.frame, &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (app.rebar != nullptr) Place(app.rebar, client.left, client.top, w, app.barHeight, false);
    // Placing the rebar may make it report another height (RBN_CHILDSIZE): the panes follow that.
    const int b = app.barHeight;
    Place(app.meetingPane, 0, b, w / 2 - 20, h);
    Place(app.reportPane, w / 2, b, w, h);
    if (app.reportList) Place(app.reportList->Window(), 0, 0, w / 2, h / 2);
    if (app.quickView) Place(app.quickView->Window(), 0, h / 2, w / 2, h / 2 - b);
    if (app.meetingList) Place(app.meetingList->Window(), 0, 0, w / 2 - 20, h / 2);
    if (app.itemList) Place(app.itemList->Window(), 0, h / 2, w / 2 - 20, h / 2 - b);
    for (PaneListView* list : {app.meetingList.get(), app.reportList.get(), app.itemList.get()}) {
        if (list != nullptr && list->Window() != nullptr) ListView_Arrange(list->Window(), LVA_ALIGNTOP);
    }
}

// --- Commands -------------------------------------------------------------------------------

std::int32_t SelectedMeeting() {
    Application& app = App();
    if (!app.meetingList) return -1;
    const std::int64_t parameter = app.meetingList->RowParameter(app.meetingList->SelectedRow());
    return parameter >= 0 && parameter < app.meetings->MeetingCount() ? static_cast<std::int32_t>(parameter) : -1;
}

QuickViewFields CurrentQuickViewFields() {
    Application& app = App();
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    return QuickViewFieldsFromSettings([&](std::string_view name) {
        std::uint32_t value = 0;
        return key.ReadValue(name, value) == platform::kSettingsOk && value == 1;
    });
}

void ShowInQuickView(std::int32_t meeting, int itemRow) {
    Application& app = App();
    const Meeting* record = app.meetings->MeetingAt(meeting);
    if (record == nullptr || !app.quickView) return;
    const std::int64_t entry = itemRow >= 0 ? app.itemList->RowParameter(itemRow) : -1;
    app.quickView->Show(QuickViewText(*record, app.itemEntries, static_cast<std::int32_t>(entry), *app.addressBook,
                                      CurrentQuickViewFields()));
}

// The Create Report dialog for the meeting; the report list is refilled once a report was made.
void ShowCreateReport(const Meeting& meeting) {
    Application& app = App();
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    CreateReportOptions options;
    options.choices = LoadCreateReportChoices(
        key, app.settings->templateFolder,
        {Narrow(LoadText(app.instance, kIdsExecutiveReport)), Narrow(LoadText(app.instance, kIdsAgendaReport))});
    options.reportName = ProposedReportName(meeting.szTitle, *app.ui);
    options.folder = app.reportFolder.get();
    options.meeting = &meeting;
    options.paths = CurrentReportPaths();
    options.userKey = &key;
    options.userDirectory = app.settings->userDirectory;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    options.mainWindow = app.frame;
    options.japaneseFont = app.windowsMajorVersion > 4;
    if (ShowCreateReportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

void CreateReportForSelection() {
    Application& app = App();
    const int row = app.meetingList ? app.meetingList->SelectedRow() : -1;
    const std::int32_t meeting = SelectedMeeting();
    if (row < 0 || meeting < 0) {
        Inform(kNoMeetingMessage);
        return;
    }
    app.currentMeeting = meeting;
    RECT client{};
    GetClientRect(app.frame, &client);
    RefreshQuickView(client);
    ListView_SetItemState(app.meetingList->Window(), row, INDEXTOSTATEIMAGEMASK(1), LVIS_STATEIMAGEMASK);
    ShowCreateReport(*app.meetings->Meetings().at(static_cast<std::size_t>(meeting)));
}

// The report of the selected row: the file at the row's position in the folder, as long as it is
// still the file the row shows. A folder changed since the refill would make the position name
// another file, so the row's name decides then; a report no longer there is no selection.
bool SelectedReport(ReportEntry& entry) {
    Application& app = App();
    if (!app.reportList) return false;
    const int row = app.reportList->SelectedRow();
    const std::int64_t position = app.reportList->RowParameter(row);
    if (position < 0) return false;
    const std::string shown = app.reportList->RowText(row, 0);
    if (ReportEntryAt(app.settings->outputFolder, static_cast<int>(position) + 1, entry) >= 0 && entry.name == shown) {
        return true;
    }
    for (ReportEntry& candidate : ListReports(app.settings->outputFolder)) {
        if (candidate.name == shown) {
            entry = std::move(candidate);
            return true;
        }
    }
    return false;
}

void OpenSelectedReport(bool fromMenu) {
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        if (fromMenu) Inform(kNoReportToOpen);
        return;
    }
    ViewerSettings viewer;
    Application& app = App();
    app.settings->userKey.OpenUserKey(app.settings->userDirectory);
    app.settings->userKey.ReadValue("AutoView", viewer.autoView);
    viewer.browserPath = PathFromSettingsText(app.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
    OpenReportPath(entry.path, viewer, platform::SystemLauncher(), *app.ui);
}

void MailSelectedReport(bool fromMenu) {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        if (fromMenu) Inform(kNoReportSent);
        return;
    }
    if (!app.mailer || !app.mailer->Available()) {
        Inform(kNoMapi);
        return;
    }
    app.mailer->SendReport(CurrentReportPaths(), entry.fileName, *app.ui);
}

void DeleteSelectedReport() {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        Inform(kNoReportToDelete);
        return;
    }
    DeleteReport(CurrentReportPaths(), entry.fileName, *app.ui);
    app.reportList->Refill(0);
}

void ImportDroppedFile(HDROP drop) {
    Application& app = App();
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring file(static_cast<std::size_t>(length) + 1, L'\0');
    file.resize(DragQueryFileW(drop, 0, file.data(), length + 1));
    DragFinish(drop);
    if (file.empty()) return;
    ImportReport(CurrentReportPaths(), std::filesystem::path(file), *app.ui);
    app.reportList->Refill(-1);
}

// The export dialog for the selected report; the report list is refilled after an export.
void ExportSelectedReport() {
    Application& app = App();
    ReportEntry entry;
    if (!SelectedReport(entry)) {
        Inform(kNoReportToExport);
        return;
    }
    ExportOptions options;
    options.paths = CurrentReportPaths();
    options.fileName = entry.fileName;
    options.ui = app.ui;
    options.choosers = &app.choosers;
    if (ShowExportDialog(app.instance, app.frame, options) && app.reportList) app.reportList->Refill(-1);
}

void OpenWithShell(const wchar_t* target, const char* caption, bool withIcon) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(App().frame, L"open", target, nullptr, nullptr, SW_SHOWNORMAL));
    if (result == ERROR_FILE_NOT_FOUND) {
        App().ui->ShowMessage("Unable to find file.", caption,
                              withIcon ? platform::MessageIcon::kInformation : platform::MessageIcon::kNone);
    }
}

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HINSTANCE instance = App().instance;
        SetDlgItemTextW(dialog, 1040, LoadText(instance, 136).c_str());
        SetDlgItemTextW(dialog, 1041, LoadText(instance, 137).c_str());
        SetDlgItemTextW(dialog, 1042, LoadText(instance, 138).c_str());
        SetDlgItemTextW(dialog, 1043, LoadText(instance, 139).c_str());
        SetDlgItemTextW(dialog, 1063, LoadText(instance, 129).c_str());
        // The release of this build beside the version the settings record (string 129).
        SetDlgItemTextW(dialog, kAboutReleaseId, L"Tavolex \x30D0\x30FC\x30B8\x30E7\x30F3 " TAVOLEX_VERSION);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void ApplyBothViews(std::uint32_t code) {
    Application& app = App();
    RepaintFrame();
    app.settings->meetingView = code;
    app.settings->reportView = code;
    if (app.meetingList) ApplyPaneView(*app.meetingList, code, true);
    if (app.reportList) ApplyPaneView(*app.reportList, code, false);
}

void CycleViews() {
    Application& app = App();
    RepaintFrame();
    std::uint32_t meetingView = app.settings->meetingView + 1;
    std::uint32_t reportView = app.settings->reportView + 1;
    if (meetingView > 4) meetingView = 1;
    if (reportView > 4) reportView = 1;
    app.settings->reportView = reportView;
    ApplyPaneView(*app.meetingList, meetingView, true);
    ApplyPaneView(*app.reportList, reportView, false);
}

UserChangeCallbacks MakeUserChangeCallbacks() {
    UserChangeCallbacks callbacks;
    callbacks.clearCurrentMeeting = [] {
        App().currentMeeting = -1;
        App().itemEntries.clear();
    };
    callbacks.applyViews = [](std::uint32_t meetingView, std::uint32_t reportView) {
        if (App().meetingList) App().meetingList->SetView(meetingView);
        if (App().reportList) App().reportList->SetView(reportView);
    };
    callbacks.setQuickViewText = [](std::string_view text) {
        if (App().quickView) App().quickView->Show(text);
    };
    callbacks.refillLists = [] {
        Application& app = App();
        if (app.meetingList) app.meetingList->Refill(-1);
        if (app.reportList) app.reportList->Refill(-1);
        RefillItemList(-1);
    };
    callbacks.repaintFrame = RepaintFrame;
    callbacks.setUserBoxSelection = [](int index) {
        if (App().userBox != nullptr) SendMessageW(App().userBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    };
    return callbacks;
}

// The File menu's exports over the current user's store; the archive opens in the viewer as a
// report does.
void RunDesktopExport(HWND frame, int command) {
    Application& app = App();
    if (!app.meetings || !app.addressBook || !app.reportFolder) return;
    ExportRun run;
    run.instance = app.instance;
    run.owner = frame;
    run.store = app.meetings.get();
    run.book = app.addressBook.get();
    run.reports = app.reportFolder.get();
    run.reportOptions = [] {
        Application& a = App();
        a.settings->userKey.OpenUserKey(a.settings->userDirectory);
        return ReadReportOptions(a.settings->userKey, a.settings->outputFolder, a.settings->templateFolder);
    };
    run.choosers = &app.choosers;
    run.ui = app.ui;
    run.openInViewer = [](const std::filesystem::path& index) {
        Application& a = App();
        ViewerSettings viewer;
        a.settings->userKey.OpenUserKey(a.settings->userDirectory);
        a.settings->userKey.ReadValue("AutoView", viewer.autoView);
        viewer.browserPath = PathFromSettingsText(a.settings->userKey.ReadString("BrowserPath", kPathBufferSize));
        OpenReportPath(index, viewer, platform::SystemLauncher(), *a.ui);
    };
    RunExportCommand(run, command);
}

void OnCommand(HWND frame, int command) {
    Application& app = App();
    switch (command) {
        case kCmdAbout:
            DialogBoxParamW(app.instance, MAKEINTRESOURCEW(kAboutDialogId), frame, AboutProcedure, 0);
            break;
        case kCmdExit: DestroyWindow(frame); break;
        case kCmdCreateReport: CreateReportForSelection(); break;
        case kCmdCycleViews: CycleViews(); break;
        case kCmdRefresh: RepaintFrame(); break;
        case kCmdDelete: DeleteSelectedReport(); break;
        case kCmdLargeIcons: ApplyBothViews(2); break;
        case kCmdSmallIcons: ApplyBothViews(3); break;
        case kCmdDetails: ApplyBothViews(1); break;
        case kCmdList: ApplyBothViews(4); break;
        case kCmdSupport: OpenWithShell(kSupportAddress, "Tavolex Meeting", true); break;
        case kCmdContact: OpenWithShell(kContactAddress, "Tavolex Meeting", true); break;
        case kCmdOpenReport: OpenSelectedReport(true); break;
        case kCmdHelp: OpenWithShell(Wide(app.settings->helpPath).c_str(), "", false); break;
        case kCmdMail: MailSelectedReport(true); break;
        case kCmdExport: ExportSelectedReport(); break;
        case kCmdReportOptions: {
            ReportOptionsDialogOptions options = CurrentUserReportOptions(*app.settings, app.windowsMajorVersion > 4);
            ShowReportOptionsDialog(frame, options);
            RepaintFrame();
            break;
        }
        case kCmdPreferences: {
            PreferencesOptions options = LoadPreferences(*app.settings);
            const INT_PTR result = ShowPreferencesDialog(frame, options, CurrentUserPreferencesActions(*app.settings, *app.users));
            if (result == IDOK && app.reportList) app.reportList->Refill(-1);
            break;
        }
        default: RunDesktopExport(frame, command); break;
    }
}

}  // namespace

void RefillItemList(int selectRow) {
    Application& app = App();
    if (!app.itemList) return;
    const std::int32_t meeting = SelectedMeeting();
    app.itemEntries = meeting >= 0 ? BuildMeetingItemEntries(*app.meetings, *app.addressBook, meeting)
                                   : std::vector<MeetingItemEntry>{};
    app.itemList->Refill(selectRow);
}

void ApplyPaneView(PaneListView& list, std::uint32_t code, bool meetingPane) {
    Application& app = App();
    if (!IsViewCode(code)) return;
    (meetingPane ? app.settings->meetingView : app.settings->reportView) = code;
    list.SetView(code);
    SettingsKey& key = app.settings->userKey;
    key.OpenUserKey(app.settings->userDirectory);
    if (app.settings->meetingView != 0) key.WriteDword("MeetingView", app.settings->meetingView);
    if (app.settings->reportView != 0) key.WriteDword("ReportView", app.settings->reportView);
    list.Refill(0);
}

void RefreshQuickView(const RECT& client) {
    Application& app = App();
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (app.reportList) SetWindowPos(app.reportList->Window(), nullptr, 0, 0, w + 20, h / 2, SWP_NOZORDER | SWP_NOREDRAW);
    if (app.meetingList) SetWindowPos(app.meetingList->Window(), nullptr, 0, 0, w, h / 2, SWP_NOZORDER | SWP_NOREDRAW);
    const std::int32_t meeting = SelectedMeeting();
    if (meeting >= 0) ShowInQuickView(meeting, -1);
    if (app.quickView) Place(app.quickView->Window(), 0, h / 2, w + 20, h / 2 - app.barHeight);
    if (app.itemList) Place(app.itemList->Window(), 0, h / 2, w, h / 2 - app.barHeight);
}

void RepaintFrame() {
    Application& app = App();
    if (app.toolBar != nullptr) InvalidateRect(app.toolBar, nullptr, TRUE);
    if (app.userBox != nullptr) InvalidateRect(app.userBox, nullptr, TRUE);
    if (app.currentMeeting != -1 && app.frame != nullptr) {
        RECT client{};
        GetClientRect(app.frame, &client);
        RefreshQuickView(client);
        if (app.quickView) InvalidateRect(app.quickView->Window(), nullptr, TRUE);
    }
    if (app.frame != nullptr) InvalidateRect(app.frame, nullptr, TRUE);
}

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& app = App();
    switch (message) {
        case WM_CREATE:
            app.frame = window;
            AddExportMenuItems(GetMenu(window));
            CreateBars(app, window);
            app.meetingPane = CreateWindowExW(WS_EX_TRANSPARENT, LoadText(app.instance, 111).c_str(), L"", WS_CHILD, 0, 0, 0,
                                              0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMeetingPaneId)),
                                              app.instance, nullptr);
            app.reportPane = CreateWindowExW(WS_EX_TRANSPARENT | WS_EX_ACCEPTFILES, LoadText(app.instance, 112).c_str(),
                                             L"", WS_CHILD, 0, 0, 0, 0, window,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kReportPaneId)), app.instance,
                                             nullptr);
            if (!app.mailer || !app.mailer->Available()) SetMailEnabled(app.toolBar, false);
            return 0;
        case WM_SIZE:
        case WM_MOVE:
            if (app.frame != nullptr) LayOut(app);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code == RBN_CHILDSIZE && app.rebar != nullptr) {
                app.barHeight = static_cast<int>(SendMessageW(app.rebar, RB_GETBARHEIGHT, 0, 0));
                LayOut(app);
            }
            return 0;
        }
        case WM_EXITSIZEMOVE:
            if (app.meetingList) app.meetingList->Refill(app.meetingList->SelectedRow());
            if (app.reportList) app.reportList->Refill(-1);
            if (app.itemList) RefillItemList(app.itemList->SelectedRow());
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_MEASUREITEM: return 0;
        case WM_DRAWITEM:
            if (wParam == kUserBoxId) DrawUserBoxItem(app, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kUserBoxId && HIWORD(wParam) == CBN_SELCHANGE) {
                const int selection = static_cast<int>(SendMessageW(app.userBox, CB_GETCURSEL, 0, 0));
                ChangeUser(selection, *app.users, *app.settings, *app.env, *app.addressBook, *app.meetings,
                           MakeUserChangeCallbacks());
                return 0;
            }
            if (lParam != 0 && LOWORD(wParam) == kUserBoxId) return 0;
            OnCommand(window, LOWORD(wParam));
            return 0;
        case WM_USER:
            ReloadLastUser(*app.users, *app.settings, *app.addressBook, *app.meetings, MakeUserChangeCallbacks());
            return 0;
        case WM_DESTROY:
            ShutdownApplication();
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --- Panes ----------------------------------------------------------------------------------

namespace {

void ShowContextMenu(HWND pane, int menuId, std::uint32_t view, bool mailAvailable) {
    UniqueMenu menu(LoadMenuW(App().instance, MAKEINTRESOURCEW(menuId)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    const int viewCommands[] = {kCmdPaneDetails, kCmdPaneLargeIcons, kCmdPaneSmallIcons, kCmdPaneList};
    if (view >= 1 && view <= 4) CheckMenuItem(popup, static_cast<UINT>(viewCommands[view - 1]), MF_BYCOMMAND | MF_CHECKED);
    if (!mailAvailable) EnableMenuItem(popup, kCmdPaneMail, MF_BYCOMMAND | MF_GRAYED);
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, pane, nullptr);
}

std::uint32_t PaneViewCode(int command) {
    switch (command) {
        case kCmdPaneLargeIcons: return 2;
        case kCmdPaneSmallIcons: return 3;
        case kCmdPaneList: return 4;
        case kCmdPaneDetails: return 1;
        default: return 0;
    }
}

void MeetingListClicked(bool fromMeetingList) {
    Application& app = App();
    if (fromMeetingList) app.itemList->ClearSelection();
    const std::int32_t meeting = SelectedMeeting();
    if (meeting < 0) {
        app.quickView->Show(QuickViewInitialText());
        return;
    }
    const int itemRow = fromMeetingList ? -1 : app.itemList->SelectedRow();
    if (fromMeetingList) RefillItemList(-1);
    ShowInQuickView(meeting, itemRow);
    if (!fromMeetingList) RefillItemList(itemRow);
}

}  // namespace

LRESULT CALLBACK MeetingPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& app = App();
    LRESULT result = 0;
    bool handled = true;
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            const bool fromMeetings = app.meetingList && header->hwndFrom == app.meetingList->Window();
            const bool fromItems = app.itemList && header->hwndFrom == app.itemList->Window();
            if (!fromMeetings && !fromItems) break;
            PaneListView& list = fromMeetings ? *app.meetingList : *app.itemList;
            switch (header->code) {
                case LVN_GETDISPINFOW: list.SupplyText(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
                case NM_CLICK: MeetingListClicked(fromMeetings); break;
                case NM_DBLCLK:
                    if (fromMeetings && reinterpret_cast<NMITEMACTIVATE*>(lParam)->iSubItem == 0 && SelectedMeeting() >= 0) {
                        CreateReportForSelection();
                    }
                    break;
                case LVN_COLUMNCLICK:
                    list.Sort(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem, app.meetingSort.Click());
                    break;
                case LVN_ENDLABELEDITW: result = FALSE; break;
                default: break;
            }
            break;
        }
        case WM_CONTEXTMENU:
            if (app.meetingList && reinterpret_cast<HWND>(wParam) == app.meetingList->Window()) {
                ShowContextMenu(window, SelectedMeeting() >= 0 ? kMeetingMenuId : kViewMenuId, app.meetingList->View(), true);
            }
            break;
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == kCmdCreateReport) {
                CreateReportForSelection();
            } else if (command == kCmdQuickView) {
                const std::int32_t meeting = SelectedMeeting();
                if (meeting >= 0) {
                    RefillItemList(-1);
                    ShowInQuickView(meeting, -1);
                }
            } else if (const std::uint32_t code = PaneViewCode(command); code != 0) {
                ApplyPaneView(*app.meetingList, code, true);
            }
            break;
        }
        default: handled = false; break;
    }
    if (app.meetingList && app.toolBar != nullptr) {
        const int enabled = app.meetingList->SelectedRow() >= 0 ? 1 : 0;
        if (enabled != app.createReportEnabled) {
            SetCreateReportEnabled(app.toolBar, enabled != 0);
            app.createReportEnabled = enabled;
        }
    }
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ReportPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& app = App();
    LRESULT result = 0;
    bool handled = true;
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (!app.reportList || header->hwndFrom != app.reportList->Window()) break;
            switch (header->code) {
                case LVN_GETDISPINFOW: app.reportList->SupplyText(*reinterpret_cast<NMLVDISPINFOW*>(lParam)); break;
                case NM_DBLCLK: OpenSelectedReport(false); break;
                case LVN_COLUMNCLICK:
                    app.reportList->Sort(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem, app.reportSort.Click());
                    break;
                case LVN_KEYDOWN:
                    if (reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) DeleteSelectedReport();
                    break;
                case LVN_ENDLABELEDITW: {
                    const auto* edit = reinterpret_cast<NMLVDISPINFOW*>(lParam);
                    if (edit->item.pszText != nullptr) {
                        const std::string newName = EditedReportName(Narrow(edit->item.pszText));
                        ReportEntry entry;
                        if (SelectedReport(entry) && RenameReport(CurrentReportPaths(), entry.fileName, newName, *app.ui)) {
                            app.reportList->SetRowText(edit->item.iItem, 0, newName);
                        }
                        app.reportList->Refill(0);
                    }
                    result = FALSE;
                    break;
                }
                default: break;
            }
            break;
        }
        case WM_CONTEXTMENU:
            if (app.reportList && reinterpret_cast<HWND>(wParam) == app.reportList->Window()) {
                ShowContextMenu(window, app.reportList->SelectedRow() >= 0 ? kReportMenuId : kViewMenuId,
                                app.reportList->View(), app.mailer && app.mailer->Available());
            }
            break;
        case WM_DROPFILES: ImportDroppedFile(reinterpret_cast<HDROP>(wParam)); break;
        case WM_COMMAND: {
            const int command = LOWORD(wParam);
            if (command == kCmdPaneOpen) {
                OpenSelectedReport(false);
            } else if (command == kCmdExport) {
                ExportSelectedReport();
            } else if (command == kCmdDelete) {
                DeleteSelectedReport();
            } else if (command == kCmdRename) {
                const int row = app.reportList->SelectedRow();
                if (row >= 0) {
                    SetFocus(app.reportList->Window());
                    ListView_EditLabel(app.reportList->Window(), row);
                }
            } else if (command == kCmdPaneMail) {
                MailSelectedReport(false);
            } else if (const std::uint32_t code = PaneViewCode(command); code != 0) {
                ApplyPaneView(*app.reportList, code, false);
            }
            break;
        }
        default: handled = false; break;
    }
    if (app.reportList && app.toolBar != nullptr) {
        const int enabled = app.reportList->SelectedRow() >= 0 ? 1 : 0;
        if (enabled != app.reportCommandsEnabled) {
            SetOpenReportEnabled(app.toolBar, enabled != 0);
            SetDeleteEnabled(app.toolBar, enabled != 0);
            SetExportEnabled(app.toolBar, enabled != 0);
            SetMailEnabled(app.toolBar, enabled != 0 && app.mailer && app.mailer->Available());
            app.reportCommandsEnabled = enabled;
        }
    }
    return handled ? result : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tavolex::ui
