#include "session/palm_user_list.h"

#include "address_book/address_book.h"
#include "meeting_store/meeting_database.h"
#include "session/user_change.h"
#include "session/user_place.h"
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

    for (const char* other : {"userb", ""}) EXPECT_EQ(users->SelectUserByName(other, settings, apply), -1) << other;
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
    PalmUserList unfilled(std::make_unique<test::FakePalmUserLibrary>(std::vector<FakePalmUser>{{7, "Solo", "Solo"}}));
    EXPECT_EQ(unfilled.SelectUserByName("Solo", settings, nullptr), 0) << "a list of one user whose box was never filled";
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
    test::WriteAddressBook(dir / "UserB" / "address" / "address.dat", {{.recordId = 5}});
    AddressBook book;
    MeetingDatabase meetings(dir.Path());
    users->FillEntries(settings.appKey);
    desktop.users = {{101, "UserA", "UserA"}, {202, "UserB", "UserB"}};
    UserPlace place = FindUserPlace({}, settings, desktop);
    Recorded r;
    ChangeUser(1, *users, place, settings, env, book, meetings, r.Callbacks());
    const std::string data = Palm() + "UserB" + kSep + "Tavolex" + kSep;
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"meeting -1", "views 0 0", "address " + Palm() + "UserB" + kSep + "address" + kSep + "address.dat",
                                        "quick " + std::string(kQuickViewTitle), "loading " + data, "store " + data, "refill", "repaint"}));
    EXPECT_EQ(std::make_tuple(meetings.MeetingCount(), book.Count()), std::make_tuple(2, 1));
    EXPECT_EQ(backend.GetString("Software\\Brenmark\\Tavolex\\UserB", "OutputPath"), data);
    EXPECT_EQ(settings.meetingView, 0u) << "views are read before the defaults are written";
    EXPECT_EQ(Marks(), (std::vector<int>{0, 1}));
    EXPECT_EQ(std::make_tuple(place.current, settings.outputFolder), std::make_tuple(1, PathFromSettingsText(data)));
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

// The reload request selects the last user again, reloads its stores and tells the windows: a
// folder's user from the folder it was found in, never through Palm Desktop's folder, and the one
// last chosen among the folder's users is kept apart from Palm Desktop's last user.
TEST_F(PalmUserListTest, AFolderUserIsReloadedFromItsFolder) {
    const fs::path copy = dir / "copy";
    test::MeetingSpec meeting{.title = "B1", .date = test::HandheldDay(2024, 5, 1)};
    for (const char* name : {"UserA", "UserB"}) test::WritePalmUserFolder(copy / name / "Tavolex", {{}, {meeting}});
    backend.SetString(kAppKey, "LastUsername", "UserA");
    backend.SetString(kAppKey, std::string(kFolderUserValue), "UserB");
    UserPlace place = FindUserPlace({.palmFolder = copy}, settings, desktop);
    auto list = MakeUserList(place);
    EXPECT_EQ(list->FillEntries(settings.appKey), 1);
    EXPECT_EQ(list->SelectUserByName("UserB", settings, nullptr), 1);
    EXPECT_EQ(backend.GetString(kAppKey, "LastUsername"), "UserA") << "Palm Desktop's last user stays";

    AddressBook book;
    MeetingDatabase meetings(dir.Path());
    Recorded r;
    ReloadLastUser(*list, place, settings, book, meetings, r.Callbacks());
    const fs::path user = copy / "UserB";
    EXPECT_EQ(r.events, (std::vector<std::string>{"views 0 0", "box 1", "address " + SettingsTextFromPath(user / "address" / "address.dat"),
                                                  "loading " + SettingsTextFromPath(user / "Tavolex"),
                                                  "store " + SettingsTextFromPath(user / "Tavolex"),
                                                  "quick " + std::string(kQuickViewTitle), "meeting -1", "refill", "repaint"}));
    EXPECT_EQ(meetings.MeetingCount(), 1);
    EXPECT_EQ(settings.outputFolder, ChosenFolderReportFolder("UserB"));
    EXPECT_TRUE(place.reportFolderMadeOnWrite);
}

// One function works out the place from what was given, in its order, and writes no setting.
TEST_F(PalmUserListTest, ThePlaceComesFromWhatWasGivenInOrder) {
    const fs::path folders = dir / "folders";
    const fs::path other = dir / "other";
    test::MeetingSpec meeting{.title = "M", .date = test::HandheldDay(2024, 5, 1)};
    for (const char* name : {"UserA", "UserB"}) test::WritePalmUserFolder(folders / name / "Tavolex", {{}, {meeting}});
    test::WritePalmUserFolder(other / "Solo" / "Tavolex", {{}, {meeting}});
    fs::create_directories(dir / "empty");
    test::WritePalmUserFolder(dir / "UserB" / "Tavolex", {{}, {meeting}});
    const std::string userBKey = std::string(kAppKey) + "\\UserB";
    // Given: the request, whether Palm Desktop's user library lists UserA and UserB, the folder chosen
    // in the desktop program (under dir), the folder's last user and UserB's OutputPath. Found: the
    // problem, where the Palm folder came from and which ("" for the saved Palm Desktop folder), the
    // user, and where the user and the report folder came from.
    struct Case {
        const char* name;
        PlaceRequest request;
        bool library;
        const char *chosen, *folderUser, *reportSetting;
        PlaceProblem problem;
        PlaceSource palmFrom;
        std::string palmFolder, user;
        PlaceSource userFrom, reportFrom;
    };
    using P = PlaceSource;
    constexpr PlaceProblem kOk = PlaceProblem::kNone;
    const PlaceRequest none, option{.user = "UserA", .reportFolder = "/out"}, nobody{.user = "userb"};
    const Case cases[] = {
        {"Palm Desktop's users", none, true, "", "", "", kOk, P::kPalmDesktop, "", "UserB", P::kSetting, P::kDefault},
        {"the library, then a chosen folder", none, true, "other", "", "", kOk, P::kPalmDesktop, "", "UserB", P::kSetting, P::kDefault},
        {"a chosen folder alone", none, false, "other", "", "", kOk, P::kChosenFolder, "other", "Solo", P::kDefault, P::kDefault},
        {"the saved folder as folders", none, false, "", "", "", kOk, P::kSetting, "", "UserB", P::kSetting, P::kDefault},
        {"a folder's last user", none, false, "folders", "UserA", "", kOk, P::kChosenFolder, "folders", "UserA", P::kSetting, P::kDefault},
        {"the option before all", option, true, "", "", "", kOk, P::kPalmDesktop, "", "UserA", P::kOption, P::kOption},
        {"a report folder set", none, true, "", "", "/reports", kOk, P::kPalmDesktop, "", "UserB", P::kSetting, P::kSetting},
        {"no such user", nobody, true, "", "", "", PlaceProblem::kNoSuchUser, P::kPalmDesktop, "", "", P::kNone, P::kNone},
        {"no users", none, false, "empty", "", "", PlaceProblem::kNoUsers, P::kChosenFolder, "empty", "", P::kNone, P::kNone},
        {"no folder", none, false, "missing", "", "", PlaceProblem::kPalmFolderUnreadable, P::kChosenFolder, "missing", "", P::kNone,
         P::kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        backend.SetString(kAppKey, "LastUsername", "UserB");
        backend.SetString(kAppKey, std::string(kFolderUserValue), c.folderUser);
        backend.SetString(kAppKey, std::string(kChosenPalmFolderValue), *c.chosen != '\0' ? SettingsTextFromPath(dir / c.chosen) : "");
        backend.SetString(userBKey, "OutputPath", c.reportSetting);
        desktop.users = {{101, "UserA", "UserA"}, {202, "UserB", "UserB"}};
        desktop.hasUserLibrary = c.library;
        const UserPlace place = FindUserPlace(c.request, settings, desktop);
        EXPECT_TRUE(backend.writes.empty()) << "working out the place writes nothing";
        EXPECT_EQ(std::tie(place.problem, place.palmFolderFrom, place.userFrom, place.reportFolderFrom),
                  std::tie(c.problem, c.palmFrom, c.userFrom, c.reportFrom));
        EXPECT_EQ((place.palmFolder / "").lexically_normal(),
                  ((c.palmFolder.empty() ? dir.Path() : dir / c.palmFolder) / "").lexically_normal());
        const PlaceUser* user = place.CurrentUser();
        ASSERT_EQ(user != nullptr, !c.user.empty());
        if (user == nullptr) continue;
        EXPECT_EQ(user->name, c.user);
        EXPECT_EQ(place.dataFolder, user->folders.data);
        EXPECT_EQ(place.usersFromFolder, c.palmFrom != P::kPalmDesktop);
        const fs::path expectedReports = c.reportFrom == P::kOption    ? fs::path("/out")
                                         : c.reportFrom == P::kSetting ? PathFromSettingsText(c.reportSetting)
                                         : place.usersFromFolder       ? ChosenFolderReportFolder(c.user)
                                                                       : place.dataFolder;
        EXPECT_EQ(place.reportFolder, expectedReports);
        EXPECT_EQ(place.reportFolderMadeOnWrite, place.usersFromFolder && c.reportFrom == P::kDefault);
    }
}

}  // namespace
}  // namespace tavolex
