#pragma once
// The frame's bars: the rebar with the tool bar and the Palm user box.

#include "views/pane_row.h"

#include <windows.h>

#include <vector>

namespace tavolex::ui {

struct Application;

// Makes the rebar, its tool bar band and its user box band, and takes the bar's height.
void CreateBars(Application& app, HWND frame);
// Fills the user box from the user list and selects the current user.
void FillUserBox(Application& app);
// Remakes the bars' pictures and font at the frame's new scale and takes the bar's height again.
void ScaleBars(Application& app);
// The meeting list's rows, only those the find box's text finds when it holds one.
std::vector<PaneRow> FilteredMeetingRows(Application& app);
// Makes the find box, height pixels high, as a child of the rebar.
HWND CreateFindBox(Application& app, int height);
// Draws an entry of the owner-drawn user box.
void DrawUserBoxItem(Application& app, const DRAWITEMSTRUCT& item);

}  // namespace tavolex::ui
