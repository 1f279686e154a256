#include "cli/progress_bar.h"

#include <cstdio>
#include <string>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavolex::cli {
namespace {

constexpr std::size_t kWidth = 40;

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace

ProgressBar::ProgressBar(std::size_t total) : total_(total), terminal_(StderrIsTerminal() && total > 1) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::Step() {
    ++done_;
    Draw();
}

void ProgressBar::Clear() {
    if (!shown_) return;
    std::fputs(("\r" + std::string(kWidth + 24, ' ') + "\r").c_str(), stderr);
    std::fflush(stderr);
    shown_ = false;
}

void ProgressBar::Draw() {
    if (!terminal_ || total_ == 0) return;
    const std::size_t filled = done_ * kWidth / total_;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(filled, '#').c_str(), std::string(kWidth - filled, ' ').c_str(),
                 done_, total_);
    std::fflush(stderr);
    shown_ = true;
}

}  // namespace tavolex::cli
