#pragma once
// The values of the Preferences dialog: the viewer program, the report output folder, the
// template folder and how HTML reports are opened, as stored in the current Palm user's key.

#include <cstdint>
#include <filesystem>

namespace tavolex {

struct ApplicationSettings;

// "AutoView": open HTML reports with the "BrowserPath" program, or with the program the system
// associates with them.
inline constexpr std::uint32_t kAutoViewWithBrowserPath = 2;
inline constexpr std::uint32_t kAutoViewWithAssociation = 1;

struct PreferencesOptions {
    std::filesystem::path browserPath;
    std::filesystem::path outputPath;
    std::filesystem::path templatePath;
    std::uint32_t autoView = kAutoViewWithBrowserPath;  // anything but 2 counts as kAutoViewWithAssociation
};

// The four values from the current user's key (paths of at most 511 bytes; missing ones empty).
PreferencesOptions LoadPreferences(ApplicationSettings& settings);

// The paths can be stored: none is empty, and each fits the 512-byte buffer the program reads
// it back with (a longer one would read back as missing).
[[nodiscard]] bool PreferencePathsAcceptable(const PreferencesOptions& options);

// OK of the dialog. Stores "AutoView" (1 or 2) in the current user's key in every case; then,
// when the paths are acceptable, takes them as the in-memory settings and stores "OutputPath",
// "BrowserPath" and "TemplatePath" in the current user's key once for each of the Palm users marked
// current, `currentUsers` of them (with none marked they last until the program ends). False when the paths were
// refused and nothing but "AutoView" was stored.
[[nodiscard]] bool SavePreferences(ApplicationSettings& settings, int currentUsers, const PreferencesOptions& options);

// The system's default web browser as the in-memory viewer program; returns it (empty when none
// is known). Nothing is stored.
std::filesystem::path UseDefaultBrowser(ApplicationSettings& settings);

}  // namespace tavolex
