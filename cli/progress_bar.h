#pragma once
// The progress bar of long work (archive, sqlite, dump --pictures, report --all): one line on
// stderr redrawn in place, shown only when stderr is a terminal, and cleared at the end.

#include <cstdint>
#include <string>

namespace tavolex::cli {

class ProgressBar {
public:
    explicit ProgressBar(std::string label);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws the bar when its width changed; returns true (the work goes on).
    bool Update(std::int64_t done, std::int64_t total);

private:
    std::string label_;
    bool shown_ = false;
    int drawn_ = -1;  // the permille last drawn
};

}  // namespace tavolex::cli
