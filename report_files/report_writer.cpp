#include "report_files/report_writer.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/report_file.h"
#include "report/report_folder.h"
#include "report_files/template_images.h"

#include <cstdio>
#include <exception>
#include <string>
#include <system_error>

namespace tavolex {
namespace {

constexpr std::string_view kCaption = "Tavolex";

void MakeOutputFolder(const ReportOptions& options) {
    if (!options.makeOutputFolder) return;
    std::error_code ec;  // a folder that can't be made fails the write that follows
    std::filesystem::create_directories(options.outputFolder, ec);
}

}  // namespace

ReportWriter::ReportWriter(ReportFolder& generator, platform::UserInteraction& ui)
    : generator_(generator), ui_(ui), optionsSource_([] { return ReportOptions{}; }) {}

bool ReportWriter::LoadTemplateFile(const std::filesystem::path& path) {
    platform::UniqueFile file = platform::OpenFile(path, "rb");
    if (!file) {
        ui_.ShowMessage("Unable to open this template.  Please check your settings in <File><Preferences>.", kCaption,
                        platform::MessageIcon::kInformation);
        return false;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        ui_.ShowMessage("GetFileSize failed!", "", platform::MessageIcon::kNone);
        return false;
    }
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        ui_.ShowMessage("GlobalAlloc failed!", "", platform::MessageIcon::kNone);
        return false;
    }
    const std::size_t read = text.empty() ? 0 : std::fread(text.data(), 1, text.size(), file.get());
    if (read == 0) {
        ui_.ShowMessage("This template is currently empty and cannot be used.", kCaption,
                        platform::MessageIcon::kInformation);
        return false;
    }
    text.resize(read);
    // A template named by a bare relative name lies in the working folder.
    generator_.SetTemplate(std::move(text), path.has_parent_path() ? path.parent_path() : std::filesystem::path("."));
    return true;
}

bool ReportWriter::WriteTemplateReport(const std::filesystem::path& reportPath, const Meeting& meeting) {
    const ReportOptions options = optionsSource_();
    MakeOutputFolder(options);
    ReportFile file;
    if (!file.Begin(reportPath)) {
        ShowWriteFailure();
        return false;
    }
    const std::string expanded = generator_.ExpandForMeeting(generator_.TemplateText(), meeting, options);
    const std::string text = CollectTemplateImages(expanded, generator_.ReportTokenSpans(), generator_.TemplateFolder(),
                                                   options.outputFolder);
    if (!file.Commit(text)) {
        ShowWriteFailure();
        return false;
    }
    Finish(reportPath);
    return true;
}

bool ReportWriter::WriteBuiltInReport(const std::filesystem::path& reportPath, const Meeting& meeting,
                                      ReportKind kind) {
    const ReportOptions options = optionsSource_();
    MakeOutputFolder(options);  // before the report's pictures are written into it
    const std::string text = generator_.ComposeBuiltInReport(meeting, kind, options);
    ReportFile file;
    if (!file.Begin(reportPath) || !file.Commit(text)) {
        ShowWriteFailure();
        return false;
    }
    Finish(reportPath);
    return true;
}

void ReportWriter::ShowWriteFailure() {
    ui_.ShowMessage("Writing report failed.\nThe file may be locked by another application.", "Tavolex Report",
                    platform::MessageIcon::kInformation);
}

void ReportWriter::Finish(const std::filesystem::path& reportPath) {
    for (const std::filesystem::path& picture : generator_.UnwrittenPictures()) {
        ui_.ShowMessage("The sketch picture " + platform::PathToCp932(picture) + " could not be written.",
                        "Tavolex Report", platform::MessageIcon::kInformation);
    }
    if (viewer_) viewer_(reportPath);
}

}  // namespace tavolex
