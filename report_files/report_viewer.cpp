#include "report_files/report_viewer.h"

#include "platform/launch.h"
#include "platform/platform.h"

namespace tavolex {
namespace {

constexpr std::string_view kViewerFailed =
    "Unable to launch viewer, check settings in Tools > Options > Preferred HTML Viewer.";
constexpr std::string_view kFileMissing = "Unable to open file, it may no longer exist.";

bool EndsInHtm(const std::filesystem::path& path) {
    using Char = std::filesystem::path::value_type;
    static constexpr Char kHtm[] = {Char('.'), Char('h'), Char('t'), Char('m')};
    return path.native().ends_with(std::basic_string_view<Char>(kHtm, 4));
}

}  // namespace

OpenOutcome OpenReportPath(const std::filesystem::path& path, const ViewerSettings& settings,
                           platform::Launcher& launcher, platform::UserInteraction& ui) {
    if (path.empty()) return OpenOutcome::kEmptyPath;
    if (EndsInHtm(path) && settings.autoView == kAutoViewBrowser) {
        if (launcher.StartProgram(settings.browserPath, path)) return OpenOutcome::kViewerStarted;
        ui.ShowMessage(kViewerFailed, "", platform::MessageIcon::kNone);
        return OpenOutcome::kViewerFailed;
    }
    switch (launcher.OpenWithHandler(path, platform::ShellVerb::kOpen)) {
        case platform::HandlerResult::kStarted: return OpenOutcome::kHandlerStarted;
        case platform::HandlerResult::kNotFound:
            ui.ShowMessage(kFileMissing, "", platform::MessageIcon::kNone);
            return OpenOutcome::kNotFound;
        case platform::HandlerResult::kFailed: break;
    }
    return OpenOutcome::kHandlerFailed;
}

ReportViewer MakeReportViewer(std::function<ViewerSettings()> settings, platform::Launcher& launcher,
                              platform::UserInteraction& ui) {
    return [settings = std::move(settings), &launcher, &ui](const std::filesystem::path& path) {
        (void)OpenReportPath(path, settings(), launcher, ui);
    };
}

}  // namespace tavolex
