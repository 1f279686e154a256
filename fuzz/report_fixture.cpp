#include "fuzz/report_fixture.h"

#include "fuzz/fuzz_support.h"
#include "fuzz/rich_user.h"
#include "tests/support/fixed_clock.h"

#include <ctime>

namespace tavolex::fuzz {

ReportFixture::ReportFixture(const char* name) {
    QuietTrace();
    const auto root = ScratchFolder() / name;
    userFolder_ = root / "user";
    addressPath_ = root / "address.dat";
    test::WritePalmUserFolder(userFolder_, RichUser());
    test::WriteAddressBook(addressPath_, RichAddressBook());
    options.author = "Suzuki \x95\x5c";
    options.outputFolder = root / "out";
    options.templateFolder = root / "templates";
    std::filesystem::create_directories(options.outputFolder);
    std::filesystem::create_directories(options.templateFolder / "img");
    WriteFileBytes(options.templateFolder / "logo.gif", "GIF89a");
    WriteFileBytes(options.templateFolder / "img" / "a b.png", "png");
    store.SetFolder(userFolder_);
    book.SetPath(addressPath_);
    store.ReloadAll();
    book.Reload();
    report.SetOptionsSource([this] { return options; });
    report.SetViewer([](const std::filesystem::path&) {});
    report.SetClock(test::FixedReportTime);
}

void ReportFixture::Reload() {
    store.ReloadAll();
    book.Reload();
    ClearOutput();
}

void ReportFixture::ClearOutput() {
    ui.messages.clear();
    ui.questions.clear();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(options.outputFolder, error)) {
        std::filesystem::remove_all(entry.path(), error);
    }
}

}  // namespace tavolex::fuzz
