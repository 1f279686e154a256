#pragma once
// The Preferences dialog (resource 225): the viewer program and how HTML reports are opened, the
// report output folder and the template folder of the current Palm user.

#include "resources/control_ids.h"
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

inline constexpr int kPreferencesDialogId = IDD_PREFERENCES;

// Control ids of dialog 225.
inline constexpr int kPrefExplanationId = IDC_PREF_EXPLANATION;
inline constexpr int kPrefViewerGroupId = IDC_PREF_VIEWER_GROUP;
inline constexpr int kPrefViewerRadioId = IDC_PREF_VIEWER_RADIO;
inline constexpr int kPrefViewerEditId = IDC_PREF_VIEWER_EDIT;
inline constexpr int kPrefDefaultViewerId = IDC_PREF_DEFAULT_VIEWER;
inline constexpr int kPrefChooseViewerId = IDC_PREF_CHOOSE_VIEWER;
inline constexpr int kPrefAssociatedRadioId = IDC_PREF_ASSOCIATED_RADIO;
inline constexpr int kPrefOutputGroupId = IDC_PREF_OUTPUT_GROUP;
inline constexpr int kPrefOutputEditId = IDC_PREF_OUTPUT_EDIT;
inline constexpr int kPrefChooseOutputId = IDC_PREF_CHOOSE_OUTPUT;
inline constexpr int kPrefOpenOutputId = IDC_PREF_OPEN_OUTPUT;
inline constexpr int kPrefTemplateGroupId = IDC_PREF_TEMPLATE_GROUP;
inline constexpr int kPrefTemplateEditId = IDC_PREF_TEMPLATE_EDIT;
inline constexpr int kPrefChooseTemplateId = IDC_PREF_CHOOSE_TEMPLATE;
inline constexpr int kPrefOpenTemplateId = IDC_PREF_OPEN_TEMPLATE;

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
// viewer program at once; OK stores through SavePreferences and tells the user (IDS_PREF_PATHS_REFUSED)
// when the paths are refused.
PreferencesDialogActions CurrentUserPreferencesActions(Application& app);

}  // namespace tavolex::ui
