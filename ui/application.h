#pragma once
// The desktop program's process-wide objects and its start and end: StartApplication builds
// them in a fixed order and shows the frame; the frame's destruction saves the user's views and
// placement and releases them in a fixed order.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "platform/platform.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "report_files/report_mailer.h"
#include "report_files/report_paths.h"
#include "session/user_change.h"
#include "settings/application_settings.h"
#include "sketch/handheld_palette.h"
#include "ui/choosers.h"
#include "ui/pane_list_view.h"
#include "ui/quick_view_window.h"
#include "meeting_query/meeting_filter.h"
#include "platform/win32/unique_handle.h"
#include "views/meeting_items.h"
#include "views/pane_sort.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavolex::ui {

// Control ids of the frame's children.
inline constexpr int kToolBarId = 500;
inline constexpr int kUserBoxId = 501;
inline constexpr int kFindBoxId = 502;
inline constexpr int kFindBandId = 503;  // the rebar band's window holding the box and the count
inline constexpr int kFindCountId = 504;
inline constexpr int kMeetingPaneId = 100;
inline constexpr int kReportPaneId = 101;

// Messages shown through the interaction seam are owned by the frame once it exists.
class FrameInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view text, std::string_view caption, platform::MessageIcon icon) override;
    bool AskYesNo(std::string_view text, std::string_view caption, platform::QuestionStyle style) override;
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    platform::Answer AskYesNoCancel(std::string_view text, std::string_view caption,
                                    platform::QuestionStyle style) override;
    HWND owner = nullptr;
};

// What a run may replace: the tests answer every message themselves and name the program file
// whose folder is the install folder.
struct StartOptions {
    platform::UserInteraction* ui = nullptr;  // null: message boxes owned by the frame
    std::filesystem::path programFile;        // empty: this program's file
    std::optional<Choosers> choosers;         // none: the system's folder and file choosers
};

struct Application {
    HINSTANCE instance = nullptr;
    DWORD windowsMajorVersion = 0;
    StartOptions options;
    FrameInteraction frameUi;
    platform::UserInteraction* ui = &frameUi;
    Choosers choosers = SystemChoosers();

    std::unique_ptr<platform::SettingsBackend> backend;
    std::unique_ptr<ApplicationSettings> settings;
    std::unique_ptr<ShellEnvironment> env;

    const HandheldPalette* palette = nullptr;  // the process's palettes, built at start-up
    UserPlace place;                           // the Palm folder, its users and the current user's folders
    std::unique_ptr<PalmUserList> users;
    std::unique_ptr<ReportMailer> mailer;
    std::unique_ptr<AddressBook> addressBook;
    std::unique_ptr<MeetingDatabase> meetings;
    std::filesystem::path chooserFolder;  // the folder chooser's copy of the database folder
    std::unique_ptr<PaneListView> meetingList;
    std::unique_ptr<PaneListView> reportList;
    std::unique_ptr<PaneListView> itemList;
    std::unique_ptr<QuickViewWindow> quickView;
    std::unique_ptr<ReportFolder> reportFolder;
    std::unique_ptr<ReportWriter> reportWriter;  // reportFolder's files

    // The frame and its children.
    HWND frame = nullptr;
    HWND rebar = nullptr;
    HWND toolBar = nullptr;
    HWND userBox = nullptr;
    HWND findBox = nullptr;
    HWND findCount = nullptr;  // beside the find box: how many meetings the list shows
    HWND meetingPane = nullptr;
    HWND reportPane = nullptr;
    HWND toDoList = nullptr;     // the to-do list window while it is open (it owns its own state)
    bool toolBarObject = false;  // the tool bar object ("rb") exists
    int barHeight = 45;
    std::uint32_t comboBandcx = 200;
    std::array<UniqueImageList, 3> toolBarImages;
    UniqueFont userBoxFont;
    UniqueFont paneFont;
    platform::win32::UniqueIcon frameIcon;  // the title bar's and task bar's icons, at the frame's scale
    platform::win32::UniqueIcon frameSmallIcon;
    unsigned dpi = 96;  // the frame's pixels per inch; every pixel figure is given for 96

    // The find box's text (UTF-8) and its filter, folded on a thread of its own after each load
    // (filterBuild) and taken on the first search.
    std::string findText;
    std::optional<MeetingFilter> meetingFilter;
    std::future<MeetingFilter> filterBuild;
    // The data folders whose damaged files were already pointed out.
    std::vector<std::filesystem::path> damageNoted;

    // The meeting pane's state.
    std::int32_t currentMeeting = -1;
    std::vector<MeetingItemEntry> itemEntries;
    PaneSortDirection meetingSort;
    PaneSortDirection reportSort;
    // The enabled state last given to the pane commands (-1: not yet given).
    int createReportEnabled = -1;
    int reportCommandsEnabled = -1;
};

// Registers the three window classes (frame, meeting pane, report pane).
bool RegisterWindowClasses(HINSTANCE instance);
// Start-up into app, which outlives the frame: 1 with the frame shown, 0 when the frame could not
// be created.
int StartApplication(Application& app, HINSTANCE instance, int showCommand, StartOptions options = {});
// The program entry: OLE, the window classes, start-up and the message loop; the exit code.
int ProgramEntry(HINSTANCE instance, int showCommand);
// The frame's destruction: the settings writes and the releases, in order.
void ShutdownApplication(Application& app);

// The application the frame or a pane was created for: the creation parameter, kept with the
// window from WM_NCCREATE on; null for the messages before it.
Application* ApplicationOf(HWND window, UINT message, LPARAM lParam);

// Makes the bars' pictures, the lists' images and the fonts again at app.dpi.
void RescaleFrame(Application& app);
// Filters the meeting list by the find box's text, keeping the selected meeting while it is
// shown, and shows the count beside the box.
void ApplyFind(Application& app);
// Starts folding the shown store's texts for the find box on a thread of its own; StopFilterBuild
// waits for that thread and forgets the filter, and must come before the store or the address
// book is loaded again or released.
void StartFilterBuild(Application& app);
void StopFilterBuild(Application& app);
// While a large store loads on the window's thread: the wait cursor, and "読込中…" in the place
// of the count beside the find box, painted at once; EndLoading puts back the arrow and the count.
void ShowLoading(Application& app);
void EndLoading(Application& app);
// Tab and Shift+Tab among the find box and the four panes: true when the message was such a key
// for one of them and the focus moved.
bool MoveFocusOnTab(Application& app, const MSG& message);
// Frame operations the panes and the user change use.
void RefreshQuickView(Application& app, const RECT& client);
// Gives the frame its icons at the sizes the system asks for at the frame's scale (app.dpi).
void SetFrameIcons(Application& app);
void RepaintFrame(Application& app);
void RefillItemList(Application& app, int selectRow);
// Applies a view code to a list, stores both codes and refills the list selecting row 0.
void ApplyPaneView(Application& app, PaneListView& list, std::uint32_t code, bool meetingPane);
// The report folder's paths of the current user.
tavolex::ReportPaths CurrentReportPaths(const Application& app);

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MeetingPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ReportPaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace tavolex::ui
