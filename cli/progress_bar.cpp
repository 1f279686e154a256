#include "cli/progress_bar.h"

#include "platform/platform.h"

#include <cstdio>
#include <string>

namespace tavolex::cli {
namespace {

constexpr int kWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::string label, std::size_t total)
    : label_(std::move(label)), total_(total), terminal_(platform::IsTerminal(platform::StandardStream::kError)) {}

ProgressBar::~ProgressBar() { Clear(); }

bool ProgressBar::Update(std::int64_t done, std::int64_t total) {
    if (!terminal_ || total <= 1) return true;
    const int permille = static_cast<int>(done * 1000 / total);
    if (shown_ && permille == drawn_) return true;
    drawn_ = permille;
    const int filled = permille * kWidth / 1000;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %lld/%lld", label_.c_str(), bar.c_str(), static_cast<long long>(done),
                 static_cast<long long>(total));
    std::fflush(stderr);
    shown_ = true;
    return true;
}

void ProgressBar::Step() {
    ++done_;
    Update(static_cast<std::int64_t>(done_), static_cast<std::int64_t>(total_));
}

void ProgressBar::Clear() {
    if (!shown_) return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

}  // namespace tavolex::cli
