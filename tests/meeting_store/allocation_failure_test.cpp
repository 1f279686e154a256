// A reload where one allocation fails, for every allocation the reload makes in turn: the reload
// never throws, keeps the records made before the failure and leaves maps that point at records.
// This program replaces the global allocation functions, so it runs on its own.

#include "meeting_store/meeting_database.h"

#include "shell/trace.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// Allocations left before the one that fails; negative: none fails.
long long failAfter = -1;

bool FailThisOne() {
    if (failAfter < 0) return false;
    return failAfter-- == 0;
}

void* Allocate(std::size_t size) { return std::malloc(size != 0 ? size : 1); }

}  // namespace

void* operator new(std::size_t size) {
    void* p = FailThisOne() ? nullptr : Allocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return FailThisOne() ? nullptr : Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return FailThisOne() ? nullptr : Allocate(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tavolex {
namespace {

using test::AgendaSpec;
using test::NoteSpec;

TEST(AllocationFailureTest, EveryAllocationOfAReloadMayFail) {
    SetTraceTargets({nullptr, nullptr, nullptr});
    test::TempDir dir;
    test::PalmUserSpec user;
    user.categories = {"Unfiled", "Business"};
    for (int m = 0; m < 3; ++m) {
        user.meetings.push_back({.title = "meeting " + std::to_string(m) + std::string(40, 'm'),
                                 .date = test::HandheldDay(2004, 5, 17 + m), .start = {9, 0}, .category = 1,
                                 .items = {AgendaSpec{.text = std::string(50, 'a')}, NoteSpec{.text = "n"},
                                           test::ToDoSpec{.text = "t", .due = {10, 0}},
                                           test::SketchSpec{.title = "s", .bitmap = std::vector<std::uint8_t>(40, 1)},
                                           test::AttendeeSpec{.nameParts = {"a", "b"}}}});
    }
    test::WritePalmUserFolder(dir.Path(), user);
    MeetingDatabase db(dir.Path());
    db.ReloadAll();
    ASSERT_EQ(db.LinkMapCount(), 15);
    std::vector<std::string> titles;
    for (const auto& meeting : db.Meetings()) titles.push_back(meeting->szTitle);

    int failures = 0;
    for (long long n = 0;; ++n) {
        failAfter = n;
        const int result = db.ReloadAll();
        const bool failed = failAfter < 0;
        failAfter = -1;
        EXPECT_EQ(result, 0);
        if (!failed) break;
        ++failures;
        ASSERT_LE(db.MeetingCount(), 3) << n;
        for (std::int32_t i = 0; i < db.MeetingCount(); ++i) EXPECT_EQ(db.Meetings()[static_cast<std::size_t>(i)]->szTitle, titles[static_cast<std::size_t>(i)]) << n;
        EXPECT_LE(db.LinkMapCount(), 15) << n;
        for (const auto& meeting : db.Meetings()) {
            for (const MeetingItem& item : db.ItemsOf(meeting->dwDBID)) {
                EXPECT_TRUE(db.AgendaOf(item) || db.NoteOf(item) || db.ToDoOf(item) || db.SketchOf(item) ||
                            db.AttendeeOf(item))
                    << n;
            }
        }
    }
    EXPECT_GT(failures, 50);
    // With memory back, the same store loads whole again.
    db.ReloadAll();
    EXPECT_EQ(db.LinkMapCount(), 15);
}

}  // namespace
}  // namespace tavolex
