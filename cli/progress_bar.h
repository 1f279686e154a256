#pragma once
// The progress bar of long work (a batch of reports, archive, sqlite, dump --pictures): one line on
// stderr redrawn in place, shown only when stderr is a terminal, so scripts and logs see only the
// messages; cleared at the end.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavolex::cli {

class ProgressBar {
public:
    // total: the number of steps, for Step(); work that reports its own counts uses Update().
    explicit ProgressBar(std::string label, std::size_t total = 0);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws the bar when its width changed; returns true (the work goes on).
    bool Update(std::int64_t done, std::int64_t total);
    // One more of the total done.
    void Step();
    // Clears the bar so a message can be written on a line of its own; the next step draws again.
    void Clear();

private:
    std::string label_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool terminal_;
    bool shown_ = false;
    int drawn_ = -1;  // the permille last drawn
};

}  // namespace tavolex::cli
