// A random template expanded for the fixed rich meeting. The first byte picks the mode (RTF or
// HTML) and which sections and name lines the options ask for; the rest is the template. It is
// expanded twice, compiled and read as it goes, and the two must be equal.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    // Two report folders see the same inputs in the same order, so what a template leaves set for the
    // next report (the colours) is the same in both; one reads every template as it goes.
    static fuzz::ReportFixture fixture("template");
    static fuzz::ReportFixture reading("template-read");
    if (input.empty()) return;
    const auto flags = static_cast<std::uint8_t>(input[0]);
    ReportOptions options = fixture.options;
    options.withAuthor = (flags & 0x02) == 0;
    options.withAttendees = (flags & 0x04) == 0;
    options.withAgendas = (flags & 0x08) == 0;
    options.withToDos = (flags & 0x10) == 0;
    options.withNotes = (flags & 0x20) == 0;
    options.withSketches = (flags & 0x40) == 0;
    options.withFirstName = options.withLastName = (flags & 0x80) == 0;
    const ExpansionMode mode = (flags & 0x01) != 0 ? ExpansionMode::Rtf : ExpansionMode::Html;
    fixture.report.SetMode(mode);
    const Meeting& meeting = *fixture.store.Meetings().front();
    const std::string text = fixture.report.ExpandForMeeting(input.substr(1), meeting, options);
    if (text.size() >= kReportCapacity) std::abort();
    fuzz::EmptyFolder(fixture.options.outputFolder);
    // The compiled template and a reading as it goes agree byte for byte.
    reading.report.SetCompiling(false);
    reading.report.SetMode(mode);
    options.outputFolder = reading.options.outputFolder;
    options.templateFolder = reading.options.templateFolder;
    const std::string read = reading.report.ExpandForMeeting(input.substr(1), *reading.store.Meetings().front(), options);
    if (read != text) std::abort();
    fuzz::EmptyFolder(reading.options.outputFolder);
}
