#pragma once
// What the report writers read of the current Palm user's settings, taken when a report is
// written: the author, the two folders and the section and name-line switches. A switch absent
// from the settings counts as set, as the user defaults always create it as 1.

#include "report/report_options.h"

#include <filesystem>

namespace tavolex {

class SettingsKey;

// userKey must already be open on the current user's key.
ReportOptions ReadReportOptions(SettingsKey& userKey, const std::filesystem::path& outputFolder,
                                const std::filesystem::path& templateFolder);

}  // namespace tavolex
