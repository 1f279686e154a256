#pragma once
// The report generator over a store and address book in the scratch folder, with an output folder,
// a template folder holding one picture, a fixed clock and a user interaction that keeps nothing.

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "report/report_folder.h"
#include "tests/support/recording_user_interaction.h"

#include <filesystem>

namespace tavolex::fuzz {

class ReportFixture {
public:
    // Writes the rich user and its address book into the scratch folder under name and loads them.
    explicit ReportFixture(const char* name);

    // Reloads the store from the folder (after its files were replaced) and empties the output folder.
    void Reload();
    void ClearOutput();

    [[nodiscard]] const std::filesystem::path& UserFolder() const { return userFolder_; }
    [[nodiscard]] const std::filesystem::path& AddressPath() const { return addressPath_; }

    MeetingDatabase store{{}};
    AddressBook book;
    test::RecordingUserInteraction ui;
    ReportOptions options;
    ReportFolder report{store, book, ui};

private:
    std::filesystem::path userFolder_;
    std::filesystem::path addressPath_;
};

}  // namespace tavolex::fuzz
