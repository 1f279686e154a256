// The sketch pictures of an export written on several threads: meetings that share an id show the
// same sketches, so the same picture names, and each picture file is written once, by one thread.
// The scripts/test command also runs this test under ThreadSanitizer.
#include "address_book/address_book.h"
#include "export/archive_writer.h"
#include "export/json_dump.h"
#include "meeting_store/meeting_database.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <functional>
#include <map>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// 128 meetings over 32 ids, one sketch each: every meeting shows the four sketches of its id, and
// the meetings of an id are spread over every worker's share of the work.
void WriteRepeatedIdUser(const fs::path& user) {
    test::PalmUserSpec store;
    for (int i = 0; i < 128; ++i) {
        std::vector<std::uint16_t> pixels(16 * 16);
        for (std::size_t p = 0; p < pixels.size(); ++p) pixels[p] = static_cast<std::uint16_t>((p * 7 + i * 13) % 256);
        const std::vector<std::uint8_t> bitmap = test::WritePalmBitmap({.width = 16, .height = 16, .depth = 8, .pixels = pixels});
        store.meetings.push_back({.title = "m" + std::to_string(i),
                                  .date = test::HandheldDay(2004, 1 + i / 28, 1 + i % 28),
                                  .items = {test::SketchSpec{.title = "s", .bitmap = bitmap}},
                                  .id = 0x3000 + static_cast<std::uint32_t>(i % 32)});
    }
    test::WritePalmUserFolder(user / "Tavolex", store);
}

// The files closed after a write in one folder while this watches it, counted by name.
class FolderWrites {
public:
    explicit FolderWrites(const fs::path& folder) : fd_(inotify_init1(IN_NONBLOCK)) {
        if (fd_ >= 0) inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE);
    }
    ~FolderWrites() {
        if (fd_ >= 0) close(fd_);
    }
    FolderWrites(const FolderWrites&) = delete;
    FolderWrites& operator=(const FolderWrites&) = delete;

    std::map<std::string, int> Counts() const {
        std::map<std::string, int> counts;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t n; (n = read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0) ++counts[event->name];
                at += sizeof(inotify_event) + event->len;
            }
        }
        return counts;
    }

private:
    int fd_;
};

std::map<std::string, std::string> FolderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename().string()] = test::ReadFileBytes(entry.path());
    return files;
}

class PictureWritersTest : public testing::Test {
protected:
    void SetUp() override {
        WriteRepeatedIdUser(dir_ / "user");
        store_.SetFolder(dir_ / "user" / "Tavolex");
        store_.ReloadAll();
        reports_.SetClock(test::FixedReportTime);
    }

    test::TempDir dir_;
    MeetingDatabase store_{{}};
    AddressBook book_;
    test::RecordingUserInteraction ui_;
    ReportFolder reports_{store_, book_};
    ReportWriter writer_{reports_, ui_};
};

// The archive and the dump with pictures, each at one job and at four: the same files with the
// same bytes, and every picture file written once.
TEST_F(PictureWritersTest, RepeatedIdsWriteEachPictureOnce) {
    const MeetingIndexes all = AllMeetings(store_);
    ASSERT_EQ(all.size(), 128U);
    const struct {
        const char* name;
        std::function<std::string(const fs::path& folder, int jobs, ExportSummary& summary)> write;  // the document, if any
    } exports[] = {
        {"archive",
         [&](const fs::path& folder, int jobs, ExportSummary& summary) {
             ExportText text;
             (void)WriteArchive(store_, writer_, all, {.folder = folder, .jobs = jobs}, text, summary);
             return std::string();
         }},
        {"dump",
         [&](const fs::path& folder, int jobs, ExportSummary& summary) {
             ExportText text;
             return WriteJsonDump(store_, book_, all, {.pictureFolder = folder, .jobs = jobs}, text, summary);
         }},
    };
    for (const auto& e : exports) {
        SCOPED_TRACE(e.name);
        std::map<std::string, std::string> files[2];
        std::string documents[2];
        const int jobs[2] = {1, 4};
        for (int k = 0; k < 2; ++k) {
            const fs::path folder = dir_ / (std::string(e.name) + std::to_string(jobs[k]));
            fs::create_directories(folder);
            const FolderWrites writes(folder);
            ExportSummary summary;
            documents[k] = e.write(folder, jobs[k], summary);
            ASSERT_TRUE(summary.Ok()) << summary.error;
            int pictures = 0;
            for (const auto& [name, count] : writes.Counts()) {
                if (!name.ends_with(".jpg")) continue;
                ++pictures;
                EXPECT_EQ(count, 1) << name << " at " << jobs[k] << " jobs";
            }
            EXPECT_EQ(pictures, 128);
            files[k] = FolderBytes(folder);
        }
        EXPECT_EQ(documents[0], documents[1]);
        EXPECT_EQ(files[0].size(), files[1].size());
        EXPECT_TRUE(files[0] == files[1]);
    }
}

}  // namespace
}  // namespace tavolex
