// The sketch pictures of an export written on several threads: meetings that share an id show the
// same sketches, so the same picture names, and each picture file is written once, by one thread.
// The scripts/test command also runs this test under ThreadSanitizer.
#include "export/archive_writer.h"
#include "export/json_dump.h"
#include "export/markdown_vault.h"
#include "report/report_folder.h"
#include "report_files/report_writer.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/loaded_user.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <map>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// 128 meetings over 32 ids, one sketch each: every meeting shows the four sketches of its id, and
// the meetings of an id are spread over every worker's share of the work.
test::PalmUserSpec RepeatedIdUser() {
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
    return store;
}

// The files finished in the folder an inotify descriptor watches (each written to a temporary
// name and moved to its own), counted by name; closes the descriptor.
std::map<std::string, int> FinishedFiles(int fd) {
    std::map<std::string, int> counts;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + n; at += sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(at)->len) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            if (event->len > 0) ++counts[event->name];
        }
    }
    close(fd);
    return counts;
}

// The archive and the dump with pictures, each at one job and at four: the same files with the
// same bytes, and every picture file written once.
TEST(PictureWritersTest, RepeatedIdsWriteEachPictureOnce) {
    const test::LoadedUser user(RepeatedIdUser());
    const auto& [dir, store, book] = std::tie(user.dir, user.store, user.book);
    test::RecordingUserInteraction ui;
    ReportFolder reports{store, book};
    ReportWriter writer{reports, ui};
    reports.SetClock(test::FixedReportTime);
    const MeetingIndexes all = AllMeetings(store);
    for (const std::string name : {"archive", "dump"}) {
        SCOPED_TRACE(name);
        std::map<std::string, std::string> files[2];
        std::string documents[2];
        for (const int jobs : {1, 4}) {
            const fs::path folder = dir / (name + std::to_string(jobs));
            fs::create_directories(folder);
            const int fd = inotify_init1(IN_NONBLOCK);
            inotify_add_watch(fd, folder.c_str(), IN_MOVED_TO);
            ExportText text;
            ExportSummary summary;
            if (name == "archive") (void)WriteArchive(store, writer, all, {.folder = folder, .jobs = jobs}, text, summary);
            if (name == "dump")
                documents[jobs / 4] = WriteJsonDump(store, book, all, {.pictureFolder = folder, .jobs = jobs}, text, summary);
            ASSERT_TRUE(summary.Ok()) << summary.error;
            int pictures = 0;
            for (const auto& [file, count] : FinishedFiles(fd)) {
                if (!file.ends_with(".jpg")) continue;
                ++pictures;
                EXPECT_EQ(count, 1) << file << " at " << jobs << " jobs";
            }
            EXPECT_EQ(pictures, 128);
            for (const auto& entry : fs::directory_iterator(folder))
                files[jobs / 4][entry.path().filename().string()] = test::ReadFileBytes(entry.path());
        }
        EXPECT_EQ(documents[0], documents[1]);
        EXPECT_TRUE(files[0] == files[1]);
    }
    // The vault writes a picture that meetings share once and goes on.
    ExportText text;
    ExportSummary vault;
    EXPECT_TRUE(WriteMarkdownVault(store, book, all, dir / "vault", text, vault)) << vault.error;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "vault" / "attachments"), fs::directory_iterator()), 128);
}

}  // namespace
}  // namespace tavolex
