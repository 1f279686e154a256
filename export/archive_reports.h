#pragma once
// The archive's reports, made on the worker threads: each the bytes the report command writes (in
// UTF-8 when asked), with the policy after its <head>, written to the archive folder, and the
// index's entry of its meeting. A worker does not know the colours the report before its own ended
// with; a report that shows them is made again on the calling thread once they are known.

#include "export/archive_index.h"
#include "export/archive_writer.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace tavolex {
class ReportFolder;
}  // namespace tavolex

namespace tavolex::archive {

// A selected meeting: its number in the store and its record.
struct Row {
    std::int32_t index;
    const Meeting* meeting;
};

// A report of the archive, made on one thread.
struct RenderedReport {
    std::string name;                 // the report's file name
    std::string error;                // UTF-8; empty when it was written
    bool needsEarlierColors = false;  // not written: it shows colours set by the report before it
    std::string color1, color2;       // the colours it ends with (marks for those it kept)
    IndexEntry entry;
};

// The extension of the reports: the template's, else ".htm".
[[nodiscard]] std::string ReportExtension(const ArchiveOptions& options);

class ReportRenderer {
public:
    ReportRenderer(const MeetingDatabase& store, const ArchiveOptions& options, ReportOptions reportOptions);

    [[nodiscard]] const std::string& Extension() const { return extension_; }

    // Writes the row's report with `reports`; with `earlierColors` its colours start unknown.
    RenderedReport Render(ReportFolder& reports, ExportText& text, const Row& row, const std::string& name,
                          bool earlierColors);

private:
    const MeetingDatabase& store_;
    const ArchiveOptions& options_;
    ReportOptions reportOptions_;
    std::string extension_;
    bool htmlReports_ = false;
    std::mutex templateImages_;
};

// A colour a worker's report ended with, given the colours the report before it ended with.
[[nodiscard]] std::string ResolvedColor(const std::string& color, const std::string& before1,
                                        const std::string& before2);

}  // namespace tavolex::archive
