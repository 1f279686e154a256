#pragma once
// The frame's bars: the rebar with the tool bar and the Palm user box.

#include <windows.h>

namespace tavolex::ui {

struct Application;

// Makes the rebar, its tool bar band and its user box band, and takes the bar's height.
void CreateBars(Application& app, HWND frame);
// Fills the user box from the user list and selects the current user.
void FillUserBox(Application& app);
// Draws an entry of the owner-drawn user box.
void DrawUserBoxItem(Application& app, const DRAWITEMSTRUCT& item);

}  // namespace tavolex::ui
