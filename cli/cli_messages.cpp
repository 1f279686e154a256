#include "cli/cli_messages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tavolex::cli {

namespace fs = std::filesystem;

void Detail(std::string_view utf8Line) { std::cerr << utf8Line << '\n' << std::flush; }

void Fail(platform::UserInteraction& ui, std::string_view cp932Message, std::string_view utf8Detail) {
    ui.ShowMessage(cp932Message, "Tavolex", platform::MessageIcon::kInformation);
    if (!utf8Detail.empty()) Detail(utf8Detail);
}

std::string PathText(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string PathReason(const fs::path& path, const std::error_code& error) {
    return PathText(path) + ": " + error.message();
}

std::string PathReason(const fs::path& path, int errorNumber) {
    return PathReason(path, std::error_code(errorNumber, std::generic_category()));
}

std::string WriteFailureReason(const fs::path& path) {
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
#ifdef _WIN32
    std::FILE* file = _wfopen(path.c_str(), L"ab");
    const int error = errno;
    if (file == nullptr) return PathReason(path, error);
    std::fclose(file);
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return PathReason(path, errno);
    ::close(fd);
#endif
    if (!existed) fs::remove(path, ec);
    return {};
}

std::string FolderReason(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) return PathReason(path, ec);
    if (!fs::is_directory(status)) return PathReason(path, ENOTDIR);
    return PathText(path) + ": can't be read";
}

int UsageError(std::string_view command, std::string_view problem) {
    std::cerr << "tavolex: " << problem << " (see \"tavolex " << command << (command.empty() ? "" : " ")
              << "--help\")\n"
              << std::flush;
    return 2;
}

}  // namespace tavolex::cli
