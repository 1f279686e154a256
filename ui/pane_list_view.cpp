#include "ui/pane_list_view.h"

#include "resources/string_table.h"
#include "ui/window_services.h"

#include <algorithm>

namespace tavolex::ui {

namespace {

constexpr int kIconIds[] = {146, 147, 205, 203, 204, 206, 207, 208, 209, 210, 211};
constexpr std::size_t kMaxCellBytes = 260;

DWORD ListStyle(PaneKind kind) {
    switch (kind) {
        case PaneKind::kMeetings: return WS_CHILD | WS_VISIBLE | LVS_SMALLICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        case PaneKind::kItems: return WS_CHILD | WS_VISIBLE | LVS_SMALLICON | LVS_SINGLESEL | LVS_EDITLABELS;
        case PaneKind::kReports:
            return WS_CHILD | WS_VISIBLE | LVS_SMALLICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS;
    }
    return WS_CHILD | WS_VISIBLE | LVS_SMALLICON;
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

bool PaneListView::Create(HWND parent, bool fillNow) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    window_ = CreateWindowExW(WS_EX_STATICEDGE, WC_LISTVIEWW, L"", ListStyle(kind_), 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListControlId)), instance_, nullptr);
    if (window_ == nullptr) return false;
    if (kind_ == PaneKind::kReports) ListView_SetExtendedListViewStyle(window_, LVS_EX_GRIDLINES);
    MakeImageLists();
    if (fillNow && kind_ != PaneKind::kItems && source_) {
        rows_ = source_();
        if (!InsertRows()) {
            DestroyWindow(window_);
            window_ = nullptr;
            return false;
        }
    }
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

bool PaneListView::InsertRows() {
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(window_);
    bool ok = true;
    for (std::size_t slot = 0; slot < rows_.size(); ++slot) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        item.iItem = static_cast<int>(slot);
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.iImage = static_cast<int>(rows_[slot].icon);
        item.state = rows_[slot].state;
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.lParam = static_cast<LPARAM>(slot);
        if (SendMessageW(window_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) {
            rows_.resize(slot);
            ok = false;
            break;
        }
    }
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
    return ok;
}

int PaneListView::Refill(int selectRow) {
    if (window_ == nullptr) return -1;
    rows_ = source_ ? source_() : std::vector<PaneRow>{};
    const bool ok = InsertRows();
    RECT client{};
    GetClientRect(window_, &client);
    const int columns = static_cast<int>(PaneColumns(kind_).size());
    for (int column = 0; column < columns; ++column) {
        ListView_SetColumnWidth(window_, column,
                                PaneColumnWidth(kind_, client.right - client.left, column, static_cast<int>(dpi_)));
    }
    if (selectRow != -1) SelectRow(selectRow);
    return ok ? RowCount() : -1;
}

void PaneListView::Sort(int column, SortOrder order) {
    if (column < 0 || column >= static_cast<int>(PaneColumns(kind_).size())) return;
    const int selected = SelectedRow();
    const std::int64_t selectedSlot = selected >= 0 ? selected : -1;
    std::vector<std::int32_t> order_ = PaneSortOrder(
        RowCount(),
        [&](std::int32_t row) { return std::string_view(rows_[static_cast<std::size_t>(row)].texts[column]); }, order);
    std::vector<PaneRow> sorted;
    sorted.reserve(rows_.size());
    int newSelected = -1;
    for (std::size_t k = 0; k < order_.size(); ++k) {
        if (order_[k] == selectedSlot) newSelected = static_cast<int>(k);
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order_[k])]));
    }
    rows_ = std::move(sorted);
    InsertRows();
    if (newSelected != -1) SelectRow(newSelected);
}

bool PaneListView::SetView(std::uint32_t code) {
    if (!IsViewCode(code) || window_ == nullptr) return false;
    const DWORD style = ViewStyle(code);
    const LONG_PTR current = GetWindowLongPtrW(window_, GWL_STYLE);
    if ((current & LVS_TYPEMASK) != static_cast<LONG_PTR>(style)) {
        SetWindowLongPtrW(window_, GWL_STYLE, (current & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | style);
    }
    ListView_Arrange(window_, LVA_ALIGNTOP);
    return true;
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
    return window_ != nullptr ? ListView_GetNextItem(window_, -1, LVNI_SELECTED) : -1;
}

void PaneListView::SelectRow(int row) {
    if (window_ == nullptr || row < 0 || row >= RowCount()) return;
    ListView_SetItemState(window_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, row, FALSE);
}

std::int64_t PaneListView::RowParameter(int row) const {
    if (window_ == nullptr || row < 0) return -1;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(window_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    const auto slot = static_cast<std::size_t>(item.lParam);
    return slot < rows_.size() ? rows_[slot].parameter : -1;
}

std::string PaneListView::RowText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kPaneMaxColumns) return {};
    std::string text = rows_[static_cast<std::size_t>(row)].texts[column];
    if (text.size() >= kMaxCellBytes) text.resize(kMaxCellBytes - 1);
    return text;
}

void PaneListView::SetRowText(int row, int column, std::string cp932) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kPaneMaxColumns) return;
    rows_[static_cast<std::size_t>(row)].texts[column] = std::move(cp932);
    ListView_RedrawItems(window_, row, row);
}

void PaneListView::SupplyText(NMLVDISPINFOW& info) {
    if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr || info.item.cchTextMax <= 0) return;
    const auto slot = static_cast<std::size_t>(info.item.lParam);
    const int column = info.item.iSubItem;
    textBuffer_.clear();
    if (slot < rows_.size() && column >= 0 && column < kPaneMaxColumns) {
        std::string cell = rows_[slot].texts[column];
        if (cell.size() >= kMaxCellBytes) cell.resize(kMaxCellBytes - 1);
        textBuffer_ = Wide(cell);
    }
    const std::size_t n = std::min(textBuffer_.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
    textBuffer_.copy(info.item.pszText, n);
    info.item.pszText[n] = L'\0';
}

void PaneListView::Destroy() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    rows_.clear();
}

}  // namespace tavolex::ui
