#pragma once
// The Preferences dialog (resource 225): the viewer program and how HTML reports are opened, the
// report output folder and the template folder of the current Palm user.

#include "views/preferences_settings.h"

#include <windows.h>

#include <filesystem>
#include <functional>

namespace tavolex::platform {
class UserInteraction;
}  // namespace tavolex::platform

namespace tavolex::ui {

struct Application;
struct Choosers;
class FrameInteraction;

inline constexpr int kPreferencesDialogId = 225;

// Control ids of dialog 225.
inline constexpr int kPrefExplanationId = 1052;
inline constexpr int kPrefViewerGroupId = 1053;
inline constexpr int kPrefViewerRadioId = 1077;
inline constexpr int kPrefViewerEditId = 1009;
inline constexpr int kPrefDefaultViewerId = 1010;
inline constexpr int kPrefChooseViewerId = 1031;
inline constexpr int kPrefAssociatedRadioId = 1078;
inline constexpr int kPrefOutputGroupId = 1054;
inline constexpr int kPrefOutputEditId = 1007;
inline constexpr int kPrefChooseOutputId = 1032;
inline constexpr int kPrefOpenOutputId = 1033;
inline constexpr int kPrefTemplateGroupId = 1055;
inline constexpr int kPrefTemplateEditId = 1008;
inline constexpr int kPrefChooseTemplateId = 1034;
inline constexpr int kPrefOpenTemplateId = 1035;

// What the dialog's buttons do beyond moving values between the controls and the options; the
// choosers and the messages come from the application's replaceable sets.
struct PreferencesDialogActions {
    // "通常設定": the system's default web browser.
    std::function<std::filesystem::path()> defaultBrowser;
    // The stored viewer program: where the program chooser starts, and what a cancel shows.
    std::function<std::filesystem::path()> storedBrowser;
    // "OK" with the values of the controls; false keeps the dialog open.
    std::function<bool(const PreferencesOptions&)> accept;
    // The folder and program choosers, the messages, and the frame's message owner, which the
    // dialog takes over while it is up so that it waits for the messages.
    const Choosers* choosers = nullptr;
    platform::UserInteraction* ui = nullptr;
    FrameInteraction* messageOwner = nullptr;
};

// Runs the dialog modally, showing options; after IDOK options holds the accepted values.
INT_PTR ShowPreferencesDialog(HWND parent, PreferencesOptions& options, const PreferencesDialogActions& actions);

// Actions over the current Palm user's settings: the default browser becomes the in-memory
// viewer program at once; OK stores through SavePreferences and tells the user (string 212)
// when the paths are refused.
PreferencesDialogActions CurrentUserPreferencesActions(Application& app);

}  // namespace tavolex::ui
