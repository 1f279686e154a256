#include "ui/todo_list_window.h"

#include "meeting_query/across_meetings.h"
#include "resources/string_ids.h"
#include "ui/application.h"
#include "ui/frame_commands.h"
#include "ui/window_services.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <numeric>

namespace tavolex::ui {
namespace {

constexpr int kColumnCount = 5;
static_assert(IDS_TODO_COLUMN_MEETING == IDS_TODO_COLUMN_DUE + kColumnCount - 1);
constexpr int kColumnWidths[kColumnCount] = {135, 60, 50, 290, 260};

struct ToDoListState {
    Application* app = nullptr;
    HWND list = nullptr;
    std::vector<ToDoRow> rows;
    int sortColumn = -1;
    bool descending = false;
    std::wstring text;  // the cell the list asked for last
    UniqueFont font;
};

// A text on one line: its first line, control characters as spaces.
std::wstring OneLine(std::string_view utf8) {
    std::wstring text = Utf8ToWide(utf8.substr(0, utf8.find_first_of("\r\n")));
    for (wchar_t& c : text) {
        if (c < 0x20 || c == 0x7F) c = L' ';
    }
    return text;
}

std::wstring CellText(const ToDoListState& state, const ToDoRow& t, int column) {
    switch (column) {
        case 0: return Utf8ToWide(t.dueDate.value_or("") + (t.dueDate && t.dueTime ? " " + *t.dueTime : ""));
        case 1: return std::to_wstring(t.priority);
        case 2: return t.done ? LoadText(state.app->instance, IDS_TODO_DONE) : std::wstring();
        case 3: return OneLine(t.text);
        case 4: return OneLine(t.meetingDate.value_or("") + " " + t.meetingTitle);
        default: return {};
    }
}

// Whether a comes before b by the column, ascending; due dates none last.
bool ColumnLess(const ToDoRow& a, const ToDoRow& b, int column) {
    switch (column) {
        case 0:
            if (a.dueDate.has_value() != b.dueDate.has_value()) return a.dueDate.has_value();
            return a.dueDate && *a.dueDate < *b.dueDate;
        case 1: return a.priority < b.priority;
        case 2: return !a.done && b.done;
        case 3: return a.text < b.text;
        case 4: return a.meetingIndex < b.meetingIndex;
        default: return false;
    }
}

void Fill(ToDoListState& state) {
    std::vector<std::int32_t> all(static_cast<std::size_t>(state.app->meetings->MeetingCount()));
    std::iota(all.begin(), all.end(), 0);
    state.rows = CollectToDos(*state.app->meetings, all);
    SortToDos(state.rows, ToDoOrder::kOpenFirst);
    state.sortColumn = -1;
    ListView_SetItemCountEx(state.list, static_cast<int>(state.rows.size()), 0);
    InvalidateRect(state.list, nullptr, TRUE);
}

// A click on a header: sorted by that column, the other way on a second click; ties keep the order
// they had.
void SortByColumn(ToDoListState& state, int column) {
    state.descending = column == state.sortColumn && !state.descending;
    state.sortColumn = column;
    const bool descending = state.descending;
    std::stable_sort(state.rows.begin(), state.rows.end(), [&](const ToDoRow& a, const ToDoRow& b) {
        return descending ? ColumnLess(b, a, column) : ColumnLess(a, b, column);
    });
    InvalidateRect(state.list, nullptr, TRUE);
}

// The to-do's meeting selected in the meeting list, the to-do in the item list and the quick view.
// False when the frame shows another store now (another user's): the list is stale.
bool SelectInFrame(Application& app, const ToDoRow& t) {
    const Meeting* meeting = app.meetings->MeetingAt(t.meetingIndex);
    if (meeting == nullptr || meeting->dwDBID != t.meetingId) return false;
    if (!app.meetingList || !app.itemList) return true;
    const int meetingRow = app.meetingList->RowOfParameter(t.meetingIndex);
    if (meetingRow < 0) return true;
    app.meetingList->SelectRow(meetingRow);
    ListView_EnsureVisible(app.meetingList->Window(), meetingRow, FALSE);
    RefillItemList(app, -1);
    int itemRow = -1;
    for (std::size_t e = 0; e < app.itemEntries.size() && itemRow < 0; ++e) {
        const MeetingItemEntry& entry = app.itemEntries[e];
        if (entry.kind == ItemKind::kToDo && entry.item.linkMapIndex == t.item.linkMapIndex)
            itemRow = app.itemList->RowOfParameter(static_cast<std::int64_t>(e));
    }
    if (itemRow >= 0) {
        app.itemList->SelectRow(itemRow);
        ListView_EnsureVisible(app.itemList->Window(), itemRow, FALSE);
    }
    ShowInQuickView(app, t.meetingIndex, itemRow);
    return true;
}

LRESULT OnNotify(ToDoListState& state, const NMHDR& header) {
    if (header.hwndFrom != state.list) return 0;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& info = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
            const auto row = static_cast<std::size_t>(info.item.iItem);
            if ((info.item.mask & LVIF_TEXT) == 0 || row >= state.rows.size()) return 0;
            state.text = CellText(state, state.rows[row], info.item.iSubItem);
            info.item.pszText = state.text.data();
            return 0;
        }
        case LVN_COLUMNCLICK: SortByColumn(state, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem); return 0;
        case NM_DBLCLK: {
            const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            if (row >= 0 && static_cast<std::size_t>(row) < state.rows.size() &&
                !SelectInFrame(*state.app, state.rows[static_cast<std::size_t>(row)]))
                Fill(state);
            return 0;
        }
        default: return 0;
    }
}

bool CreateList(HWND window, ToDoListState& state) {
    state.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToDoListControlId)),
                                 state.app->instance, nullptr);
    if (state.list == nullptr) return false;
    ListView_SetExtendedListViewStyle(state.list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    if (HDC dc = GetDC(window)) {
        state.font = MakeJapaneseFont(dc);
        ReleaseDC(window, dc);
        SendMessageW(state.list, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.Get()), TRUE);
    }
    for (int c = 0; c < kColumnCount; ++c) {
        std::wstring title = LoadText(state.app->instance, IDS_TODO_COLUMN_DUE + c);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = Scaled(kColumnWidths[c], state.app->dpi);
        column.iSubItem = c;
        SendMessageW(state.list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    return true;
}

LRESULT CALLBACK ToDoListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ToDoListState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE: {
            // The window takes the state over here and frees it at WM_NCDESTROY, which a failed
            // creation sends too.
            auto* given =
                static_cast<std::unique_ptr<ToDoListState>*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(given->release()));
            break;
        }
        case WM_CREATE: return state != nullptr && CreateList(window, *state) ? 0 : -1;
        case WM_SIZE:
            if (state != nullptr) MoveWindow(state->list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_NOTIFY:
            if (state != nullptr) return OnNotify(*state, *reinterpret_cast<NMHDR*>(lParam));
            return 0;
        case WM_NCDESTROY: {
            const std::unique_ptr<ToDoListState> owned(state);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (owned != nullptr && owned->app->toDoList == window) owned->app->toDoList = nullptr;
            break;
        }
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND ShowToDoList(Application& app) {
    if (app.meetings == nullptr) return nullptr;
    if (app.toDoList == nullptr) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(app.instance, kToDoListClass, &wc)) {
            wc.lpfnWndProc = ToDoListProcedure;
            wc.hInstance = app.instance;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = kToDoListClass;
            if (RegisterClassExW(&wc) == 0) return nullptr;
        }
        auto state = std::make_unique<ToDoListState>();
        state->app = &app;
        RECT frame{};
        GetWindowRect(app.frame, &frame);
        app.toDoList =
            CreateWindowExW(0, kToDoListClass, LoadText(app.instance, IDS_TODO_CAPTION).c_str(), WS_OVERLAPPEDWINDOW,
                            frame.left + Scaled(40, app.dpi), frame.top + Scaled(40, app.dpi), Scaled(820, app.dpi),
                            Scaled(420, app.dpi), app.frame, nullptr, app.instance, &state);
        if (app.toDoList == nullptr) return nullptr;
    }
    auto* state = reinterpret_cast<ToDoListState*>(GetWindowLongPtrW(app.toDoList, GWLP_USERDATA));
    Fill(*state);
    ShowWindow(app.toDoList, SW_SHOWNORMAL);
    SetForegroundWindow(app.toDoList);
    return app.toDoList;
}

}  // namespace tavolex::ui
