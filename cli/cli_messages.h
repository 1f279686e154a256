#pragma once
// The command line's messages, in one place. The system's own message goes to stderr as the
// desktop program shows it (caption first, UTF-8); what only the command line can add — the
// path, the operating system's reason, the option that answers a question — follows on the next
// line. Usage errors are one line with a pointer to the command's --help.

#include "platform/platform.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tavolex::cli {

// The system's message (CP932) with the caption "Tavolex", then each detail line (UTF-8).
void Fail(platform::UserInteraction& ui, std::string_view cp932Message, std::string_view utf8Detail = {});
// A detail line alone (UTF-8).
void Detail(std::string_view utf8Line);

// "PATH: reason", UTF-8.
std::string PathReason(const std::filesystem::path& path, const std::error_code& error);
std::string PathReason(const std::filesystem::path& path, int errorNumber);
// Why a file at path can't be written: the reason opening it for writing gives now (a file the
// probe creates is removed again); "" when the probe succeeds.
std::string WriteFailureReason(const std::filesystem::path& path);
// Why a path can't be read as a folder: "PATH: No such file or directory", "…: Not a directory".
std::string FolderReason(const std::filesystem::path& path);

// The text of a path in UTF-8.
std::string PathText(const std::filesystem::path& path);

// Prints "tavolex: PROBLEM (see "tavolex COMMAND --help")" and returns 2, the status of bad usage.
int UsageError(std::string_view command, std::string_view problem);

// How to name the Palm Desktop folder, for the messages that need it.
inline constexpr char kPalmFolderHint[] =
    "Name it with --palm-folder DIR or the environment variable TAVOLEX_PALM_FOLDER, or keep it with: "
    "tavolex config palm-folder DIR";

}  // namespace tavolex::cli
