// Random, cut and mutated database files: whatever the bytes, a reload ends, keeps within its
// limits and leaves maps that point at real records. Run under the sanitize preset, any read or
// write outside a buffer fails the test.

#include "meeting_store/meeting_database.h"

#include "shell/trace.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace tavolex {
namespace {

using Random = std::mt19937;

// Each round writes seven files; file operations under Wine cost some milliseconds each.
#ifdef _WIN32
constexpr int kRounds = 100;
#else
constexpr int kRounds = 400;
#endif

int Pick(Random& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

std::string RandomText(Random& random, int maxLength) {
    std::string text(static_cast<std::size_t>(Pick(random, 0, maxLength)), '\0');
    for (char& c : text) c = static_cast<char>(Pick(random, 1, 255));
    return text;
}

std::vector<std::uint8_t> RandomBytes(Random& random, int maxLength) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Pick(random, 0, maxLength)));
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(Pick(random, 0, 255));
    return bytes;
}

// A plausible user with small ids, so that damaged links still find records.
test::PalmUserSpec RandomUser(Random& random) {
    test::PalmUserSpec user;
    user.categories = {"Unfiled", RandomText(random, 20)};
    const int meetings = Pick(random, 0, 6);
    for (int m = 0; m < meetings; ++m) {
        test::MeetingSpec meeting{.title = RandomText(random, 40), .location = RandomText(random, 20),
                                  .date = static_cast<std::uint16_t>(Pick(random, 0, 0xFFFF)),
                                  .start = {static_cast<std::uint8_t>(Pick(random, 0, 255)), 7},
                                  .end = {static_cast<std::uint8_t>(Pick(random, 0, 255)), 70},
                                  .category = static_cast<std::uint32_t>(Pick(random, 0, 20))};
        const int items = Pick(random, 0, 6);
        for (int i = 0; i < items; ++i) {
            switch (Pick(random, 0, 4)) {
                case 0: meeting.items.push_back(test::AgendaSpec{.text = RandomText(random, 30)}); break;
                case 1: meeting.items.push_back(test::NoteSpec{.text = RandomText(random, 300)}); break;
                case 2:
                    meeting.items.push_back(test::ToDoSpec{.text = RandomText(random, 30),
                                                           .dueDate = static_cast<std::uint16_t>(Pick(random, 0, 0xFFFF)),
                                                           .due = {static_cast<std::uint8_t>(Pick(random, 0, 255)), 99}});
                    break;
                case 3:
                    meeting.items.push_back(test::SketchSpec{.title = RandomText(random, 10), .bitmap = RandomBytes(random, 80)});
                    break;
                default:
                    meeting.items.push_back(test::AttendeeSpec{.nameParts = {RandomText(random, 8), RandomText(random, 8)}});
                    break;
            }
        }
        user.meetings.push_back(std::move(meeting));
    }
    return user;
}

void Mutate(Random& random, std::string& bytes) {
    switch (Pick(random, 0, 5)) {
        case 0:  // cut anywhere
            bytes.resize(static_cast<std::size_t>(Pick(random, 0, static_cast<int>(bytes.size()))));
            break;
        case 1:  // flip some bytes
            for (int n = Pick(random, 1, 8); n > 0 && !bytes.empty(); --n) {
                bytes[static_cast<std::size_t>(Pick(random, 0, static_cast<int>(bytes.size()) - 1))] =
                    static_cast<char>(Pick(random, 0, 255));
            }
            break;
        case 2:  // a random 32-bit value at a random place (counts, sizes, lengths, offsets)
            if (bytes.size() >= 4) {
                const auto at = static_cast<std::size_t>(Pick(random, 0, static_cast<int>(bytes.size()) - 4));
                const std::uint32_t value = std::uniform_int_distribution<std::uint32_t>()(random);
                for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
            }
            break;
        case 3: {  // pure noise
            const std::vector<std::uint8_t> noise = RandomBytes(random, 400);
            bytes.assign(noise.begin(), noise.end());
            break;
        }
        case 4:  // garbage appended
            bytes += RandomText(random, 100);
            break;
        default:  // left whole
            break;
    }
}

void ExpectConsistent(const MeetingDatabase& db) {
    for (const std::int32_t count : {db.MeetingCount(), db.AgendaCount(), db.NoteCount(), db.ToDoCount(),
                                     db.SketchCount(), db.AttendeeCount(), db.LinkCount()}) {
        EXPECT_LE(count, kMaxRecords);
    }
    for (const auto& meeting : db.Meetings()) {
        EXPECT_LT(meeting->szTitle.size(), Meeting::kTitleCapacity);
        EXPECT_LT(meeting->szLocation.size(), Meeting::kLocationCapacity);
        EXPECT_LT(meeting->szCategory.size(), Meeting::kCategoryCapacity);
    }
    EXPECT_EQ(static_cast<std::size_t>(db.LinkMapCount()),
              db.AgendaMapEntries().size() + db.NoteMapEntries().size() + db.ToDoMapEntries().size() +
                  db.SketchMapEntries().size() + db.AttendeeMapEntries().size());
    std::size_t reached = 0;
    for (const auto& meeting : db.Meetings()) {
        for (const MeetingItem& item : db.ItemsOf(meeting->dwDBID)) {
            const bool found = db.AgendaOf(item) || db.NoteOf(item) || db.ToDoOf(item) || db.SketchOf(item) ||
                               db.AttendeeOf(item);
            EXPECT_TRUE(found);
            ++reached;
        }
    }
    EXPECT_LE(reached, static_cast<std::size_t>(db.MeetingCount()) * static_cast<std::size_t>(db.LinkMapCount()));
}

TEST(DamagedFilesTest, RandomAndMutatedFoldersReloadSafely) {
    SetTraceTargets({nullptr, nullptr, nullptr});  // the debugger channel would cost more than the loads
    test::TempDir dir;
    MeetingDatabase db(dir.Path());
    Random random(4217);
    const char* names[] = {"meeting.dat", "link.dat", "note.dat", "todo.dat", "agenda.dat", "sketch.dat", "attendee.dat"};
    for (int round = 0; round < kRounds; ++round) {
        // Each round writes new files into a folder of its own: rewriting files in place makes
        // some file systems flush them to disk on every close.
        const std::filesystem::path folder = dir / std::to_string(round);
        std::filesystem::create_directory(folder);
        db.SetFolder(folder);
        const test::PalmUserDatabases dbs = test::BuildPalmUserDatabases(RandomUser(random));
        const test::RawDatabase* files[] = {&dbs.meeting, &dbs.link, &dbs.note, &dbs.toDo, &dbs.agenda, &dbs.sketch,
                                            &dbs.attendee};
        for (int f = 0; f < 7; ++f) {
            test::RawDatabase database = *files[f];
            // Record headers with any length and body offset.
            for (test::RawRecord& record : database.records) {
                if (Pick(random, 0, 9) == 0) record.totalLength = static_cast<std::uint32_t>(Pick(random, 0, 70000));
                if (Pick(random, 0, 9) == 0) record.bodyOffset = static_cast<std::uint32_t>(Pick(random, 0, 70000));
            }
            std::string bytes = test::DatabaseBytes(database);
            if (Pick(random, 0, 2) == 0) Mutate(random, bytes);
            test::WriteFileBytes(folder / names[f], bytes);
        }
        SCOPED_TRACE(round);
        EXPECT_EQ(db.ReloadAll(), 0);
        ExpectConsistent(db);
        std::filesystem::remove_all(folder);
    }
    db.Release();
}

}  // namespace
}  // namespace tavolex
