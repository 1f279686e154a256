#include "report_files/report_file.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

namespace tavolex {

ReportFile::~ReportFile() { Discard(); }

bool ReportFile::Begin(const std::filesystem::path& reportPath) {
    Discard();
    std::error_code ec;
    if (std::filesystem::exists(reportPath, ec)) {
        // Opening for update keeps the contents; it fails for a locked or read-only report.
        if (!platform::OpenFile(reportPath, "r+b")) return false;
    }
    reportPath_ = reportPath;
    std::filesystem::path temp;
    file_ = CreateTemporaryBeside(reportPath, ".tmp", temp);
    if (!file_) return false;
    tempPath_ = temp;
    return true;
}

bool ReportFile::Commit(std::string_view text) {
    if (!file_) return false;
    if (!WriteWithCrLf(file_.get(), text)) {
        Discard();
        return false;
    }
    // The temporary is removed by the commit when it fails.
    const std::error_code error = platform::CommitTemporaryFile(std::move(file_), tempPath_, reportPath_);
    tempPath_.clear();
    return !error;
}

void ReportFile::Discard() {
    file_.reset();
    if (tempPath_.empty()) return;
    std::error_code ec;
    std::filesystem::remove(tempPath_, ec);
    tempPath_.clear();
}

platform::UniqueFile CreateTemporaryBeside(const std::filesystem::path& target, std::string_view suffix,
                                           std::filesystem::path& temp) {
    // Names run through a sequence that starts at a point of its own in each run, so two
    // programs writing into one folder seldom try the same name; a name in use is passed over.
    static std::uint32_t next = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                                           reinterpret_cast<std::uintptr_t>(&next));
    temp = target;
    for (int attempt = 0; attempt < 64; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "~%08x", static_cast<unsigned>(next));
        next = next * 1664525u + 1013904223u;
        temp.replace_filename(std::string(name) + std::string(suffix));
        std::error_code error;
        platform::UniqueFile file = platform::CreateNewFile(temp, error);
        if (file || error != std::errc::file_exists) return file;
    }
    return nullptr;
}

bool WriteWithCrLf(std::FILE* file, std::string_view text) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) continue;
        if (std::fwrite(text.data() + runStart, 1, i - runStart, file) != i - runStart) return false;
        if (std::fwrite("\r", 1, 1, file) != 1) return false;
        runStart = i;
    }
    const std::size_t rest = text.size() - runStart;
    return std::fwrite(text.data() + runStart, 1, rest, file) == rest;
}

}  // namespace tavolex
