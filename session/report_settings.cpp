#include "session/report_settings.h"

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
    options.withAuthor = flag("rAuthor");
    options.withAttendees = flag("rAttendee");
    options.withAgendas = flag("rAgenda");
    options.withToDos = flag("rToDo");
    options.withNotes = flag("rNote");
    options.withSketches = flag("rSketch");
    options.withFirstName = flag("rFirstName");
    options.withLastName = flag("rLastName");
    options.withTitle = flag("rTitle");
    options.withCompany = flag("rCompany");
    return options;
}

}  // namespace tavolex
