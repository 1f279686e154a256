#pragma once
// Opening a report: an HTML report in the viewer of the user's settings, anything else with the
// program the system associates with it. Nothing waits for the viewer.

#include <cstdint>
#include <filesystem>
#include <functional>

namespace tavolex {
namespace platform {
class Launcher;
class UserInteraction;
}  // namespace platform

// Opens a finished report (the viewer of the user's settings, or the system's handler).
using ReportViewer = std::function<void(const std::filesystem::path&)>;

inline constexpr std::uint32_t kAutoViewBrowser = 2;  // "AutoView": open HTML reports with BrowserPath

struct ViewerSettings {
    std::uint32_t autoView = kAutoViewBrowser;  // "AutoView"
    std::filesystem::path browserPath;          // "BrowserPath"
};

enum class OpenOutcome {
    kEmptyPath,  // nothing was done (the one case the desktop program reports as false)
    kViewerStarted,
    kViewerFailed,  // after the launch-failure message
    kHandlerStarted,
    kNotFound,       // after the file-not-found message
    kHandlerFailed,  // the system had no handler to start; nothing shown
};

// A path ending exactly in ".htm" with AutoView 2 goes to BrowserPath with the path as its one
// argument; every other path (".html" and ".rtf" included) to the system's "open" handler.
OpenOutcome OpenReportPath(const std::filesystem::path& path, const ViewerSettings& settings,
                           platform::Launcher& launcher, platform::UserInteraction& ui);

// The viewer of the report writers: reads the settings at each call, so a change in the
// Preferences dialog holds for the next report.
ReportViewer MakeReportViewer(std::function<ViewerSettings()> settings, platform::Launcher& launcher,
                              platform::UserInteraction& ui);

}  // namespace tavolex
