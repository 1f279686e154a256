#pragma once
// Writing a report file so that a failure never costs the old report: the text goes to a
// temporary file beside the report, which replaces the report only when it was written whole.

#include <filesystem>
#include <string_view>

#include "platform/file_system.h"

namespace tavolex {

class ReportFile {
public:
    ReportFile() = default;
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Makes sure the report can be written: an existing report must open for writing (a file
    // another program holds shut fails here), and the temporary file must be created.
    [[nodiscard]] bool Begin(const std::filesystem::path& reportPath);
    // Writes the text with every LF as CR LF (an LF that already follows a CR stays as it is),
    // then puts the file in the report's place. False when anything fails; the old report stays.
    [[nodiscard]] bool Commit(std::string_view text);

private:
    void Discard();

    std::filesystem::path reportPath_;
    std::filesystem::path tempPath_;
    platform::UniqueFile file_;
};

// A new temporary file in the folder of target, made by platform::CreateNewFile under a name that no
// file has yet: "~", eight hex digits and the suffix (".tmp", ".copy"); temp receives it. The name
// is short whatever the target's name, so a target whose name is near the length limit still gets
// one. Null when no file could be made.
platform::UniqueFile CreateTemporaryBeside(const std::filesystem::path& target, std::string_view suffix,
                                           std::filesystem::path& temp);

// Writes text with CR LF line ends into file; false on a write error.
bool WriteWithCrLf(std::FILE* file, std::string_view text);

}  // namespace tavolex
