#pragma once
// ReportWriter: the report files of the generator. It reads a template file into the generator,
// writes the report the generator makes of a meeting (from that template or from the built-in
// pieces) into the output folder, with the template's pictures beside it, tells the user what
// could not be written, and opens the finished report.

#include "report/report_options.h"
#include "report_files/report_viewer.h"

#include <filesystem>
#include <functional>

namespace tavolex {

class ReportFolder;
struct Meeting;
namespace platform {
class UserInteraction;
}

class ReportWriter {
public:
    using OptionsSource = std::function<ReportOptions()>;

    ReportWriter(ReportFolder& generator, platform::UserInteraction& ui);

    // Where the writer reads the user's settings (all defaults until set), and how it opens a
    // finished report (not at all until set).
    void SetOptionsSource(OptionsSource source) { optionsSource_ = std::move(source); }
    void SetViewer(ReportViewer viewer) { viewer_ = std::move(viewer); }

    [[nodiscard]] ReportFolder& Generator() { return generator_; }

    // Reads a template file whole into the generator; shows the system's message and returns
    // false when it can't.
    bool LoadTemplateFile(const std::filesystem::path& path);
    // Expands the loaded template for the meeting, brings its pictures into the output folder and
    // writes the report. False (after the write-failure message) when the file can't be written.
    bool WriteTemplateReport(const std::filesystem::path& reportPath, const Meeting& meeting);
    // Composes the report kind from the built-in pieces and writes it.
    bool WriteBuiltInReport(const std::filesystem::path& reportPath, const Meeting& meeting, ReportKind kind);

private:
    // The written report's end: a message for each sketch picture the generator could not write,
    // then the viewer.
    void Finish(const std::filesystem::path& reportPath);
    void ShowWriteFailure();

    ReportFolder& generator_;
    platform::UserInteraction& ui_;
    OptionsSource optionsSource_;
    ReportViewer viewer_;
};

}  // namespace tavolex
