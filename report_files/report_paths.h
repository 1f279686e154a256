#pragma once
// The two folders every report file operation works in, and how a file name of the report list
// (CP932, no folder) becomes a path in one of them.

#include "report_files/template_images.h"  // InFolder

#include <filesystem>
#include <string_view>

namespace tavolex {

struct ReportPaths {
    std::filesystem::path outputFolder;    // "OutputPath": the reports and their pictures
    std::filesystem::path templateFolder;  // "TemplatePath": where template pictures come from
    // A missing output folder is made by the first report written (the default report folder of a
    // user found in a chosen folder, which no installation made), so Create Report accepts it.
    bool outputFolderMadeOnWrite = false;
};

// A name that stays inside its folder: not empty, not "." or "..", and without '\' or '/' (a
// double-byte character whose second byte is 0x5C is a character, not a separator).
[[nodiscard]] bool IsBareFileName(std::string_view cp932Name);

}  // namespace tavolex
