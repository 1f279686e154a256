#include "ui/pane_list_view.h"

#include "resources/string_table.h"
#include "ui/window_services.h"

#include <algorithm>
#include <numeric>

namespace tavolex::ui {

namespace {

constexpr int kIconIds[] = {146, 147, 205, 203, 204, 206, 207, 208, 209, 210, 211};
constexpr std::size_t kMaxCellBytes = 260;

DWORD ListStyle(PaneKind kind) {
    switch (kind) {
        case PaneKind::kMeetings:
            return WS_CHILD | WS_VISIBLE | LVS_OWNERDATA | LVS_SMALLICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        case PaneKind::kItems:
            return WS_CHILD | WS_VISIBLE | LVS_OWNERDATA | LVS_SMALLICON | LVS_SINGLESEL | LVS_EDITLABELS;
        case PaneKind::kReports:
            return WS_CHILD | WS_VISIBLE | LVS_OWNERDATA | LVS_SMALLICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                   LVS_EDITLABELS;
    }
    return WS_CHILD | WS_VISIBLE | LVS_OWNERDATA | LVS_SMALLICON;
}

UniqueImageList MakeImageList(HINSTANCE instance, int size) {
    UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
    if (!list) return list;
    for (int id : kIconIds) {
        HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
        ImageList_AddIcon(list.Get(), icon);
        if (icon != nullptr) DestroyIcon(icon);
    }
    return list;
}

}  // namespace

bool IsViewCode(std::uint32_t code) { return code >= 1 && code <= 4; }

DWORD ViewStyle(std::uint32_t code) {
    switch (code) {
        case 1: return LVS_REPORT;
        case 2: return LVS_ICON;
        case 3: return LVS_SMALLICON;
        case 4: return LVS_LIST;
        default: return 0;
    }
}

bool PaneListView::Create(HWND parent) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    window_ = CreateWindowExW(WS_EX_STATICEDGE, WC_LISTVIEWW, L"", ListStyle(kind_), 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), instance_, nullptr);
    if (window_ == nullptr) return false;
    if (kind_ == PaneKind::kReports) ListView_SetExtendedListViewStyle(window_, LVS_EX_GRIDLINES);
    // The state images of the rows come with their texts.
    ListView_SetCallbackMask(window_, LVIS_STATEIMAGEMASK);
    MakeImageLists();
    return true;
}

void PaneListView::MakeImageLists() {
    smallImages_ = MakeImageList(instance_, Scaled(16, dpi_));
    largeImages_ = MakeImageList(instance_, Scaled(32, dpi_));
    ListView_SetImageList(window_, smallImages_.Get(), LVSIL_SMALL);
    ListView_SetImageList(window_, largeImages_.Get(), LVSIL_NORMAL);
}

void PaneListView::SetDpi(unsigned dpi) {
    dpi_ = dpi;
    if (window_ != nullptr) MakeImageLists();
}

void PaneListView::CreateColumns() {
    int index = 0;
    for (const PaneColumn& column : PaneColumns(kind_)) {
        std::wstring title = Wide(StringTableText(column.titleId));
        LVCOLUMNW description{};
        description.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        description.fmt = column.alignment == ColumnAlignment::kLeft ? LVCFMT_LEFT : LVCFMT_RIGHT;
        description.cx = 1;
        description.pszText = title.data();
        description.iSubItem = index;
        if (SendMessageW(window_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&description)) < 0) {
            break;
        }
        ++index;
    }
    Sort(0, SortOrder::kAscending);
}

void PaneListView::IndexRows() {
    shown_.clear();
    shown_.reserve(order_.size());
    for (const std::int32_t k : order_) {
        if (!filter_ || filter_(rows_[static_cast<std::size_t>(k)])) shown_.push_back(k);
    }
    if (shownCount_) shownCount_(RowCount());
}

void PaneListView::ShowRows() {
    // With the drawing held, the count goes to nothing first: that clears the selection and the
    // focus at once, where asking which rows hold them walks the rows one by one. The icons are laid
    // out without an invalidation each. The control lays every icon out at its first drawing with
    // rows as well: that drawing is made here, once, off the screen, while the drawing is held.
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCountEx(window_, 0, 0);
    ListView_SetItemCountEx(window_, RowCount(), 0);
    ArrangeIcons();
    if (!drawnWithRows_ && RowCount() > 0) {
        DrawOffScreen();
        drawnWithRows_ = true;
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    if (RowCount() > 0) ListView_EnsureVisible(window_, 0, FALSE);
    InvalidateRect(window_, nullptr, TRUE);
}

void PaneListView::ArrangeIcons() {
    const LONG_PTR view = GetWindowLongPtrW(window_, GWL_STYLE) & LVS_TYPEMASK;
    if (view == LVS_ICON || view == LVS_SMALLICON) ListView_Arrange(window_, LVA_ALIGNTOP);
}

void PaneListView::DrawOffScreen() {
    HDC screen = GetDC(window_);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 1, 1);
    ReleaseDC(window_, screen);
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        SelectObject(memory, old);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
}

int PaneListView::Refill(int selectRow) {
    if (window_ == nullptr) return -1;
    rows_ = source_ ? source_() : std::vector<PaneRow>{};
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), 0);
    IndexRows();
    ShowRows();
    FitColumns();
    if (selectRow != -1) SelectRow(selectRow);
    return RowCount();
}

void PaneListView::FitColumns() {
    // The width the list shows: a list made wider than its pane (as the quick view's refresh makes
    // the meeting and report lists) is cut by the windows around it, and its columns are shared out
    // over what shows.
    RECT client{};
    GetClientRect(window_, &client);
    int width = client.right - client.left;
    RECT shown = client;
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&shown), 2);
    for (HWND around = GetParent(window_); around != nullptr; around = GetParent(around)) {
        RECT area{};
        GetClientRect(around, &area);
        MapWindowPoints(around, nullptr, reinterpret_cast<POINT*>(&area), 2);
        IntersectRect(&shown, &shown, &area);
        if ((GetWindowLongPtrW(around, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    if (shown.right > shown.left) width = std::min(width, static_cast<int>(shown.right - shown.left));
    // Every column but the first is at least as wide as its widest text among the first rows (the
    // font grows with the display's scale, the share of the width need not), up to the whole width:
    // a list too narrow for its texts scrolls sideways rather than cut them.
    HDC dc = GetDC(window_);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window_, WM_GETFONT, 0, 0)));
    const int columns = static_cast<int>(PaneColumns(kind_).size());
    for (int column = 0; column < columns; ++column) {
        int columnWidth = PaneColumnWidth(kind_, width, column, static_cast<int>(dpi_));
        int widest = 0;
        for (int row = 0; column > 0 && row < std::min(RowCount(), kFittedRows); ++row) {
            const std::wstring text = Wide(RowText(row, column));
            SIZE size{};
            if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
                widest = std::max(widest, static_cast<int>(size.cx));
        }
        if (widest > 0) columnWidth = std::max(columnWidth, std::min(widest + Scaled(kTextPadding, dpi_), width));
        ListView_SetColumnWidth(window_, column, columnWidth);
    }
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
}

void PaneListView::Sort(int column, SortOrder order) {
    if (column < 0 || column >= static_cast<int>(PaneColumns(kind_).size())) return;
    const int selected = SelectedRow();
    const std::int64_t selectedParameter = RowParameter(selected);
    const auto col = static_cast<std::size_t>(column);
    sorter_.Sort(
        order_, [this, col](std::int32_t k) { return std::string_view(rows_[static_cast<std::size_t>(k)].texts[col]); },
        order);
    IndexRows();
    ShowRows();
    if (selected >= 0) SelectRow(RowOfParameter(selectedParameter));
}

bool PaneListView::Refilter() {
    if (window_ == nullptr) return true;
    const int selected = SelectedRow();
    const std::int64_t selectedParameter = RowParameter(selected);
    IndexRows();
    ShowRows();
    if (selected < 0) return true;
    const int row = RowOfParameter(selectedParameter);
    SelectRow(row);
    return row >= 0;
}

bool PaneListView::SetView(std::uint32_t code) {
    if (!IsViewCode(code) || window_ == nullptr) return false;
    const DWORD style = ViewStyle(code);
    const LONG_PTR current = GetWindowLongPtrW(window_, GWL_STYLE);
    if ((current & LVS_TYPEMASK) != static_cast<LONG_PTR>(style)) {
        SetWindowLongPtrW(window_, GWL_STYLE, (current & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | style);
    }
    Arrange();
    return true;
}

void PaneListView::Arrange() {
    if (window_ == nullptr) return;
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ArrangeIcons();
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

std::uint32_t PaneListView::View() const {
    switch (GetWindowLongPtrW(window_, GWL_STYLE) & LVS_TYPEMASK) {
        case LVS_REPORT: return 1;
        case LVS_ICON: return 2;
        case LVS_SMALLICON: return 3;
        case LVS_LIST: return 4;
        default: return 0;
    }
}

void PaneListView::ClearSelection() {
    if (window_ != nullptr) ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
}

int PaneListView::SelectedRow() const {
    if (window_ == nullptr || ListView_GetSelectedCount(window_) == 0) return -1;
    // The focused row is found at once and is the selected one but for a selection made without the
    // focus; only then are the rows walked.
    const int focused = ListView_GetNextItem(window_, -1, LVNI_FOCUSED | LVNI_SELECTED);
    return focused >= 0 ? focused : ListView_GetNextItem(window_, -1, LVNI_SELECTED);
}

void PaneListView::SelectRow(int row) {
    if (window_ == nullptr || row < 0 || row >= RowCount()) return;
    ListView_SetItemState(window_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, row, FALSE);
}

std::int64_t PaneListView::RowParameter(int row) const {
    if (window_ == nullptr || row < 0 || row >= RowCount()) return -1;
    return Shown(row).parameter;
}

int PaneListView::RowOfParameter(std::int64_t parameter) const {
    for (int row = 0; row < RowCount(); ++row) {
        if (Shown(row).parameter == parameter) return row;
    }
    return -1;
}

std::string PaneListView::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kPaneMaxColumns) return {};
    std::string text = Shown(row).texts[column];
    if (text.size() >= kMaxCellBytes) text.resize(kMaxCellBytes - 1);
    return text;
}

void PaneListView::SetRowText(int row, int column, std::string cp932) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kPaneMaxColumns) return;
    Shown(row).texts[column] = std::move(cp932);
    ListView_RedrawItems(window_, row, row);
}

void PaneListView::SetRowStateImage(int row, std::uint32_t state) {
    if (row < 0 || row >= RowCount()) return;
    Shown(row).state = state & LVIS_STATEIMAGEMASK;
    ListView_RedrawItems(window_, row, row);
}

void PaneListView::SupplyText(NMLVDISPINFOW& info) {
    const int row = info.item.iItem;
    if (row < 0 || row >= RowCount()) return;
    const PaneRow& shown = Shown(row);
    if ((info.item.mask & LVIF_IMAGE) != 0) info.item.iImage = static_cast<int>(shown.icon);
    if ((info.item.mask & LVIF_STATE) != 0) {
        info.item.state =
            (info.item.state & ~LVIS_STATEIMAGEMASK) | (shown.state & info.item.stateMask & LVIS_STATEIMAGEMASK);
    }
    if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr || info.item.cchTextMax <= 0) return;
    const int column = info.item.iSubItem;
    textBuffer_.clear();
    if (column >= 0 && column < kPaneMaxColumns) textBuffer_ = Wide(RowText(row, column));
    const std::size_t n = std::min(textBuffer_.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
    textBuffer_.copy(info.item.pszText, n);
    info.item.pszText[n] = L'\0';
}

int PaneListView::FindRow(const NMLVFINDITEMW& find) const {
    if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) return -1;
    const std::string text = Narrow(find.lvfi.psz);
    return FindPaneRow(
        RowCount(), [this](std::int32_t row) { return std::string_view(Shown(row).texts[0]); }, find.iStart,
        PaneFind{text, (find.lvfi.flags & LVFI_PARTIAL) != 0, (find.lvfi.flags & LVFI_WRAP) != 0});
}

void PaneListView::Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    rows_.clear();
    order_.clear();
    shown_.clear();
}

}  // namespace tavolex::ui
