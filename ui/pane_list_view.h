#pragma once
// PaneListView: the list-view control of one of the three lists of the main window (meetings,
// items, reports). The control holds only a count (an owner-data list): the rows stay here as
// PaneRow records, and the control asks for each cell's text and icon when it draws it, so a full
// store of 65,520 meetings fills the list as fast as a few. The rows shown are an index over the
// rows in their sorted order, those the filter passes; a sort or a filter reorders the index and
// sets the count again, and the selection follows the row's parameter, the meeting index, item
// entry index or report position the row stands for.

#include "platform/win32/unique_handle.h"
#include "views/pane_layout.h"
#include "views/pane_row.h"
#include "views/pane_sort.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavolex::ui {

using platform::win32::UniqueImageList;

// The control id every list carries.
inline constexpr int kListControlId = 3000;

// The view codes the settings store: 1 details, 2 large icons, 3 small icons, 4 list.
enum class ViewCode : std::uint32_t { kDetails = 1, kLargeIcons = 2, kSmallIcons = 3, kList = 4 };
// Whether the code names a view, and the list-view style of it (LVS_ICON, which is 0, for any
// other code).
bool IsViewCode(std::uint32_t code);
DWORD ViewStyle(std::uint32_t code);

class PaneListView {
public:
    using RowSource = std::function<std::vector<PaneRow>()>;
    using RowFilter = std::function<bool(const PaneRow&)>;

    PaneListView(PaneKind kind, HINSTANCE instance) : kind_(kind), instance_(instance) {}
    PaneListView(const PaneListView&) = delete;
    PaneListView& operator=(const PaneListView&) = delete;

    // Where the rows of a refill come from.
    void SetRowSource(RowSource source) { source_ = std::move(source); }
    // Which rows are shown (none set: all), and what is told the number shown after each change.
    void SetRowFilter(RowFilter filter, std::function<void(int)> shownCount) {
        filter_ = std::move(filter);
        shownCount_ = std::move(shownCount);
    }
    // Applies the filter again to the rows in their order, keeping the selected row's parameter
    // selected while it is shown. False when a row was selected and is no longer shown.
    bool Refilter();

    // Creates the control, empty, in the parent pane with its two image lists (Refill gives it its
    // rows). False when the control can't be made.
    bool Create(HWND parent);
    // The columns of the kind, width 1, then a sort by column 0 ascending.
    void CreateColumns();
    // Replaces every row, sets the column widths and selects selectRow (none for -1). The
    // number of rows, or -1 when a row could not be inserted.
    int Refill(int selectRow);
    // Sorts the rows by column (columns the list lacks: nothing happens).
    void Sort(int column, SortOrder order);
    // Switches to the view of the code and arranges the icons at the top; an unknown code
    // changes nothing. False for an unknown code.
    bool SetView(std::uint32_t code);
    // Lays the icons out again from the top in the icon views, with the drawing held meanwhile (the
    // control would otherwise invalidate each icon it moves, one call to the window system each).
    void Arrange();
    [[nodiscard]] std::uint32_t View() const;
    void ClearSelection();
    // The first selected row, or -1.
    [[nodiscard]] int SelectedRow() const;
    void SelectRow(int row);
    // The parameter of the row, -1 when there is no such row.
    [[nodiscard]] std::int64_t RowParameter(int row) const;
    // The CP932 text of a cell, at most 260 bytes; "" outside the rows.
    [[nodiscard]] std::string RowText(int row, int column) const;
    [[nodiscard]] int RowCount() const { return static_cast<int>(shown_.size()); }
    // Sets the row's new name (after a rename) without a refill.
    void SetRowText(int row, int column, std::string cp932);
    // Sets the row's state image bits (INDEXTOSTATEIMAGEMASK) until the next refill.
    void SetRowStateImage(int row, std::uint32_t state);
    // The row showing the parameter, or -1.
    [[nodiscard]] int RowOfParameter(std::int64_t parameter) const;

    // LVN_GETDISPINFOW: fills in the text, icon and state image the control asks for.
    void SupplyText(NMLVDISPINFOW& info);
    // LVN_ODFINDITEMW, the control's type-ahead find: the row whose name begins with (or is) the
    // text typed, or -1.
    [[nodiscard]] int FindRow(const NMLVFINDITEMW& find) const;

    // The pixels per inch the images and the column widths follow; remakes the image lists of a
    // list that exists.
    void SetDpi(unsigned dpi);

    [[nodiscard]] HWND Window() const { return window_; }
    [[nodiscard]] PaneKind Kind() const { return kind_; }
    void Destroy();

private:
    // The index of the rows the filter passes, in their order.
    void IndexRows();
    // Sets the control's count to the rows shown, with nothing selected or focused, scrolled to the top.
    void ShowRows();
    // Sets the columns' widths for the rows shown.
    void FitColumns();
    static constexpr int kFittedRows = 100;  // rows whose texts a column's width is fitted to
    static constexpr int kTextPadding = 16;  // pixels at 96 per inch beside a column's text
    // Lays the icons out from the top in the icon views; the caller holds the drawing.
    void ArrangeIcons();
    // Has the control draw itself into a bitmap of a pixel, so that what it works out at its first
    // drawing is worked out while the caller holds the drawing.
    void DrawOffScreen();
    [[nodiscard]] const PaneRow& Shown(int row) const {
        return rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])];
    }
    [[nodiscard]] PaneRow& Shown(int row) {
        return rows_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])];
    }
    void MakeImageLists();

    PaneKind kind_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    RowSource source_;
    RowFilter filter_;
    std::function<void(int)> shownCount_;
    std::vector<PaneRow> rows_;        // every row, in the order of the source
    std::vector<std::int32_t> order_;  // every row in the order of the last sort: positions in rows_
    std::vector<std::int32_t> shown_;  // the rows shown, in that order: positions in rows_
    PaneSorter sorter_;
    std::wstring textBuffer_;
    UniqueImageList smallImages_;
    UniqueImageList largeImages_;
    unsigned dpi_ = 96;
    bool drawnWithRows_ = false;  // the control has drawn itself once with rows
};

}  // namespace tavolex::ui
