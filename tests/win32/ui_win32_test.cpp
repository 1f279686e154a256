// The desktop program's frame, started in this process on a copy of the sample Palm folder with
// the stand-in UserData.dll, driven with the messages the controls send and read back through the
// lists' and the quick view's own window messages. HKEY_CURRENT_USER is redirected into a key of
// our own for each test; every message box is answered by a recording interaction.
#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "tests/win32/desktop_fixture.h"
#include "ui/application.h"
#include "ui/window_services.h"
#include "views/meeting_items.h"
#include "views/meeting_rows.h"
#include "views/quick_view.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

using Win32UiTest = DesktopTest;

TEST_F(Win32UiTest, ListsAndQuickViewShowTheSampleUser) {
    InstallPalmDesktop();
    Start();
    MeetingDatabase store(dir / "palm" / "TanakaT" / "Tavolex");
    store.ReloadAll();
    AddressBook book(AddressBook::PathInUserFolder(dir / "palm" / "TanakaT"));
    book.Reload();
    ASSERT_GT(store.MeetingCount(), 0);

    // The user box holds both users, the chosen one selected.
    ASSERT_EQ(SendMessageW(App().userBox, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCURSEL, 0, 0), 0);

    // Details view: four columns, one row per meeting in store order with the core's texts.
    Command(ui::kCmdDetails);
    EXPECT_EQ(GetWindowLongPtrW(MeetingList(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
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
    ASSERT_FALSE(entries.empty());
    ASSERT_EQ(RowCount(ItemList()), static_cast<int>(entries.size()));
    for (int row = 0; row < RowCount(ItemList()); ++row) {
        EXPECT_EQ(ListText(ItemList(), row, 0), entries[static_cast<std::size_t>(row)].displayText);
        EXPECT_EQ(ListIcon(ItemList(), row), static_cast<int>(entries[static_cast<std::size_t>(row)].icon));
    }
    EXPECT_EQ(App().quickView->Text(), QuickViewMeetingText(*store.MeetingAt(0)));

    // An attendee of it in the quick view (every address field shown for a new user).
    int attendee = -1;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].kind == ItemKind::kAttendee && entries[k].foundInAddressBook) attendee = static_cast<int>(k);
    }
    ASSERT_NE(attendee, -1);
    Click(ItemList(), attendee);
    EXPECT_EQ(App().quickView->Text(), QuickViewItemText(entries[static_cast<std::size_t>(attendee)], book, QuickViewFields{}));
    EXPECT_EQ(App().itemList->SelectedRow(), attendee);

    // Clicking the meeting again shows the meeting, no item.
    Click(MeetingList(), 0);
    EXPECT_EQ(App().quickView->Text(), QuickViewMeetingText(*store.MeetingAt(0)));
    EXPECT_EQ(App().itemList->SelectedRow(), -1);

    // The report list: the output folder's two reports, HTML and RTF icons.
    ASSERT_EQ(RowCount(ReportList()), 2);
    std::vector<std::string> names{ListText(ReportList(), 0, 0), ListText(ReportList(), 1, 0)};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"minutes", "weekly"}));
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(ListIcon(ReportList(), row), ListText(ReportList(), row, 0) == "weekly" ? 1 : 10);
    }
    EXPECT_TRUE(ui.messages.empty());
}

int ReportRow(std::string_view name) {
    HWND list = ui::App().reportList->Window();
    for (int row = 0; row < RowCount(list); ++row) {
        if (ListText(list, row, 0) == name) return row;
    }
    return -1;
}

void SelectOnly(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

TEST_F(Win32UiTest, ReportsAreRenamedDeletedAndImportedFromTheList) {
    InstallPalmDesktop();
    Start();
    const fs::path output = dir / "palm" / "TanakaT" / "Tavolex";
    HWND list = ReportList();

    // In-place rename: the edit's text becomes the file's name, the extension stays.
    SelectOnly(list, ReportRow("weekly"));
    wchar_t newName[] = L"renamed";
    NMLVDISPINFOW edit{};
    edit.hdr.hwndFrom = list;
    edit.hdr.idFrom = 3000;
    edit.hdr.code = LVN_ENDLABELEDITW;
    edit.item.iItem = ReportRow("weekly");
    edit.item.pszText = nullptr;  // cancelled: nothing changes
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&edit));
    EXPECT_TRUE(fs::exists(output / "weekly.htm"));
    edit.item.pszText = newName;
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&edit));
    EXPECT_FALSE(fs::exists(output / "weekly.htm"));
    EXPECT_TRUE(fs::exists(output / "renamed.htm"));
    EXPECT_NE(ReportRow("renamed"), -1);

    // The Delete key asks first; a "no" keeps the file.
    NMLVKEYDOWN key{};
    key.hdr.hwndFrom = list;
    key.hdr.idFrom = 3000;
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = VK_DELETE;
    SelectOnly(list, ReportRow("renamed"));
    ui.answer = false;
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
    EXPECT_TRUE(fs::exists(output / "renamed.htm"));
    ASSERT_EQ(ui.questions.size(), 1u);
    SelectOnly(list, ReportRow("renamed"));
    ui.answer = true;
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
    EXPECT_FALSE(fs::exists(output / "renamed.htm"));
    EXPECT_EQ(RowCount(list), 1);

    // A dropped file is imported (only the first of several).
    fs::create_directories(dir / "elsewhere");
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
    EXPECT_TRUE(fs::exists(output / "dropped.htm"));
    EXPECT_FALSE(fs::exists(output / "second.htm"));
    EXPECT_NE(ReportRow("dropped"), -1);
    EXPECT_EQ(App().reportList->SelectedRow(), -1);  // refilled with nothing selected

    // A report removed behind the list's back is never taken for the row's neighbour.
    test::WriteFileBytes(output / "other.htm", "<html></html>");
    App().reportList->Refill(-1);
    SelectOnly(list, ReportRow("dropped"));
    fs::remove(output / "dropped.htm");
    ui.answer = true;
    SendMessageW(App().reportPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&key));
    EXPECT_TRUE(fs::exists(output / "other.htm"));
    EXPECT_TRUE(fs::exists(output / "minutes.rtf"));
}

TEST_F(Win32UiTest, CommandsWithoutSelectionExplainThemselves) {
    InstallPalmDesktop();
    Start();
    App().reportList->ClearSelection();
    App().meetingList->ClearSelection();
    Command(ui::kCmdOpenReport);
    Command(ui::kCmdExport);
    Command(ui::kCmdMail);
    Command(ui::kCmdDelete);
    Command(ui::kCmdCreateReport);
    ASSERT_EQ(ui.messages.size(), 5u);
    EXPECT_EQ(ui.messages[0].text,
              "No report has been selected.\n\nPlease select a report to open in the right 'Report' window and try again.");
    EXPECT_EQ(ui.messages[1].text,
              "No report has been selected for exporting.\n\nPlease select a report in the right 'Report' window and try again.");
    EXPECT_EQ(ui.messages[2].text.rfind("No report has been sent.", 0), 0u);
    EXPECT_EQ(ui.messages[3].text.rfind("Only reports can be deleted.", 0), 0u);
    EXPECT_EQ(ui.messages[4].text.rfind("No meeting has been selected to report on.", 0), 0u);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.caption, "Tavolex");
        EXPECT_EQ(message.icon, platform::MessageIcon::kInformation);
    }
}

TEST_F(Win32UiTest, ViewCyclingAndColumnSorts) {
    InstallPalmDesktop();
    Start();
    App().settings->meetingView = 4;
    App().settings->reportView = 2;
    Command(ui::kCmdCycleViews);
    EXPECT_EQ(App().settings->meetingView, 1u);
    EXPECT_EQ(App().settings->reportView, 3u);
    EXPECT_EQ(GetWindowLongPtrW(MeetingList(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(GetWindowLongPtrW(ReportList(), GWL_STYLE) & LVS_TYPEMASK, LVS_SMALLICON);
    Command(ui::kCmdSmallIcons);
    Command(ui::kCmdLargeIcons);
    EXPECT_EQ(GetWindowLongPtrW(MeetingList(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(GetWindowLongPtrW(ReportList(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(App().settings->meetingView, 2u);
    Command(ui::kCmdDetails);

    // The first header click sorts descending, the next ascending.
    NMLISTVIEW header{};
    header.hdr.hwndFrom = MeetingList();
    header.hdr.idFrom = 3000;
    header.hdr.code = LVN_COLUMNCLICK;
    header.iSubItem = 0;
    SendMessageW(App().meetingPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&header));
    const int count = RowCount(MeetingList());
    ASSERT_GT(count, 1);
    EXPECT_GE(ComparePaneText(ListText(MeetingList(), 0, 0), ListText(MeetingList(), count - 1, 0)), 0);
    SendMessageW(App().meetingPane, WM_NOTIFY, 3000, reinterpret_cast<LPARAM>(&header));
    EXPECT_LE(ComparePaneText(ListText(MeetingList(), 0, 0), ListText(MeetingList(), count - 1, 0)), 0);
}

TEST_F(Win32UiTest, UserChangeRefillsAndShutdownSettingsComeBack) {
    InstallPalmDesktop();
    Start();
    MeetingDatabase second(dir / "palm" / "SuzukiH" / "Tavolex");
    second.ReloadAll();

    ChooseUser(1);
    Command(ui::kCmdList);
    ASSERT_EQ(RowCount(MeetingList()), second.MeetingCount());
    for (int row = 0; row < second.MeetingCount(); ++row) {
        EXPECT_EQ(ListText(MeetingList(), row, 0), MeetingCellText(second, row, 0));
    }
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
    EXPECT_EQ(GetWindowLongPtrW(MeetingList(), GWL_STYLE) & LVS_TYPEMASK, LVS_LIST);
    EXPECT_EQ(RowCount(MeetingList()), second.MeetingCount());
}

TEST_F(Win32UiTest, StartsWithoutPalmDesktopAndWithDamagedFiles) {
    Start();
    EXPECT_NE(App().frame, nullptr);
    EXPECT_EQ(SendMessageW(App().userBox, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(RowCount(MeetingList()), 0);
    EXPECT_EQ(RowCount(ReportList()), 0);
    EXPECT_EQ(App().quickView->Text(), QuickViewInitialText());
    Stop();

    InstallPalmDesktop();
    const fs::path data = dir / "palm" / "TanakaT" / "Tavolex";
    std::string damaged = test::ReadFileBytes(data / "meeting.dat");
    damaged.resize(damaged.size() / 2);
    test::WriteFileBytes(data / "meeting.dat", damaged);
    test::WriteFileBytes(data / "link.dat", std::string(100, '\xff'));
    Start();
    Click(MeetingList(), 0);
    EXPECT_NE(App().frame, nullptr);
}

}  // namespace
}  // namespace tavolex
