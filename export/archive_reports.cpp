#include "export/archive_reports.h"

#include "base/ascii.h"
#include "export/html_text.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/report_file.h"
#include "report/report_folder.h"
#include "report_files/template_images.h"

#include <array>
#include <cstdio>
#include <filesystem>

namespace tavolex::archive {
namespace {

// The colours a worker's report starts from: text no template writes, so a report that shows them
// is one whose colours come from the report before it, and is written again on the calling thread
// once those are known.
const std::string kEarlierColor1("\0tavolex earlier colour 1\0", 26);
const std::string kEarlierColor2("\0tavolex earlier colour 2\0", 26);

// A report as ReportFile writes it (LF as CR LF), through a new file moved over its name (a link
// or a hard-linked copy there is replaced, never written through), without the flush to the disk
// each single report gets: an archive is a folder of thousands written at once, and a run that
// fails part-way is simply run again.
bool WriteArchiveFile(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::path temp;
    std::error_code error;
    platform::UniqueFile file = platform::CreateTemporaryFor(path, temp, error);
    if (!file) return false;
    // Most reports then go out in one write, not one per 4 KiB; the file is closed before this
    // returns.
    platform::UseThreadWriteBuffer(file.get());
    const bool written = WriteWithCrLf(file.get(), text);
    if (std::fclose(file.release()) == 0 && written) return !platform::MoveInPlace(temp, path);
    std::filesystem::remove(temp, error);
    return false;
}

bool IsHtmlExtension(std::string_view extension) {
    const std::string lower = LowerAsciiText(extension);
    return lower == ".htm" || lower == ".html";
}

}  // namespace

std::string ReportExtension(const ArchiveOptions& options) {
    return options.templatePath.empty() ? ".htm" : platform::PathToCp932(options.templatePath.extension());
}

ReportRenderer::ReportRenderer(const MeetingDatabase& store, const ArchiveOptions& options, ReportOptions reportOptions)
    : store_(store), options_(options), reportOptions_(std::move(reportOptions)) {
    extension_ = ReportExtension(options);
    htmlReports_ = IsHtmlExtension(extension_);
}

RenderedReport ReportRenderer::Render(ReportFolder& reports, ExportText& text, const Row& row, const std::string& name,
                                      bool earlierColors) {
    const Meeting& m = *row.meeting;
    RenderedReport result;
    if (earlierColors) reports.SetColors(kEarlierColor1, kEarlierColor2);
    const bool fromTemplate = !options_.templatePath.empty();
    std::string report = fromTemplate ? reports.ExpandForMeeting(reports.TemplateText(), m, reportOptions_)
                                      : reports.ComposeBuiltInReport(m, options_.kind, reportOptions_);
    result.color1 = reports.Color1();
    result.color2 = reports.Color2();
    if (!reports.UnwrittenPictures().empty()) {
        result.error = "cannot write the sketch picture " + platform::PathToUtf8(reports.UnwrittenPictures().front());
        return result;
    }
    if (earlierColors &&
        (report.find(kEarlierColor1) != std::string::npos || report.find(kEarlierColor2) != std::string::npos)) {
        result.needsEarlierColors = true;
        return result;
    }
    if (fromTemplate) {
        // Workers bring the same template pictures: one copies at a time.
        const std::lock_guard lock(templateImages_);
        report = CollectTemplateImages(report, reports.ReportTokenSpans(), reports.TemplateFolder(), options_.folder);
    }
    if (options_.utf8Reports) report = DeclareUtf8Charset(text.Utf8(report));
    if (htmlReports_) report = WithReportPolicy(std::move(report));
    const std::filesystem::path path = options_.folder / name;
    if (!WriteArchiveFile(path, report)) {
        result.error = "cannot write " + platform::PathToUtf8(path);
        return result;
    }
    result.entry = MakeIndexEntry(store_, m, name, text);
    return result;
}

// A colour a worker's report ended with, given the colours the report before it ended with.
std::string ResolvedColor(const std::string& color, const std::string& before1, const std::string& before2) {
    if (color == kEarlierColor1) return before1;
    if (color == kEarlierColor2) return before2;
    return color;
}

}  // namespace tavolex::archive
