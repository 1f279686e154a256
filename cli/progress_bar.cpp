#include "cli/progress_bar.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavolex::cli {
namespace {

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) != 0;
#endif
}

constexpr int kWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::string label) : label_(std::move(label)), shown_(StderrIsTerminal()) {}

ProgressBar::~ProgressBar() {
    if (shown_ && drawn_ >= 0) std::fputs("\r\x1b[K", stderr);
}

bool ProgressBar::Update(std::int64_t done, std::int64_t total) {
    if (!shown_ || total <= 0) return true;
    const int permille = static_cast<int>(done * 1000 / total);
    if (permille == drawn_) return true;
    drawn_ = permille;
    const int filled = permille * kWidth / 1000;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %lld/%lld", label_.c_str(), bar.c_str(), static_cast<long long>(done),
                 static_cast<long long>(total));
    std::fflush(stderr);
    return true;
}

}  // namespace tavolex::cli
