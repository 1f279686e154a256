#include "session/palm_user_list.h"

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "session/user_change.h"
#include "session/user_stores.h"
#include "settings/settings_text.h"
#include "settings/program_strings.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/fake_palm_desktop.h"
#include "tests/support/memory_settings.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/recording_user_interaction.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using test::FakePalmUser;

constexpr char kAppKey[] = "Software\\Brenmark\\Tavolex";
constexpr platform::ScreenSize kScreen{1280, 994};
const std::string kSep(1, kFolderSeparator);

class PalmUserListTest : public ::testing::Test {
protected:
    PalmUserListTest() {
        backend.SetString(kPalmCoreKeyPath, "Path", SettingsTextFromPath(dir.Path()));
        settings.appKey.OpenApplicationKey();
    }
    std::vector<int> Marks() const {
        std::vector<int> marks;
        for (const auto& e : users->Entries()) marks.push_back(e->current);
        return marks;
    }
    std::string Palm() const { return SettingsTextFromPath(dir.Path()) + kSep; }

    test::TempDir dir;
    test::MemorySettingsBackend backend;
    test::RecordingUserInteraction ui;
    test::FakePalmDesktop desktop;
    ShellEnvironment env{ui, desktop, [] { return kScreen; }, {}};
    ApplicationSettings settings{backend};
    std::unique_ptr<PalmUserList> users = std::make_unique<PalmUserList>(
        std::make_unique<test::FakePalmUserLibrary>(std::vector<FakePalmUser>{{101, "UserA", "UserA"}, {202, "UserB", "UserB"}}));
};

TEST_F(PalmUserListTest, FillSelectsTheLastUserExactlyAndKeepsEntryZeroMarked) {
    backend.SetString(kAppKey, "LastUsername", "UserB");
    EXPECT_EQ(users->FillEntries(settings.appKey), 1);
    ASSERT_EQ(users->Entries().size(), 2u);
    const PalmUserEntry& b = *users->Entries()[1];
    EXPECT_EQ(std::tie(b.name, b.directory, b.userId), std::make_tuple("UserB", "UserB" + kSep, 202u));
    EXPECT_EQ(Marks(), (std::vector<int>{1, 1}));
    // No name matching exactly selects the first user.
    for (const char* stored : {"", "Gone", "userb"}) {
        backend.SetString(kAppKey, "LastUsername", stored);
        EXPECT_EQ(users->FillEntries(settings.appKey), 0) << stored;
        EXPECT_EQ(Marks(), (std::vector<int>{1, 0})) << stored;
    }
}

TEST_F(PalmUserListTest, SelectUserByNameIsExactAndStoresTheUser) {
    users->FillEntries(settings.appKey);
    backend.SetString("Software\\Brenmark\\Tavolex\\UserB", "OutputPath", "D:\\Out\\");
    backend.SetDword("Software\\Brenmark\\Tavolex\\UserB", "ReportView", 3);
    std::vector<std::uint32_t> applied;
    const ViewApplier apply = [&](std::uint32_t m, std::uint32_t r) { applied = {m, r}; };

    EXPECT_EQ(users->SelectUserByName("userb", settings, apply), -1);
    EXPECT_EQ(Marks(), (std::vector<int>{0, 0}));
    EXPECT_TRUE(applied.empty());

    EXPECT_EQ(users->SelectUserByName("UserB", settings, apply), 1);
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1}));
    EXPECT_EQ(std::make_tuple(backend.GetDword(kAppKey, "LastUser"), backend.GetString(kAppKey, "LastUsername"),
                              backend.GetString(kAppKey, "UserPath")),
              std::make_tuple(202u, "UserB", "UserB" + kSep));
    EXPECT_EQ(std::tie(settings.userDirectory, settings.authorName, settings.outputFolder),
              std::make_tuple("UserB" + kSep, "UserB", PathFromSettingsText("D:\\Out\\")));
    EXPECT_EQ(applied, (std::vector<std::uint32_t>{0, 3}));
}

// Records every call of the windows' callbacks as one text, in order.
struct Recorded {
    std::vector<std::string> events;
    UserChangeCallbacks Callbacks() {
        const auto log = [this](std::string event) { return [this, event] { events.push_back(event); }; };
        UserChangeCallbacks c;
        c.clearCurrentMeeting = log("meeting -1");
        c.refillLists = log("refill");
        c.repaintFrame = log("repaint");
        c.applyViews = [this](std::uint32_t m, std::uint32_t r) {
            events.push_back("views " + std::to_string(m) + " " + std::to_string(r));
        };
        c.reloadAddressBook = [this](const fs::path& p) { events.push_back("address " + SettingsTextFromPath(p)); };
        c.reloadMeetingStore = [this](const fs::path& p) { events.push_back("store " + SettingsTextFromPath(p)); };
        c.loadingMeetingStore = [this](const fs::path& p) { events.push_back("loading " + SettingsTextFromPath(p)); };
        c.setQuickViewText = [this](std::string_view t) { events.push_back("quick " + std::string(t)); };
        c.setUserBoxSelection = [this](int i) { events.push_back("box " + std::to_string(i)); };
        return c;
    }
};

// The change to a user whose settings hold no folders writes the user's defaults first, then loads
// the user's stores and tells the windows in this order.
TEST_F(PalmUserListTest, ChangingUserWritesMissingDefaultsAndLoadsTheStores) {
    test::MeetingSpec meeting{.title = "B1", .date = test::HandheldDay(2024, 5, 1)};
    test::WritePalmUserFolder(dir / "UserB" / "Tavolex", {{}, {meeting, meeting}});
    test::AddressBookPerson person;
    person.recordId = 5;
    test::WriteAddressBook(dir / "UserB" / "address" / "address.dat", {person});
    AddressBook book;
    MeetingDatabase meetings(dir.Path());
    users->FillEntries(settings.appKey);
    Recorded r;
    ChangeUser(1, *users, settings, env, book, meetings, r.Callbacks());
    const std::string data = Palm() + "UserB" + kSep + "Tavolex" + kSep;
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"meeting -1", "views 0 0", "address " + Palm() + "UserB" + kSep + "address" + kSep + "address.dat",
                                        "quick " + std::string(kQuickViewTitle), "loading " + data, "store " + data, "refill", "repaint"}));
    EXPECT_EQ(std::make_tuple(meetings.MeetingCount(), book.Count()), std::make_tuple(2, 1));
    EXPECT_EQ(backend.GetString("Software\\Brenmark\\Tavolex\\UserB", "OutputPath"), data);
    EXPECT_EQ(settings.meetingView, 0u) << "views are read before the defaults are written";
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1}));
}

// The reload request selects the last user again, reloads its stores and tells the windows.
TEST_F(PalmUserListTest, ReloadingTheLastUserLoadsItsStoresAgain) {
    users->FillEntries(settings.appKey);
    backend.SetString(kAppKey, "LastUsername", "UserB");
    Recorded r;
    ReloadLastUser(*users, settings, r.Callbacks());
    const std::string user = Palm() + "UserB" + kSep;
    EXPECT_EQ(r.events, (std::vector<std::string>{"views 0 0", "box 1", "address " + user + "address" + kSep + "address.dat",
                                                  "store " + user + "Tavolex", "quick " + std::string(kQuickViewTitle), "meeting -1",
                                                  "refill", "repaint"}));
}

// A window says it is loading only for a store whose files hold more than about half a second's
// load; a folder that cannot be read is not one.
TEST_F(PalmUserListTest, OnlyALargeStoreIsANoticeableLoad) {
    const fs::path folder = dir / "Large";
    fs::create_directories(folder / "nested");
    struct Step {
        const char* file;
        std::uintmax_t size;
        bool noticeable;
    };
    const Step steps[] = {{"meeting.dat", kNoticeableStoreBytes / 2, false},
                          {"nested/sketch.dat", kNoticeableStoreBytes, false},
                          {"sketch.dat", kNoticeableStoreBytes / 2, false},
                          {"note.dat", 1, true}};
    for (const Step& step : steps) {
        test::WriteFileBytes(folder / step.file, "");
        fs::resize_file(folder / step.file, step.size);
        EXPECT_EQ(StoreLoadIsNoticeable(folder), step.noticeable) << step.file;
    }
    EXPECT_FALSE(StoreLoadIsNoticeable(dir / "missing"));
    EXPECT_FALSE(StoreLoadIsNoticeable(folder / "note.dat"));
}

TEST_F(PalmUserListTest, ListCreatedFromTheSettingsFolders) {
    settings.hotSyncFolder = dir.Path() / "HotSync";
    desktop.users = {{7, "Solo", "Solo"}};
    auto list = CreatePalmUserList(desktop, settings);
    EXPECT_EQ(list->FillEntries(settings.appKey), 0) << "a single user is a list";
    desktop.hasUserLibrary = false;
    EXPECT_FALSE(CreatePalmUserList(desktop, settings)->HasLibrary());
}

}  // namespace
}  // namespace tavolex
