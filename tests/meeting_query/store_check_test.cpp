#include "meeting_query/store_check.h"
#include "meeting_store/meeting_database.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// The check of a store the program has loaded (its sketches read on a thread of their own) says
// what the check of the folder, read afresh, says: file by file, for a sound folder and for each
// kind of damage.
TEST(StoreCheckTest, TheLoadedStoreIsCheckedAsTheFolderIs) {
    const test::PalmUserSpec user{
        .meetings = {{.title = "a", .items = {test::NoteSpec{.text = "n"}, test::SketchSpec{.title = "s"}, test::ToDoSpec{.text = "t"}}},
                     {.title = "b", .items = {test::SketchSpec{.title = "s2"}}}}};
    const auto cut = [](const fs::path& file, std::uintmax_t bytes) { fs::resize_file(file, fs::file_size(file) - bytes); };
    const std::function<void(const fs::path&)> damages[] = {
        [](const fs::path&) {},
        [&cut](const fs::path& data) { cut(data / "sketch.dat", 5); },
        [&cut](const fs::path& data) { cut(data / "meeting.dat", 3); },
        [](const fs::path& data) { fs::remove(data / "note.dat"); },
        [](const fs::path& data) { fs::remove(data / "sketch.dat"); },
        [](const fs::path& data) { test::WriteFileBytes(data / "sketch.dat", std::string(30, '\x7f')); },
    };
    for (std::size_t d = 0; d < std::size(damages); ++d) {
        test::TempDir dir;
        const fs::path data = dir / "Tavolex";
        test::WritePalmUserFolder(data, user);
        damages[d](data);
        MeetingDatabase store(data);
        store.ReloadAll();
        const StoreCheck loaded = CheckLoadedStore(store, dir / "address.dat");
        const StoreCheck read = CheckStore(data, dir / "address.dat");
        ASSERT_EQ(loaded.files.size(), read.files.size());
        for (std::size_t f = 0; f < read.files.size(); ++f) {
            const FileCheck& a = loaded.files[f];
            const FileCheck& b = read.files[f];
            EXPECT_EQ(std::tie(a.name, a.present, a.status, a.headerRecords, a.recordsRead, a.remarks, a.damaged),
                      std::tie(b.name, b.present, b.status, b.headerRecords, b.recordsRead, b.remarks, b.damaged))
                << d << " " << b.name;
        }
        const bool anyDamaged = std::any_of(loaded.files.begin(), loaded.files.end() - 1, [](const FileCheck& f) { return f.damaged; });
        EXPECT_EQ(anyDamaged, d != 0) << d;  // the address book is not written here
    }
}

}  // namespace
}  // namespace tavolex
