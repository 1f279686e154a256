// The shipped templates and the built-in reports over a random store: the input is a packed user
// folder (as the user-folder target takes it) followed by one more part, the address book.

#include "fuzz/fuzz_support.h"

#include <cstdio>

using namespace tavolex;

namespace {

struct FixedTemplate {
    std::string text;
    ExpansionMode mode;
};

std::vector<FixedTemplate> ShippedTemplates() {
    std::vector<FixedTemplate> templates;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(TAVOLEX_TEMPLATE_FOLDER, error)) {
        const auto extension = entry.path().extension();
        if (extension == ".htm") templates.push_back({fuzz::ReadFileBytes(entry.path()), ExpansionMode::Html});
        if (extension == ".rtf") templates.push_back({fuzz::ReadFileBytes(entry.path()), ExpansionMode::Rtf});
    }
    if (templates.empty()) {
        std::fprintf(stderr, "no templates in %s\n", TAVOLEX_TEMPLATE_FOLDER);
        std::abort();
    }
    return templates;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ReportFixture fixture("store");
    static const std::vector<FixedTemplate> templates = ShippedTemplates();
    // The address book is the part after the seventh separator.
    const std::vector<std::string_view> parts = fuzz::SplitParts(fuzz::AsText(data, size), 8);
    fuzz::UnpackUserFolder(parts, fixture.userFolder);
    fuzz::WriteFileBytes(fixture.addressPath, parts.size() == 8 ? parts[7] : std::string_view());
    fixture.Reload();
    int reports = 0;
    for (const auto& meeting : fixture.store.Meetings()) {
        if (++reports > 3) break;
        for (const FixedTemplate& templ : templates) {
            fixture.report.SetMode(templ.mode);
            if (fixture.report.ExpandForMeeting(templ.text, *meeting, fixture.options).size() >= kReportCapacity) std::abort();
        }
        for (ReportKind kind : {ReportKind::kExecutive, ReportKind::kAgenda, ReportKind::kCustom}) {
            if (fixture.report.ComposeBuiltInReport(*meeting, kind, fixture.options).size() >= kReportCapacity) std::abort();
        }
    }
    fixture.ClearOutput();
    return 0;
}
