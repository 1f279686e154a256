// The shipped templates and the built-in reports over a random store: the input is a packed user
// folder (as the user-folder target takes it) followed by one more part, the address book.

#include "fuzz/fuzz_support.h"

using namespace tavolex;

void fuzz::FuzzOne(std::string_view input) {
    static fuzz::ReportFixture fixture("store");
    static const std::vector<fuzz::TemplateFile> templates = fuzz::TemplateFiles(TAVOLEX_TEMPLATE_FOLDER);
    // The address book is the part after the seventh separator.
    const std::vector<std::string_view> parts = fuzz::SplitParts(input, 8);
    fuzz::UnpackUserFolder(parts, fixture.userFolder);
    test::WriteFileBytes(fixture.addressPath, parts.size() == 8 ? parts[7] : std::string_view());
    fixture.store.ReloadAll();
    fixture.book.Reload();
    int reports = 0;
    for (const auto& meeting : fixture.store.Meetings()) {
        if (++reports > 3) break;
        for (const fuzz::TemplateFile& templ : templates) {
            fixture.report.SetMode(templ.mode);
            if (fixture.report.ExpandForMeeting(templ.text, *meeting, fixture.options).size() >= kReportCapacity) std::abort();
        }
        for (ReportKind kind : {ReportKind::kExecutive, ReportKind::kAgenda, ReportKind::kCustom}) {
            if (fixture.report.ComposeBuiltInReport(*meeting, kind, fixture.options).size() >= kReportCapacity) std::abort();
        }
    }
    fuzz::EmptyFolder(fixture.options.outputFolder);
}
