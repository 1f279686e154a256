#include "session/report_settings.h"

#include "settings/report_switches.h"
#include "settings/settings_key.h"

namespace tavolex {

ReportOptions ReadReportOptions(SettingsKey& userKey, const std::filesystem::path& outputFolder,
                                const std::filesystem::path& templateFolder) {
    ReportOptions options;
    options.author = userKey.ReadString("cAuthor", kNameBufferSize);
    options.outputFolder = outputFolder;
    options.templateFolder = templateFolder;
    const auto flag = [&userKey](std::string_view name) {
        std::uint32_t value = 1;
        userKey.ReadValue(name, value);
        return value == 1;
    };
    options.withAuthor = flag(report_switch::kAuthor);
    options.withAttendees = flag(report_switch::kAttendee);
    options.withAgendas = flag(report_switch::kAgenda);
    options.withToDos = flag(report_switch::kToDo);
    options.withNotes = flag(report_switch::kNote);
    options.withSketches = flag(report_switch::kSketch);
    options.withFirstName = flag(report_switch::kFirstname);
    options.withLastName = flag(report_switch::kLastname);
    options.withTitle = flag(report_switch::kTitle);
    options.withCompany = flag(report_switch::kCompany);
    return options;
}

}  // namespace tavolex
