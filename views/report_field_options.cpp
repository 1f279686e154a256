#include "views/report_field_options.h"

#include "settings/application_settings.h"
#include "settings/settings_key.h"

namespace tavolex {

namespace {

// Stored by no writer of ours, so a value still holding it after the read was never there.
constexpr std::uint32_t kNotStored = 0xFFFFFFFF;

SettingsKey& CurrentUserKey(ApplicationSettings& settings) {
    settings.userKey.OpenUserKey(settings.userDirectory);
    return settings.userKey;
}

}  // namespace

void LoadReportOptionsTab(ApplicationSettings& settings, ReportOptionsTab tab, ReportOptionsValues& values) {
    SettingsKey& key = CurrentUserKey(settings);
    if (tab == ReportOptionsTab::kAuthor) {
        values.author = key.ReadString("cAuthor", kNameBufferSize);
        return;
    }
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        const std::string_view name = kReportFieldSwitches[k].name;
        std::uint32_t value = kNotStored;
        key.ReadValue(name, value);
        if (value == kNotStored) {
            key.WriteDword(name, 1);
            value = 1;
        }
        values.fields[k] = value == 1;
    }
}

void SaveReportOptionsTab(ApplicationSettings& settings, ReportOptionsTab tab, const ReportOptionsValues& values) {
    SettingsKey& key = CurrentUserKey(settings);
    if (tab == ReportOptionsTab::kAuthor) {
        const std::string author =
            values.author.empty() ? settings.appKey.ReadString("LastUsername", kNameBufferSize) : values.author;
        key.WriteString("cAuthor", author);
        return;
    }
    for (std::size_t k = 0; k < kReportFieldCount; ++k) {
        key.WriteDword(kReportFieldSwitches[k].name, values.fields[k] ? 1 : 0);
    }
    key.WriteDword("rShowLabels", 0);
}

}  // namespace tavolex
