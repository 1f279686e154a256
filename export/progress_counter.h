#pragma once
// The progress and cancel of one export, in one place for every exporter: counts the steps done
// (a meeting, or a note of the vault), tells the progress callback after each one, and keeps the
// callback's cancel in the summary so the exporter only has to stop.

#include "export/export_text.h"

#include <cstddef>
#include <cstdint>

namespace tavolex {

class ProgressCounter {
public:
    // total: the steps of the whole export, as the callback is told it.
    ProgressCounter(const ExportProgress& progress, std::size_t total, ExportSummary& summary)
        : progress_(progress), total_(static_cast<std::int64_t>(total)), summary_(summary) {}

    // Counts one more step done and reports it. False, with summary.cancelled set, when the
    // callback said to stop: the exporter stops there.
    [[nodiscard]] bool Step() {
        ++done_;
        if (!progress_ || progress_(done_, total_)) return true;
        summary_.cancelled = true;
        return false;
    }

private:
    const ExportProgress& progress_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    ExportSummary& summary_;
};

}  // namespace tavolex
