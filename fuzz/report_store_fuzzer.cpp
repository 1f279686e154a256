// The shipped templates and the built-in reports over a random store: the input is a packed user
// folder (as the user-folder target takes it) followed by one more part, the address book.

#include "fuzz/fuzz_support.h"
#include "fuzz/report_fixture.h"
#include "fuzz/user_folder.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tavolex;

namespace {

struct FixedTemplate {
    std::string text;
    ExpansionMode mode;
};

std::string ReadWhole(const std::filesystem::path& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
        std::fclose(file);
    }
    return bytes;
}

std::vector<FixedTemplate> ShippedTemplates() {
    std::vector<FixedTemplate> templates;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(TAVOLEX_TEMPLATE_FOLDER, error)) {
        const auto extension = entry.path().extension();
        if (extension == ".htm") templates.push_back({ReadWhole(entry.path()), ExpansionMode::Html});
        if (extension == ".rtf") templates.push_back({ReadWhole(entry.path()), ExpansionMode::Rtf});
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
    const std::string_view input = fuzz::AsText(data, size);
    // The address book is the part after the seventh separator.
    std::size_t at = 0;
    std::string_view book;
    for (int i = 0; i < 7 && at != std::string_view::npos; ++i) {
        at = input.find(fuzz::kPartSeparator, at);
        if (at != std::string_view::npos) at += fuzz::kPartSeparator.size();
    }
    std::string_view files = input;
    if (at != std::string_view::npos) {
        book = input.substr(at);
        files = input.substr(0, at - fuzz::kPartSeparator.size());
    }
    fuzz::UnpackUserFolder(files, fixture.UserFolder());
    fuzz::WriteFileBytes(fixture.AddressPath(), book);
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
