#include "fuzz/user_folder.h"

#include "fuzz/fuzz_support.h"
#include "tests/support/palm_database_writer.h"

namespace tavolex::fuzz {

void UnpackUserFolder(std::string_view input, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto parts = SplitParts(input, 7);
    for (std::size_t i = 0; i < 7; ++i) {
        if (i < parts.size()) {
            WriteFileBytes(folder / kUserFolderFiles[i], parts[i]);
        } else {
            std::filesystem::remove(folder / kUserFolderFiles[i]);
        }
    }
}

std::string PackUserFolder(const test::PalmUserDatabases& databases) {
    const test::RawDatabase* files[7] = {&databases.meeting, &databases.link,   &databases.note,    &databases.toDo,
                                         &databases.agenda,  &databases.sketch, &databases.attendee};
    std::string packed;
    for (std::size_t i = 0; i < 7; ++i) {
        if (i > 0) packed += kPartSeparator;
        packed += test::DatabaseBytes(*files[i]);
    }
    return packed;
}

}  // namespace tavolex::fuzz
