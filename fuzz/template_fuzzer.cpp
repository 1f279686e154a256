// A random template expanded for the fixed rich meeting. The first byte picks the mode (RTF or
// HTML) and which sections and name lines the options ask for; the rest is the template. It is
// expanded twice, compiled and read as it goes, and the two must be equal.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    static fuzz::ReportFixture fixture("template");
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
    fixture.report.SetMode((flags & 0x01) != 0 ? ExpansionMode::Rtf : ExpansionMode::Html);
    const Meeting& meeting = *fixture.store.Meetings().front();
    const std::string text = fixture.report.ExpandForMeeting(input.substr(1), meeting, options);
    if (text.size() >= kReportCapacity) std::abort();
    // The compiled template (kept from the expansion above) and a reading as it goes agree byte for byte.
    fixture.report.SetCompiling(false);
    const std::string read = fixture.report.ExpandForMeeting(input.substr(1), meeting, options);
    fixture.report.SetCompiling(true);
    if (read != text) std::abort();
    fixture.ClearOutput();
}
