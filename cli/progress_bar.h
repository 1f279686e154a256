#pragma once
// The progress bar of long work (a batch of reports, an archive): drawn on stderr when stderr is a
// terminal, nothing otherwise, so scripts and logs see only the messages.

#include <cstddef>

namespace tavolex::cli {

class ProgressBar {
public:
    explicit ProgressBar(std::size_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // One more of the total done.
    void Step();
    // Clears the bar so a message can be written on a line of its own; the next step draws again.
    void Clear();

private:
    void Draw();

    std::size_t total_;
    std::size_t done_ = 0;
    bool shown_ = false;
    bool terminal_ = false;
};

}  // namespace tavolex::cli
