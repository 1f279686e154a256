#pragma once
// The frame's bars: the rebar with the tool bar and the Palm user box.

#include "views/pane_row.h"

#include <windows.h>

#include <vector>

namespace tavolex::ui {

struct Application;
class PaneListView;

// Makes the rebar, its tool bar band and its user box band, and takes the bar's height.
void CreateBars(Application& app, HWND frame);
// Fills the user box from the user list and selects the current user.
void FillUserBox(Application& app);
// Remakes the bars' pictures and font at the frame's new scale and takes the bar's height again.
void ScaleBars(Application& app);
// Gives the meeting list its rows from the store and its filter: the meetings the find box's text
// finds while it holds one, their number shown beside the box.
void FilterMeetingList(Application& app, PaneListView& list);
// Makes the find box, height pixels high, as a child of the rebar.
HWND CreateFindBox(Application& app, int height);
// Draws an entry of the owner-drawn user box.
void DrawUserBoxItem(Application& app, const DRAWITEMSTRUCT& item);

}  // namespace tavolex::ui
