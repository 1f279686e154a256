// The command-line program run as a user runs it: a process with its arguments, its stdout,
// stderr and exit status, on Palm folders written by the test support writers.

#include "platform/platform.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/no_default_browser.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace tavolex::test;
using nlohmann::json;

struct RunResult {
    int status = -1;  // exit status; -1 when the process did not exit normally (a crash)
    std::string out, err;
};

// One run and what it must give.
struct Case {
    std::vector<std::string> args{};
    int status = 0;
    std::optional<std::string> out{};  // the whole stdout
    std::optional<std::string> err{};  // the whole stderr
    std::string errHas{};              // a part of stderr (the path, the reason)
    std::string env{};                 // "NAME=VALUE …" for the process's environment
    std::string shell{};               // shell commands run first ("ulimit -f 1;")
    bool fullDisk = false;             // stdout is /dev/full
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The stdout of a shell command.
std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        PalmUserSpec user;
        user.categories = {"Unfiled", "Business"};
        user.meetings = {
            {.title = "Kickoff",
             .location = "Room 1",
             .date = HandheldDay(2026, 11, 2),
             .start = {9, 0},
             .end = {10, 30},
             .category = 1,
             .items = {AgendaSpec{.text = "Budget\nsecond line", .status = 1}, NoteSpec{.text = "Remember\tthis"},
                       ToDoSpec{.text = "Call Acme", .priority = 3, .dueDate = HandheldDay(2026, 11, 9)},
                       AttendeeSpec{.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = 0x77},
                       AttendeeSpec{.nameParts = {"Hanako", "", "Beta"}, .addressId = 0x99, .absent = true}}},
            {.title = "Review a:b", .location = "", .date = HandheldDay(2026, 11, 3)},
        };
        WritePalmUserFolder(palm_ / "UserA" / "Tavolex", user);
        WriteAddressBook(palm_ / "UserA" / "address" / "address.dat",
                         {{.recordId = 0x77, .lastName = "Yamada", .firstName = "Taro", .company = "Acme Corp"}});
        PalmUserSpec other;
        other.meetings = {{.title = "Other", .date = HandheldDay(2026, 1, 1)}};
        WritePalmUserFolder(palm_ / "UserB" / "tavolex", other);
        fs::create_directories(dir_ / "out");
    }

    RunResult Run(const std::vector<std::string>& args, bool withGlobals = true, const std::string& env = "", const std::string& shell = "",
                  bool fullDisk = false) {
        std::string command =
            shell + "unset TAVOLEX_PALM_FOLDER; LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 TAVOLEX_TRACE= HOME=" + Quote(dir_.Path().string()) +
            " XDG_CONFIG_HOME= " + env + " exec " + Quote(TAVOLEX_CLI_PATH);  // the shell becomes the program: one process less per run
        if (withGlobals) {
            command += " --config " + Quote((dir_ / "config").string()) + " --palm-folder " + Quote(palm_.string()) + " --output " +
                       Quote((dir_ / "out").string());
        }
        for (const std::string& a : args) command += " " + Quote(a);
        command += " </dev/null >" + Quote(fullDisk ? "/dev/full" : (dir_ / "stdout").string()) + " 2>" + Quote((dir_ / "stderr").string());
        const int raw = std::system(command.c_str());
        RunResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadFileBytes(dir_ / "stdout");
        r.err = ReadFileBytes(dir_ / "stderr");
        return r;
    }

    // Runs each case in order (a case may rely on what the ones before it did); withGlobals puts the
    // test's settings, Palm and output folders first.
    void Expect(const std::vector<Case>& cases, bool withGlobals = true) {
        for (const Case& c : cases) {
            std::string shown;
            for (const std::string& a : c.args) shown += " " + a;
            SCOPED_TRACE(shown);
            const RunResult r = Run(c.args, withGlobals, c.env, c.shell, c.fullDisk);
            EXPECT_EQ(r.status, c.status) << r.err;
            EXPECT_EQ(r.out, c.out.value_or(r.out));
            EXPECT_EQ(r.err, c.err.value_or(r.err));
            EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        }
    }

    std::string Out(const std::string& name) const { return (dir_ / "out" / name).string(); }

    // The last run's CSV as Python's csv module reads it, a list per row, after it checked the byte
    // order mark and the CR LF at the end.
    json CsvRows() const {
        return json::parse(Capture("/usr/bin/python3 " + Quote(TAVOLEX_EXPORT_CHECK) + " --csv " + Quote((dir_ / "stdout").string())));
    }

    // A run on the sample Palm folder's user (TanakaT unless told; none: as the arguments say) with
    // its own settings in `folder`, "@" in the arguments standing for that folder.
    RunResult RunOnSamples(const fs::path& folder, const std::vector<std::string>& arguments, const char* user = "TanakaT") {
        std::vector<std::string> args = {"--config", (folder / "config").string(), "--palm-folder", TAVOLEX_SAMPLES_PALM};
        if (user != nullptr) args.insert(args.end(), {"--user", user});
        for (const std::string& a : arguments) args.push_back(a.starts_with("@") ? folder.string() + a.substr(1) : a);
        return Run(args, false);
    }

    // Two dated copies of a Palm folder, dir_/a and dir_/b: between them Tanaka's first meeting was
    // edited (its title and an item), one added (3) and one deleted on the handheld (4); Suzuki's
    // folder is only in the older copy.
    void WriteTwoCopies() {
        for (const bool newer : {false, true}) {
            PalmUserSpec user;
            user.meetings = {{.title = newer ? "Kickoff 2" : "Kickoff",
                              .date = HandheldDay(2026, 11, 2),
                              .items = {AgendaSpec{.text = newer ? "Budget!" : "Budget"}, NoteSpec{.text = "n"},
                                        SketchSpec{.bitmap = {0, 4, 0, 4, 0, static_cast<std::uint8_t>(newer ? 2 : 1)}}},  // redrawn
                              .id = 1},
                             {.title = "Review", .date = HandheldDay(2026, 11, 3), .items = {NoteSpec{.text = "r"}}, .id = 2}};
            user.meetings.push_back(newer ? MeetingSpec{.title = "New", .date = HandheldDay(2026, 11, 5), .id = 3}
                                          : MeetingSpec{.title = "Old", .date = HandheldDay(2026, 11, 1), .id = 4});
            WritePalmUserFolder(dir_ / (newer ? "b" : "a") / "Tanaka" / "Tavolex", user);
        }
        WritePalmUserFolder(dir_ / "a" / "Suzuki" / "Tavolex", {.meetings = {{.title = "S", .date = HandheldDay(2026, 10, 1), .id = 9}}});
    }

    TempDir dir_;
    NoDefaultBrowser noBrowser_{dir_ / "nobrowser"};
    fs::path palm_ = dir_ / "palm";
};

std::string Usage(const std::string& command, const std::string& problem) {
    return "tavolex: " + problem + " (see \"tavolex " + command + "--help\")\n";
}

// Several users at once: each user's listing as it is alone, the user first on every line, in CSV
// (one header row, read by Python's csv) and in JSON; a user that can't be loaded is named and left
// out, and the others are listed; a command that lists one user refuses several.
TEST_F(CliTest, SeveralUsersListedAtOnce) {
    const auto alone = [&](const char* user, const std::vector<std::string>& args) {
        std::vector<std::string> with = {"--user", user};
        with.insert(with.end(), args.begin(), args.end());
        std::string prefixed;
        std::istringstream lines(Run(with).out);
        for (std::string line; std::getline(lines, line);) prefixed += std::string(user) + "\t" + line + "\n";
        return prefixed;
    };
    for (const std::vector<std::string>& listing :
         std::vector<std::vector<std::string>>{{"meetings"}, {"todos"}, {"people"}, {"search", "e"}}) {
        std::vector<std::string> all = {"--all-users"}, named = {"--user", "UserB", "--user", "UserA", "--user", "UserB"};
        all.insert(all.end(), listing.begin(), listing.end());
        named.insert(named.end(), listing.begin(), listing.end());
        EXPECT_EQ(Run(all).out, alone("UserA", listing) + alone("UserB", listing)) << listing[0];
        EXPECT_EQ(Run(named).out, alone("UserB", listing) + alone("UserA", listing)) << listing[0];
    }
    ASSERT_EQ(Run({"--all-users", "--csv", "search", "e"}).status, 0);
    const json rows = CsvRows();
    ASSERT_GE(rows.size(), 3U);
    EXPECT_EQ(rows[0][0], "user");
    EXPECT_EQ(rows[0][1], "meeting");
    std::set<std::string> users;
    for (std::size_t r = 1; r < rows.size(); ++r) users.insert(rows[r][0]);
    EXPECT_EQ(users, (std::set<std::string>{"UserA", "UserB"}));
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const json& row) { return row.back() == "Budget\nsecond line"; }));

    const RunResult left = Run({"--user", "UserA", "--user", "Nobody", "--json", "meetings"});
    EXPECT_EQ(left.status, 1);
    EXPECT_NE(left.err.find("the user \"Nobody\" was left out"), std::string::npos) << left.err;
    const json document = json::parse(left.out);
    EXPECT_EQ(document["usersLeftOut"], json::array({"Nobody"}));
    ASSERT_EQ(document["meetings"].size(), 2U);
    EXPECT_EQ(nlohmann::ordered_json::parse(left.out)["meetings"][0].begin().key(), "user");
    EXPECT_EQ(document["meetings"][1]["user"], "UserA");
    Expect({
        {.args = {"--all-users", "report", "1"}, .status = 2, .errHas = "several users"},
        {.args = {"--all-users", "--user", "UserA", "meetings"}, .status = 2, .errHas = "exclude each other"},
    });
}

// Exports of several users into one file: each user's events, cards and dump as that user's own
// export has them, read back by python3-icalendar, python3-vobject and Python's json; the --json
// summary names the users. The vault: a folder per user.
TEST_F(CliTest, SeveralUsersExportedTogether) {
    for (const char* user : {"UserA", "UserB"}) {
        for (const std::string format : {"ics", "vcf", "json"}) {
            const std::string command = format == "ics" ? "calendar" : format == "vcf" ? "contacts" : "dump";
            ASSERT_EQ(Run({"--user", user, command, "-o", Out(std::string(user) + "." + format)}).status, 0);
        }
    }
    const RunResult summary = Run({"--all-users", "--json", "calendar", "-o", Out("all.ics")});
    ASSERT_EQ(summary.status, 0) << summary.err;
    EXPECT_EQ(json::parse(summary.out)["users"], json::array({"UserA", "UserB"}));
    ASSERT_EQ(Run({"--all-users", "contacts", "-o", Out("all.vcf")}).status, 0);
    ASSERT_EQ(Run({"--user", "UserA", "--user", "UserB", "dump", "-o", Out("all.json")}).status, 0);
    // The database (of the sample users, both with items): each user's rows as its own database has
    // them, under its number in users.
    for (const char* user : {"SuzukiH", "TanakaT"})
        ASSERT_EQ(RunOnSamples(dir_.Path(), {"sqlite", Out(std::string(user) + ".sqlite")}, user).status, 0);
    ASSERT_EQ(RunOnSamples(dir_.Path(), {"--all-users", "sqlite", Out("all.sqlite")}, nullptr).status, 0);

    // The archive: each user's own archive in a folder of the user's name, byte for byte, and an
    // index over them whose "?u=" shows exactly that user's meetings in Chromium. The vault: each
    // user's own vault in a folder of the user's name, byte for byte, and index.md linking the notes.
    // A second run of either refreshes it, asking nothing.
    ASSERT_EQ(RunOnSamples(dir_.Path(), {"archive", Out("alone-archive")}).status, 0);
    for (int run = 0; run < 2; ++run) ASSERT_EQ(RunOnSamples(dir_.Path(), {"--all-users", "archive", Out("archive")}, nullptr).status, 0);
    ASSERT_EQ(Run({"--user", "UserA", "markdown", Out("alone")}).status, 0);
    for (int run = 0; run < 2; ++run) ASSERT_EQ(Run({"--all-users", "markdown", Out("vaults")}).status, 0);
    EXPECT_EQ(
        Capture("cd " + Quote((dir_ / "out").string()) + " && diff -r alone-archive archive/TanakaT && diff -r alone vaults/UserA && " +
                "/usr/bin/python3 " + Quote(TAVOLEX_EXPORT_CHECK) + " --several-users . 2>&1 && /usr/bin/python3 " +
                Quote(TAVOLEX_EXPORT_CHECK) + " --users-archive archive 2>&1"),
        "several users: 72 database items; vault index ['UserA', 'UserB'] 3\nusers index: 2 users, 15 meetings\n");
}

// Two copies of a Palm folder: compare names what changed between them and nothing else, and reads
// both folders only.
TEST_F(CliTest, CompareNamesWhatChangedBetweenTwoCopies) {
    WriteTwoCopies();
    // A copy whose meeting id repeats: the first of them stands for the id.
    const MeetingSpec review{.title = "Review", .date = HandheldDay(2026, 11, 3), .id = 2};
    WritePalmUserFolder(dir_ / "once" / "Tanaka" / "Tavolex", {.meetings = {review}});
    WritePalmUserFolder(dir_ / "twice" / "Tanaka" / "Tavolex", {.meetings = {review, {.title = "Again", .id = 2}}});
    const std::string a = (dir_ / "a").string(), b = (dir_ / "b").string();
    Expect({
        {.args = {"compare", a, b},
         .out = "Suzuki\tonly-in-A\t\t\tthe user's folder\nTanaka\tonly-in-A\t2026-11-01\tOld\t\n"
                "Tanaka\tonly-in-B\t2026-11-05\tNew\t\nTanaka\tchanged\t2026-11-02\tKickoff 2\ttitle, items: 2 edited\n"},
        {.args = {"compare", a, a}, .out = ""},
        {.args = {"--user", "Tanaka", "compare", b, a},
         .out = "Tanaka\tonly-in-A\t2026-11-05\tNew\t\nTanaka\tonly-in-B\t2026-11-01\tOld\t\n"
                "Tanaka\tchanged\t2026-11-02\tKickoff\ttitle, items: 2 edited\n"},
        {.args = {"compare", a, (dir_ / "none").string()}, .status = 1, .errHas = (dir_ / "none").string()},
        {.args = {"compare", (dir_ / "once").string(), (dir_ / "twice").string()}, .out = ""},
    });
    const json changes = json::parse(Run({"--json", "compare", b, a}).out)["changes"];
    ASSERT_EQ(changes.size(), 4U);
    EXPECT_EQ(changes[2]["id"], 1);
    EXPECT_EQ(changes[2]["what"], "title, items: 2 edited");
    EXPECT_EQ(changes[3]["user"], "Suzuki") << "a user only in B";
    EXPECT_EQ(changes[3]["change"], "only-in-B");
}

// Two dated copies of a Palm folder given at once: each meeting once, the one edited between them
// as the copy given last holds it, one deleted on the handheld after the older copy kept, and a
// user found only in the older copy listed too. The summary counts what was merged.
TEST_F(CliTest, CopiesOfAPalmFolderAreMergedTheLastOneWinning) {
    WriteTwoCopies();
    const std::string a = (dir_ / "a").string(), b = (dir_ / "b").string();
    const auto row = [](int n, const std::string& title, const std::string& day) {
        return std::to_string(n) + "\t" + title + "\t\t2026/" + day + " \t\n";
    };
    Expect({
        {.args = {"--palm-folder", a, "--palm-folder", b, "--user", "Tanaka", "meetings"},
         .out = row(1, "Kickoff 2", "11/02") + row(2, "Review", "11/03") + row(3, "New", "11/05") + row(4, "Old", "11/01")},
        {.args = {"--palm-folder", b, "--palm-folder", a, "--user", "Tanaka", "meetings"},
         .out = row(1, "Kickoff", "11/02") + row(2, "Review", "11/03") + row(3, "Old", "11/01") + row(4, "New", "11/05")},
        {.args = {"--palm-folder", a, "--palm-folder", b, "--user", "Tanaka", "search", "Budget"}, .out = "1\tagenda\t1\tBudget!\n"},
        {.args = {"--palm-folder", b, "--palm-folder", a, "--palm-folder", b, "--user", "Suzuki", "meetings"}, .out = row(1, "S", "10/01")},
        {.args = {"--palm-folder", (dir_ / "none").string(), "--palm-folder", b, "meetings"},
         .status = 1,
         .errHas = (dir_ / "none").string()},
    });
    const fs::path dump = dir_ / "merged.json";
    const json summary =
        json::parse(Run({"--palm-folder", a, "--palm-folder", b, "--all-users", "--json", "dump", "-o", dump.string()}).out);
    // The run's own folder (given first by the fixture) is the oldest copy: its users join the list.
    EXPECT_EQ(summary["users"], json::array({"Tanaka", "Suzuki", "UserA", "UserB"}));
    EXPECT_EQ(summary["merged"], 1);
    EXPECT_EQ(summary["replaced"], 1);
    EXPECT_EQ(summary["meetings"], 8);
    const std::vector<std::string> alone = {
        "--config", (dir_ / "config").string(), "--palm-folder", b, "--json", "dump", "-o", dump.string(), "--yes"};
    EXPECT_FALSE(json::parse(Run(alone, false).out).contains("merged"));
}

TEST_F(CliTest, ListingsSelectionSearchAndFailures) {
    const std::string kickoff = "1\tKickoff\tRoom 1\t2026/11/02 9:00 - 10:30\tBusiness\n";
    const std::string review = "2\tReview a:b\t\t2026/11/03 \tUnfiled\n";
    PalmUserSpec fold;  // Shift-JIS texts to find with other widths and cases
    fold.meetings = {
        {.title = platform::Utf8ToCp932("ＡＢＣ Review"),
         .date = HandheldDay(2026, 11, 2),
         .items = {NoteSpec{.text = "intro"}, AgendaSpec{.text = platform::Utf8ToCp932("Read the ガイド first")}}},
        {.title = "Esc\x1b]0;owned\x07|\x7f", .date = HandheldDay(2026, 11, 3), .items = {NoteSpec{.text = std::string(2000, 'w')}}}};
    WritePalmUserFolder(dir_ / "fold" / "UserC" / "Tavolex", fold);
    const std::string folded = "--palm-folder=" + (dir_ / "fold").string();
    const std::string samples = "--palm-folder=" TAVOLEX_SAMPLES_PALM;
    WriteFileBytes(dir_ / "file", "x");
    fs::create_directories(dir_ / "folder.htm");
    const std::string notFolder = (dir_ / "file" / "out").string();
    Expect({
        {.args = {"users"}, .out = "*\tUserA\t" + (palm_ / "UserA").string() + "\n \tUserB\t" + (palm_ / "UserB").string() + "\n"},
        {.args = {"meetings"}, .out = kickoff + review},
        {.args = {"--user", "UserB", "meetings"}, .out = "1\tOther\t\t2026/01/01 \t\n"},  // no categories
        {.args = {"items", "1"}, .out = "agenda\tBudget\nnote\tRemember\ntodo\tCall Acme\nattendee\tYamada Taro\nattendee\tHanako, Beta\n"},
        {.args = {"show", "1"}, .out = "クイックビュー\n\nKickoff\n_______\n\n2026/11/02\n9:00 - 10:30\nRoom 1\n"},
        {.args = {"show", "1", "9"}, .status = 1},
        {.args = {"items", "3"}, .status = 1},
        {.args = {"-V"}, .out = "tavolex " TAVOLEX_VERSION "\n"},
        {.args = {"--help"}},
        // Selection and sorting.
        {.args = {"meetings", "2"}, .out = review},
        {.args = {"meetings", "1-2"}, .out = kickoff + review},
        {.args = {"meetings", "2,1"}, .out = kickoff + review},
        {.args = {"meetings", "--since", "2026-11-03"}, .out = review},
        {.args = {"meetings", "--until", "2026-11-02"}, .out = kickoff},
        {.args = {"meetings", "--category", "business"}, .out = kickoff},
        {.args = {"meetings", "--attendee", "YAMADA"}, .out = kickoff},
        {.args = {"meetings", "--attendee", "beta"}, .out = kickoff},
        {.args = {"meetings", "--attendee", "Nobody"}, .out = ""},
        {.args = {"meetings", "--sort", "title"}, .out = kickoff + review},
        {.args = {"meetings", "--sort", "date", "--since", "2026-01-01"}, .out = kickoff + review},
        {.args = {"meetings", "1-3"}, .status = 1},
        // Search folds width and case.
        {.args = {folded, "search", "ｶﾞｲﾄﾞ"}, .out = "1\tagenda\t2\tRead the ガイド first\n"},
        {.args = {folded, "search", "abc"}, .out = "1\ttitle\t0\tＡＢＣ Review\n"},
        {.args = {folded, "search", "INTRO"}, .out = "1\tnote\t1\tintro\n"},
        {.args = {folded, "search", "nothing"}, .out = ""},
        // No control character reaches the terminal.
        {.args = {folded, "meetings", "2"}, .out = "2\tEsc ]0;owned | \t\t2026/11/03 \t\n"},
        {.args = {folded, "show", "2"}, .out = "クイックビュー\n\nEsc ]0;owned | \n" + std::string(15, '_') + "\n\n2026/11/03\n\n\n"},
        {.args = {samples, "--user", "TanakaT", "search", "ﾃﾝﾌﾟﾚｰﾄ"}, .out = "11\tagenda\t1\tテーマ: テンプレートの作り方\n"},
        {.args = {samples, "--user", "TanakaT", "search", "ﾉｰﾄ pc"}, .out = "11\tnote\t2\t持ち物: ノート PC\n"},
        {.args = {samples, "--user", "TanakaT", "search", "山田商事"},
         .out = "1\tattendee\t2\t一郎 山田, 山田商事株式会社\n4\ttitle\t0\t顧客訪問 (山田商事)\n4\tlocation\t0\t山田商事 本社\n"
                "4\tattendee\t1\t一郎 山田, 山田商事株式会社\n7\tattendee\t4\t一郎 山田, 山田商事株式会社\n"},
        // Bad usage: exit 2 and one line naming the problem.
        {.args = {}, .status = 2},
        {.args = {"report", "1", "--kind", "weekly"}, .status = 2},
        {.args = {"report", "1", "--sections", "agenda,cats"}, .status = 2},
        {.args = {"meetings", "--bogus"}, .status = 2, .err = Usage("meetings ", "The following argument was not expected: --bogus")},
        {.args = {"bogus"}, .status = 2, .err = Usage("", "unknown command \"bogus\"")},
        {.args = {"help", "bogus"}, .status = 2, .err = Usage("", "unknown command \"bogus\"")},
        {.args = {"--json", "--csv", "users"}, .status = 2, .err = Usage("users ", "--json and --csv exclude each other")},
        {.args = {"--csv", "show", "1"}, .status = 2, .err = Usage("show ", "--csv is for the listing commands; show has --json")},
        {.args = {"meetings", "0"}, .status = 2, .err = Usage("meetings ", "\"0\" is not a meeting number or range (as in 3 or 1-5,8)")},
        {.args = {"meetings", "--since", "2026-02-30"},
         .status = 2,
         .err = Usage("meetings ", "--since wants a date as YYYY-MM-DD, not \"2026-02-30\"")},
        {.args = {"report", "1", "--name", ""}, .status = 2, .err = Usage("report ", "a report name can't be empty")},
        {.args = {"report", "--all", "--name", "x"},
         .status = 2,
         .err = Usage("report ", "--name names one report; --name-format names several")},
        {.args = {"report", "--all", "--name-format", "{when}"},
         .status = 2,
         .err = Usage("report ", "--name-format knows {title}, {date}, {number} and {id}, not \"{when}\"")},
        {.args = {"search", ""}, .status = 2, .err = Usage("search ", "the text to search for can't be empty")},
        {.args = {"archive", "a", "--jobs", "0"}, .status = 2, .errHas = "--jobs wants a number of threads of 1 or more, not \"0\""},
        {.args = {"sqlite", "a", "--jobs=-2"}, .status = 2, .errHas = "not \"-2\""},
        {.args = {"dump", "--jobs", "many"}, .status = 2, .errHas = "not \"many\""},
        {.args = {"dump", "--jobs", "1000000"}, .status = 2, .errHas = "not \"1000000\""},  // past what stoi is asked to read
        // Failures: exit 1, the path and the reason after the system's message.
        {.args = {"--user", "Nobody", "meetings"}, .status = 1, .errHas = "Nobody"},
        {.args = {"--output", notFolder, "reports"}, .status = 1, .errHas = notFolder + ": Not a directory"},
        {.args = {"--output", notFolder, "report", "1"}, .status = 1, .errHas = notFolder + ": Not a directory"},
        {.args = {"import", (dir_ / "folder.htm").string()}, .status = 1, .errHas = (dir_ / "folder.htm").string() + ": Is a directory"},
        {.args = {"import", (dir_ / "none.htm").string()},
         .status = 1,
         .errHas = (dir_ / "none.htm").string() + ": No such file or directory"},
        {.args = {"report", "1", "--name", std::string(300, 'n')}, .status = 1, .errHas = ": File name too long"},
        {.args = {"report", "1", "--name", "\xF0\x9F\x98\x80"}, .status = 1, .errHas = "Shift-JIS"},
        {.args = {"show", "7"}, .status = 1, .errHas = "There is no meeting 7: the user has 2 meetings."},
        {.args = {"report", "--category", "none"}, .status = 1, .errHas = "No meeting matches the selection: no report was written."},
        {.args = {"report", "1", "--template", "missing.htm"}, .status = 1},
        {.args = {"open", "nothing"}, .status = 1},
        // Output that can't be written: exit 1, the reason, and a failure's own message kept.
        {.args = {"meetings", "7"}, .status = 1, .errHas = "There is no meeting 7", .fullDisk = true},
        {.args = {"dump", "-o", Out("big.json")},
         .status = 1,
         .errHas = Out("big.json") + ": File too large",
         .shell = "trap '' XFSZ; ulimit -f 1; "},
        {.args = {folded, "markdown", Out("vault")},
         .status = 1,
         .errHas = "cannot write " + Out("vault"),
         .shell = "trap '' XFSZ; ulimit -f 1; "},
    });
    EXPECT_FALSE(fs::exists(Out("big.json")));
    std::vector<Case> full;
    const std::vector<std::string> writers[] = {{"users"},     {"meetings"},         {"--csv", "meetings"}, {"--json", "items", "1"},
                                                {"show", "1"}, {"search", "Budget"}, {"--json", "check"},   {"--json", "reports"},
                                                {"config"},    {"calendar"},         {"contacts"},          {"dump"},
                                                {"--help"}};
    for (const std::vector<std::string>& args : writers) {
        full.push_back({.args = args,
                        .status = 1,
                        .err = "Tavolex: The output could not be written.\nstandard output: No space left on device\n",
                        .fullDisk = true});
    }
    Expect(full);
    EXPECT_EQ(Run({"meetings", "--json"}).out, Run({"--json", "meetings"}).out) << "options after the command";
    EXPECT_NE(Run({"help", "search"}).out.find("Example:\n  tavolex search"), std::string::npos);
}

TEST_F(CliTest, WhereTheDataIsAndTheSettingsThatKeepIt) {
    const std::string config = "--config=" + (dir_ / "config").string();
    const std::string missing = (dir_ / "file" / "palm").string();
    const std::string fileConfig = "--config=" + (dir_ / "file").string();
    const std::string meetings = Run({"meetings"}).out;
    const std::string attendee = Run({"show", "1", "4"}).out;  // with the address book's entry
    WriteFileBytes(dir_ / "file", "x");
    // Palm Desktop's address book in another letter case.
    const fs::path caps = dir_ / "caps";
    fs::copy(palm_, caps, fs::copy_options::recursive);
    fs::rename(caps / "UserA" / "address", caps / "UserA" / "Address");
    fs::rename(caps / "UserA" / "Address" / "address.dat", caps / "UserA" / "Address" / "ADDRESS.DAT");
    // A Palm folder written into settings.ini by hand, without quotes.
    WriteFileBytes(dir_ / "hand" / "settings.ini", "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\nPath=" + palm_.string() + "\n");
    Expect(
        {
            {.args = {config, "users"},
             .status = 1,
             .err = "Tavolex: No Palm Desktop folder is set.\nName it with --palm-folder DIR or the environment variable "
                    "TAVOLEX_PALM_FOLDER, or keep it with: tavolex config palm-folder DIR\n"},
            {.args = {config, "config"}, .err = ""},  // the listing leaves the user's settings out without a word
            {.args = {config, "--palm-folder", missing, "users"}, .status = 1, .errHas = missing + ": Not a directory\n"},
            {.args = {"--config", (dir_ / "c2").string(), "--palm-folder", (dir_ / "none").string(), "meetings"},
             .status = 1,
             .errHas = (dir_ / "none").string()},
            {.args = {config, "meetings"}, .out = meetings, .env = "TAVOLEX_PALM_FOLDER=" + Quote(palm_.string())},
            {.args = {"--config", (dir_ / "hand").string(), "meetings"}, .out = meetings},
            {.args = {config, "--palm-folder", caps.string(), "show", "1", "4"}, .out = attendee},
            {.args = {config, "config", "palm-folder", palm_.string()}, .out = "palm-folder\t" + palm_.string() + "\n"},
            {.args = {config, "meetings"}, .out = meetings, .env = "TAVOLEX_TRACE=" + Quote((dir_ / "trace").string())},
            {.args = {"--palm-folder", palm_.string(), "config", "author", "me"}},  // kept under $HOME/.config
            {.args = {config, "config", "user", "UserB"}},
            {.args = {config, "meetings"}, .out = "1\tOther\t\t2026/01/01 \t\n"},
            {.args = {config, "config", "user", "Nobody"}, .status = 1},
            {.args = {config, "config", "--unset", "user"}},
            {.args = {config, "config", "colour", "red"}, .status = 2},
            {.args = {config, "config", "palm-folder", missing}, .status = 1},
            {.args = {config, "config", "templates", missing}, .status = 1},
            // A store that can't be written doesn't stop reading, and says so when asked to keep something.
            {.args = {fileConfig, "--palm-folder", palm_.string(), "meetings"}},
            {.args = {fileConfig, "config", "author", "me", "--palm-folder", palm_.string()},
             .status = 1,
             .errHas = (dir_ / "file" / "settings.ini").string() + ": Not a directory"},
        },
        false);
    // A user's folder, a data folder and a data folder copied under another name are folders too;
    // a user found so writes reports under Documents, unless a report folder is set.
    fs::copy(palm_ / "UserB" / "tavolex", dir_ / "copy", fs::copy_options::recursive);
    fs::rename(dir_ / "copy" / "meeting.dat", dir_ / "copy" / "MEETING.DAT");  // as a copy from Windows may name it
    const std::string userB = "1\tOther\t\t2026/01/01 \t\n";
    const std::string report = "/Tavolex/UserA/Kickoff.htm\n";
    WriteFileBytes(dir_ / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/書類\"\n");
    Expect(
        {
            {.args = {config, "--palm-folder", (palm_ / "UserA" / "").string(), "users"},
             .out = "*\tUserA\t" + (palm_ / "UserA").string() + "\n"},
            {.args = {config, "--palm-folder", (palm_ / "UserB" / "tavolex").string(), "meetings"}, .out = userB},
            // From inside a user's folder, its data folder named by "..": the user is still UserA.
            {.args = {config, "--palm-folder", "../Tavolex", "users"},
             .out = "*\tUserA\t" + (palm_ / "UserA").string() + "\n",
             .shell = "cd " + Quote((palm_ / "UserA" / "Tavolex").string()) + " && "},
            // A relative folder without dots is listed as given.
            {.args = {config, "--palm-folder", "palm/UserA", "users"},
             .out = "*\tUserA\tpalm/UserA\n",
             .shell = "cd " + Quote(dir_.Path().string()) + " && "},
            {.args = {config, "--palm-folder", (dir_ / "copy").string(), "meetings"}, .out = userB},
            {.args = {config, "--palm-folder", palm_.string(), "reports"}, .out = ""},  // none written yet
            {.args = {config, "--palm-folder", palm_.string(), "report", "1"}, .out = dir_.Path().string() + "/書類" + report},
            {.args = {config, "--palm-folder", palm_.string(), "report", "1"},
             .out = dir_.Path().string() + "/docs" + report,
             .env = "XDG_DOCUMENTS_DIR=" + Quote((dir_ / "docs").string())},
            {.args = {config, "--palm-folder", (dir_ / "docs").string(), "meetings"}, .status = 1},  // reports only
            {.args = {config, "config", "output", (dir_ / "set").string()}},
            {.args = {config, "--palm-folder", palm_.string(), "report", "1"}, .out = (dir_ / "set" / "Kickoff.htm").string() + "\n"},
        },
        false);
    EXPECT_FALSE(fs::exists(palm_ / "UserA" / "Tavolex" / "Kickoff.htm")) << "the copied folder is never written";
    // The folder chosen in the desktop program is the Palm folder of every command, `config` too.
    WriteFileBytes(dir_ / "chosen" / "settings.ini", "[Software\\Brenmark\\Tavolex]\nPalmFolder=" + palm_.string() + "\n");
    const std::string chosen = "--config=" + (dir_ / "chosen").string();
    Expect({{.args = {chosen, "meetings"}, .out = meetings},
            {.args = {chosen, "config", "user", "Nobody"}, .status = 1, .errHas = "No Palm user named \"Nobody\" was found"}},
           false);
    // Data folders copied under names of their own are users of their own: their calendars carry
    // each one's name in their UIDs, never the folder around them.
    fs::create_directories(dir_ / "two");
    for (const char* name : {"alice", "bob"}) fs::copy(palm_ / "UserB" / "tavolex", dir_ / "two" / name, fs::copy_options::recursive);
    const auto uids = [&](const char* user) {
        const RunResult r = Run({config, "--palm-folder", (dir_ / "two" / user).string(), "calendar"}, false);
        std::string found;
        for (std::size_t at = r.out.find("\nUID:"); at != std::string::npos; at = r.out.find("\nUID:", at + 1))
            found += r.out.substr(at, r.out.find('\r', at) - at);
        return found;
    };
    EXPECT_FALSE(uids("alice").empty());
    EXPECT_NE(uids("alice"), uids("bob"));
    const json settings = json::parse(Run({config, "--json", "config"}, false).out)["settings"];
    EXPECT_EQ(settings[0], (json{{"key", "palm-folder"}, {"value", palm_.string()}}));
    EXPECT_TRUE(settings[1]["value"].is_null());
    EXPECT_NE(ReadFileBytes(dir_ / "trace").find("NEW Meeting[0]"), std::string::npos) << "the trace reaches TAVOLEX_TRACE";
    EXPECT_NE(ReadFileBytes(dir_ / ".config" / "tavolex" / "settings.ini").find("me"), std::string::npos);

    // A template folder setting that names a folder no longer there gives the installed one.
    fs::create_directories(dir_ / "gone");
    ASSERT_EQ(Run({"config", "templates", (dir_ / "gone").string()}).status, 0);
    fs::remove(dir_ / "gone");
    EXPECT_EQ(Run({"report", "1", "--template", "エグゼクティブ.htm"}).status, 0);
    // A viewer stored empty is looked up again by the next run that opens a report, and only then.
    WriteFileBytes(dir_ / "bin" / "xdg-open", "#!/bin/sh\n");  // with no default browser, the viewer
    fs::permissions(dir_ / "bin" / "xdg-open", fs::perms::owner_all);
    ASSERT_EQ(Run({"config", "--unset", "viewer"}).out, "viewer\t\n");
    const std::string path = "PATH=" + Quote((dir_ / "bin").string() + ":" + std::getenv("PATH"));
    Run({"meetings"}, true, path);
    EXPECT_EQ(Run({"config", "viewer"}).out, "viewer\t\n");
    const RunResult opened = Run({"report", "1", "--open", "--yes"}, true, path);
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(Run({"config", "viewer"}).out, "viewer\t" + (dir_ / "bin" / "xdg-open").string() + "\n");
}

TEST_F(CliTest, ReportsAndTheirFiles) {
    ASSERT_EQ(Run({"report", "1", "--name", "a\tb"}).status, 0);
    const std::string line = Run({"reports"}).out;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << "a tab in a name stays inside its column: " << line;
    EXPECT_EQ(line.substr(0, 4), "a b\t");
    const fs::path report = dir_ / "out" / "Kickoff.htm";
    WriteFileBytes(dir_ / "t" / "minutes.RTF", "{\\rtf1 \\{TITLE\\}}");
    fs::create_directories(dir_ / "elsewhere");
    Expect({{.args = {"report", "1"}, .out = report.string() + "\n"}});
    WriteFileBytes(report, "keep me");
    Expect({
        {.args = {"report", "1"}, .status = 1, .errHas = "は既に存在します"},
        {.args = {"report", "2", "--kind", "agenda"}, .out = Out("Review a b.htm") + "\n", .errHas = "Filename Change"},
        {.args = {"report", "1", "--template", (dir_ / "t" / "minutes.RTF").string(), "--name", "m"}},
        // Each kind is its own report; a custom report holds only its sections.
        {.args = {"report", "1", "--name", "kind-executive", "--kind", "executive"}},
        {.args = {"report", "1", "--name", "kind-agenda", "--kind", "agenda"}},
        {.args = {"report", "1", "--name", "kind-custom", "--kind", "custom", "--sections", "todo"}},
    });
    EXPECT_EQ(ReadFileBytes(report), "keep me") << "never replaced without --force";
    EXPECT_EQ(Run({"report", "1", "--force"}).status, 0);
    EXPECT_EQ(ReadFileBytes(Out("m.RTF")), "{\\rtf1  Kickoff}");
    const std::string executive = ReadFileBytes(Out("kind-executive.htm"));
    EXPECT_NE(executive.find("Kickoff"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(report), executive) << "no kind is the executive one";
    EXPECT_NE(ReadFileBytes(Out("kind-agenda.htm")), executive);
    const std::string custom = ReadFileBytes(Out("kind-custom.htm"));
    EXPECT_NE(custom.find("Call Acme"), std::string::npos);
    EXPECT_EQ(custom.find("Budget"), std::string::npos);

    // Each step needs the file the one before it left.
    Expect({
        {.args = {"rename", "kind-custom", "b"}},
        {.args = {"export", "b.htm", (dir_ / "missing" / "b.htm").string()}, .status = 1},  // no such folder
        {.args = {"export", "b", (dir_ / "elsewhere").string()}},
        {.args = {"delete", "b"}, .status = 1, .errHas = "--yes (or --force) answers yes"},
        {.args = {"delete", "b", "--yes"}},
        {.args = {"--output", (dir_ / "fresh").string(), "import", (dir_ / "elsewhere" / "b.htm").string()}},  // made
        {.args = {"--output", (dir_ / "fresh").string(), "delete", "b", "--force"}},
    });
    EXPECT_FALSE(fs::exists(dir_ / "elsewhere" / "b.htm")) << "import moves";
    EXPECT_FALSE(fs::exists(Out("b.htm")));
}

TEST_F(CliTest, JsonIsTheSameInEveryLocaleAndCarriesIdsIsoDatesAndWholeTexts) {
    const json ja = json::parse(Run({"--json", "meetings"}).out)["meetings"];
    EXPECT_EQ(ja, json::parse(R"([{"category":"Business","date":"2026-11-02","dateText":"2026/11/02","end":"10:30","id":4096,"location":)"
                              R"("Room 1","number":1,"start":"09:00","time":"9:00 - 10:30","timeText":"9:00 - 10:30","title":"Kickoff"},)"
                              R"({"category":"Unfiled","date":"2026-11-03","dateText":"2026/11/03","end":null,"id":4097,"location":"",)"
                              R"("number":2,"start":null,"time":null,"timeText":"","title":"Review a:b"}])"));
    const auto unlocalized = [](json m) {  // a time without a start stays null in every locale
        for (auto& meeting : m) meeting.erase("dateText"), meeting.erase("timeText");
        m[0].erase("time");
        return m;
    };
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8"}) {
        const json m = json::parse(Run({"--json", "meetings"}, true, std::string("LC_ALL=") + locale + " LANG=" + locale).out)["meetings"];
        EXPECT_EQ(unlocalized(m), unlocalized(ja)) << locale;
    }
    // The listing and the dump write a meeting's fields alike, in one order, each adding its own after.
    nlohmann::ordered_json listed = nlohmann::ordered_json::parse(Run({"--json", "meetings", "1"}).out)["meetings"][0];
    nlohmann::ordered_json dumped = nlohmann::ordered_json::parse(Run({"dump"}).out)["meetings"][0];
    listed.erase("time"), dumped.erase("packedDate"), dumped.erase("items");
    EXPECT_EQ(listed.dump(), dumped.dump());
    EXPECT_EQ(
        json::parse(Run({"--json", "items", "1"}).out),
        json::parse(R"({"items":[{"discussed":true,"displayText":"Budget","id":4096,"kind":"agenda","number":1,"text":"Budget\n)"
                    R"(second line"},{"displayText":"Remember","id":4096,"kind":"note","number":2,"text":"Remember\tthis"},)"
                    R"({"completed":false,"displayText":"Call Acme","dueDate":"2026-11-09","dueDateText":"2026/11/09","dueTime":null,)"
                    R"("dueTimeText":"","id":4096,"kind":"todo","number":3,"priority":3,"text":"Call Acme"},{"absent":false,)"
                    R"("displayText":"Yamada Taro","id":4096,"inAddressBook":true,"kind":"attendee","number":4,"text":"Yamada Taro"},)"
                    R"({"absent":true,"displayText":"Hanako, Beta","id":4097,"inAddressBook":false,"kind":"attendee","number":5,)"
                    R"("text":"Hanako, Beta"}],"meeting":1,"meetingId":4096})"));
    EXPECT_EQ(json::parse(Run({"--json", "users"}).out)["users"][0]["current"], true);

    // File operations say what they did.
    EXPECT_EQ(json::parse(Run({"--json", "report", "1", "--name", "a"}).out)["path"], Out("a.htm"));
    const json reports = json::parse(Run({"--json", "reports"}).out)["reports"];
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0]["name"], "a");
    EXPECT_EQ(reports[0]["type"], "html");
    EXPECT_TRUE(reports[0]["size"].is_number());
    EXPECT_EQ(json::parse(Run({"--json", "rename", "a", "b"}).out), (json{{"renamed", Out("a.htm")}, {"to", Out("b.htm")}}));
    EXPECT_EQ(json::parse(Run({"--json", "delete", "b", "--yes"}).out), (json{{"deleted", Out("b.htm")}}));
}

// The listings' CSV read back with Python's csv module: whole texts, a text a spreadsheet would run
// as a formula with an apostrophe in front, the dates and numbers beside it (and the JSON) as they are.
TEST_F(CliTest, CsvReadsBackWithPythonsCsvModuleAndGuardsFormulas) {
    Run({"--csv", "meetings"});
    EXPECT_EQ(CsvRows(),
              json::parse(R"([["number","id","date","start","end","title","location","category","dateText","timeText"],)"
                          R"(["1","4096","2026-11-02","09:00","10:30","Kickoff","Room 1","Business","2026/11/02","9:00 - 10:30"],)"
                          R"(["2","4097","2026-11-03","","","Review a:b","","Unfiled","2026/11/03",""]])"));
    Run({"--csv", "items", "1"});
    EXPECT_EQ(
        CsvRows(),
        json::parse(R"([["number","id","kind","text","discussed","completed","priority","dueDate","dueTime","absent","inAddressBook"],)"
                    R"(["1","4096","agenda","Budget\nsecond line","true","","","","","",""],)"
                    R"(["2","4096","note","Remember\tthis","","","","","","",""],)"
                    R"(["3","4096","todo","Call Acme","","false","3","2026-11-09","","",""],)"
                    R"(["4","4096","attendee","Yamada Taro","","","","","","false","true"],)"
                    R"(["5","4097","attendee","Hanako, Beta","","","","","","true","false"]])"));
    PalmUserSpec user;
    user.meetings = {{.title = "=HYPERLINK(\"http://x\",\"click\")",
                      .location = "-5",
                      .date = HandheldDay(2026, 11, 2),
                      .items = {ToDoSpec{.text = "@SUM(A1)", .priority = 2, .dueDate = HandheldDay(2026, 11, 9)}}}};
    WritePalmUserFolder(dir_ / "formulas" / "UserF" / "Tavolex", user);
    const std::string palm = "--palm-folder=" + (dir_ / "formulas").string();
    ASSERT_EQ(Run({palm, "--csv", "todos"}).status, 0);
    EXPECT_EQ(CsvRows()[1], json::parse(R"j(["1","4096","2026-11-02","'=HYPERLINK(\"http://x\",\"click\")","4096","2026-11-09","","2",)j"
                                        R"j("false","'@SUM(A1)"])j"));
    ASSERT_EQ(Run({palm, "--csv", "meetings"}).status, 0);
    EXPECT_EQ(CsvRows()[1],
              json::parse(R"j(["1","4096","2026-11-02","","","'=HYPERLINK(\"http://x\",\"click\")","'-5","","2026/11/02",""])j"));
    const json exact = json::parse(Run({palm, "--json", "todos"}).out)["todos"][0];
    EXPECT_EQ(exact["meetingTitle"], "=HYPERLINK(\"http://x\",\"click\")");
    EXPECT_EQ(exact["text"], "@SUM(A1)");
}

TEST_F(CliTest, BatchReportsNeverOverwriteEachOtherAndMatchSingleReports) {
    PalmUserSpec same;
    for (const char* location : {"A", "B", "C"}) {
        same.meetings.push_back({.title = "Weekly",
                                 .location = location,
                                 .date = HandheldDay(2026, 11, 2),
                                 .start = {9, 0},
                                 .end = {10, 0},
                                 .items = {AgendaSpec{.text = location}}});
    }
    WritePalmUserFolder(palm_ / "UserC" / "Tavolex", same);
    const char* kNames[] = {"2026-11-02 Weekly.htm", "2026-11-02 Weekly (2).htm", "2026-11-02 Weekly (3).htm"};
    Expect({{.args = {"--user", "UserC", "report", "--all", "--name-format", "{date} {title}"},
             .out = Out(kNames[0]) + "\n" + Out(kNames[1]) + "\n" + Out(kNames[2]) + "\n"}});
    for (int n = 1; n <= 3; ++n) {
        ASSERT_EQ(Run({"--user", "UserC", "report", std::to_string(n), "--name", "single"}).status, 0);
        EXPECT_EQ(ReadFileBytes(Out(kNames[n - 1])), ReadFileBytes(Out("single.htm"))) << n;
        fs::remove(Out("single.htm"));
    }
    const RunResult again = Run({"--user", "UserC", "--json", "report", "2-3", "--name-format", "{number}-{id}"});
    ASSERT_EQ(again.status, 0) << again.err;
    const json written = json::parse(again.out)["reports"];
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0]["path"], Out("2-" + std::to_string(written[0]["id"].get<int>()) + ".htm"));
    Expect({
        {.args = {"--user", "UserC", "report", "1-2", "--name-format", "{title}"}},               // new names, nothing replaced
        {.args = {"--user", "UserC", "report", "1-2", "--name-format", "{title}"}, .status = 1},  // replacing asks
        {.args = {"--user", "UserC", "report", "3", "--name-format", "{number} {title}"}, .out = Out("3 Weekly.htm") + "\n"},
    });
}

// Two sketches with one handheld id (a damaged store) keep a picture each, under the same names in
// the dump and the report; a picture that can't be written (a folder in its place) fails the job
// and the dump names no picture that isn't there.
TEST_F(CliTest, SketchPicturesAreNeverLostSilently) {
    const std::vector<std::uint8_t> bitmap = {0, 8, 0, 2, 0, 2, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0, 0x0F, 0};
    PalmUserSpec user;
    user.meetings = {
        {.title = "Plan",
         .date = HandheldDay(2026, 11, 2),
         .items = {SketchSpec{.title = "a", .bitmap = bitmap, .id = 0x50}, SketchSpec{.title = "b", .bitmap = bitmap, .id = 0x50}}}};
    WritePalmUserFolder(palm_ / "UserD" / "Tavolex", user);
    const std::string pictures = (dir_ / "pics").string();
    Expect({{.args = {"--user", "UserD", "dump", "-o", (dir_ / "d.json").string(), "--pictures", pictures}},
            {.args = {"--user", "UserD", "report", "1", "--name", "r"}, .out = Out("r.htm") + "\n"}});
    EXPECT_NE(ReadFileBytes(dir_ / "d.json").find("\"picture\":\"80-2.jpg\""), std::string::npos);
    EXPECT_NE(ReadFileBytes(Out("r.htm")).find("src=\"80-2.jpg\""), std::string::npos);
    for (const std::string& folder : {pictures, (dir_ / "out").string()}) {
        EXPECT_EQ(ReadFileBytes(fs::path(folder) / "80.jpg"), ReadFileBytes(fs::path(folder) / "80-2.jpg")) << folder;
        fs::remove(fs::path(folder) / "80-2.jpg");
        fs::create_directories(fs::path(folder) / "80-2.jpg");
    }
    Expect({{.args = {"--user", "UserD", "dump", "-o", (dir_ / "d.json").string(), "--pictures", pictures, "--force"},
             .status = 1,
             .errHas = "80-2.jpg"},
            {.args = {"--user", "UserD", "report", "1", "--name", "r", "--force"}, .status = 1, .errHas = "Is a directory"}});
    EXPECT_EQ(ReadFileBytes(dir_ / "d.json").find("80-2.jpg"), std::string::npos);
}

// A date the calendar does not have: the calendar counts the meeting it leaves out, the listing's
// ISO date is null as in the exports, and --since still places the meeting in calendar order.
TEST_F(CliTest, AnImpossibleDateIsLeftOutOfTheCalendarAndTheListing) {
    WritePalmUserFolder(palm_ / "UserC" / "Tavolex",
                        {.meetings = {{.title = "a", .date = HandheldDay(2027, 2, 30)}, {.title = "b", .date = HandheldDay(2027, 3, 1)}}});
    Expect({{.args = {"--user", "UserC", "calendar", "-o", Out("c.ics")},
             .out = Out("c.ics") + "\n",
             .err = "Meetings left out of the calendar for a date the calendar does not have: 1\n"}});
    const json summary = json::parse(Run({"--user", "UserC", "--json", "calendar", "-o", Out("c.ics"), "--force"}).out);
    EXPECT_EQ(summary["meetings"], 1);
    EXPECT_EQ(summary["undated"], 1);
    EXPECT_FALSE(json::parse(Run({"--json", "calendar", "-o", Out("d.ics")}).out).contains("undated"));
    const json listed = json::parse(Run({"--user", "UserC", "--json", "meetings"}).out)["meetings"];
    EXPECT_EQ(listed[0]["date"], nullptr);
    EXPECT_EQ(listed[1]["date"], "2027-03-01");
    EXPECT_EQ(json::parse(Run({"--user", "UserC", "--json", "meetings", "--since", "2027-02-28"}).out)["meetings"].size(), 2u);
}

TEST_F(CliTest, DamagedDatabasesNeverCrashAndCheckNamesEachFile) {
    Expect({{.args = {"--palm-folder", TAVOLEX_SAMPLES_PALM, "--user", "TanakaT", "check"}}});
    EXPECT_EQ(ReadFileBytes(dir_ / "stdout").substr(0, 27), "meeting.dat\tok\t0\tok\t12\t12\t\n");
    const fs::path data = palm_ / "UserA" / "Tavolex";
    const std::string meetings = ReadFileBytes(data / "meeting.dat");
    WriteFileBytes(data / "meeting.dat", meetings.substr(0, meetings.size() - 3));
    fs::remove(data / "note.dat");
    const RunResult damaged = Run({"check"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("were not read: meeting.dat, link.dat, note.dat.\n"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.out.find("note.dat\tmissing\t4378\tcan't be opened\t-\t0\t\n"), std::string::npos) << damaged.out;
    const json checked = json::parse(Run({"--json", "check"}).out);
    EXPECT_EQ(checked["healthy"], false);
    EXPECT_EQ(checked["files"][0]["headerRecords"], 2);
    EXPECT_EQ(checked["files"][0]["recordsRead"], 1);
    EXPECT_EQ(checked["files"][0]["skipped"][0], "1 record named by the header was not read");

    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        std::string bytes = meetings;
        if (round < 4) bytes.resize(meetings.size() * static_cast<std::size_t>(round) / 4);
        for (int i = 0; round >= 4 && i < 20; ++i) bytes[random() % bytes.size()] = static_cast<char>(random());
        if (round == 11) bytes.replace(68, 4, "\xff\xff\xff\x7f", 4);  // an absurd record count
        WriteFileBytes(data / "meeting.dat", bytes);
        WriteFileBytes(data / "link.dat", std::string(200, static_cast<char>(round * 37)));
        for (const std::vector<std::string>& args : {std::vector<std::string>{"meetings"}, {"items", "1"}, {"check"}}) {
            const RunResult r = Run(args);
            EXPECT_NE(r.status, -1) << "crashed in round " << round;
            EXPECT_LE(r.status, 1);
            if (args[0] == "check" && round >= 1 && round < 4) {  // a meeting.dat cut short
                EXPECT_EQ(r.status, 1);
                EXPECT_NE(r.err.find("meeting.dat"), std::string::npos) << r.err;
            }
        }
    }
    EXPECT_NE(Run({"report", "1", "--force"}).status, -1);

    // A link to no meeting, an item of no known kind, an item naming no record; a 24-bit id is whole.
    PalmUserDatabases links = BuildPalmUserDatabases({.meetings = {{.title = "m", .items = {NoteSpec{.text = "n"}}, .id = 0xFFFFFF}}});
    links.link.records.push_back({.body = LinkBody(0x123, {0x0A000001, 0x07000777}), .uniqueId = 0x900});
    WritePalmUserDatabases(palm_ / "UserC" / "Tavolex", links);
    EXPECT_EQ(json::parse(Run({"--user", "UserC", "--json", "check"}).out)["files"][1]["skipped"],
              (json{"1 link names a meeting that isn't there", "1 item of an unknown kind", "1 item names a record that isn't there"}));
}

TEST_F(CliTest, ToDosAndPeopleAcrossMeetings) {
    const auto sjis = [](const char* utf8) { return platform::Utf8ToCp932(utf8); };
    PalmUserSpec user;  // to-dos open, done, undated and with a day the calendar lacks; one person three ways
    user.meetings = {
        {.title = "Kickoff",
         .date = HandheldDay(2026, 11, 2),
         .items = {ToDoSpec{.text = "Call Acme", .priority = 3, .dueDate = HandheldDay(2026, 11, 9)},
                   ToDoSpec{.text = "Book room", .priority = 1, .dueDate = HandheldDay(2026, 11, 5), .due = {14, 30}, .completed = 1},
                   AttendeeSpec{.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = 0x77},
                   AttendeeSpec{.nameParts = {sjis("ハナコ"), "", "Beta"}, .absent = true}}},
        {.title = "Review",
         .date = HandheldDay(2026, 11, 3),
         .items = {AttendeeSpec{.nameParts = {sjis("ﾊﾅｺ"), "", "beta"}}, ToDoSpec{.text = "Draft, \"v2\"\nsecond"},
                   ToDoSpec{.text = "Broken", .priority = 2, .dueDate = (2026 - 1904) << 9 | 2 << 5 | 30},
                   AttendeeSpec{.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = 0x55},
                   AttendeeSpec{.nameParts = {"Taro", "Yamada", "Zeta"}, .addressId = 0x78}}},  // same name, another person
    };
    WritePalmUserFolder(dir_ / "across" / "UserD" / "Tavolex", user);
    WriteAddressBook(dir_ / "across" / "UserD" / "address" / "address.dat",
                     {{.recordId = 0x77, .lastName = "Yamada", .firstName = "Taro", .company = "Acme Corp"},
                      {.recordId = 0x78, .lastName = "Yamada", .firstName = "Taro", .company = "Zeta"}});
    const std::string palm = "--palm-folder=" + (dir_ / "across").string();
    const std::string call = "1\t2026-11-02\tKickoff\t2026-11-09\t\t3\topen\tCall Acme\n";
    const std::string book = "1\t2026-11-02\tKickoff\t2026-11-05\t14:30\t1\tdone\tBook room\n";
    const std::string draft = "2\t2026-11-03\tReview\t\t\t0\topen\tDraft, \"v2\" second\n";
    const std::string broken = "2\t2026-11-03\tReview\t\t\t2\topen\tBroken\n";
    const std::string hanako = "ハナコ";
    Expect({
        {.args = {palm, "todos"}, .out = call + draft + broken + book},
        {.args = {palm, "todos", "--sort", "due"}, .out = book + call + draft + broken},
        {.args = {palm, "todos", "--sort", "priority"}, .out = draft + book + broken + call},
        {.args = {palm, "todos", "--sort", "meeting"}, .out = call + book + draft + broken},
        {.args = {palm, "todos", "--done"}, .out = book},
        {.args = {palm, "todos", "--open", "--due-before", "2026-11-10"}, .out = call},
        {.args = {palm, "todos", "--due-after", "2026-11-05"}, .out = call},
        {.args = {palm, "todos", "2"}, .out = draft + broken},
        {.args = {palm, "todos", "--open", "--done"}, .status = 2, .err = Usage("todos ", "--open and --done exclude each other")},
        {.args = {palm, "todos", "--due-after", "2026-02-30"},
         .status = 2,
         .err = Usage("todos ", "--due-after wants a date as YYYY-MM-DD, not \"2026-02-30\"")},
        {.args = {palm, "people"},
         .out = "Yamada Taro\tAcme Corp\t2\t0\t2026-11-02\t2026-11-03\nYamada Taro\tZeta\t1\t0\t2026-11-03\t2026-11-03\n" + hanako +
                "\tBeta\t1\t1\t2026-11-02\t2026-11-03\n"},
        {.args = {palm, "people", "ﾊﾅｺ"},
         .out = hanako + "\t1\t2026-11-02\tKickoff\tabsent\n" + hanako + "\t2\t2026-11-03\tReview\tattended\n"},
        {.args = {palm, "people", ""}, .status = 2, .err = Usage("people ", "the name to look for can't be empty")},
        {.args = {palm, "people", "YAMADA"},
         .out = "Yamada Taro\t1\t2026-11-02\tKickoff\tattended\nYamada Taro\t2\t2026-11-03\tReview\tattended\n"
                "Yamada Taro\t2\t2026-11-03\tReview\tattended\n"},
    });
    const json toDos = json::parse(Run({palm, "--json", "todos", "--sort", "meeting"}).out)["todos"];
    ASSERT_EQ(toDos.size(), 4u);
    EXPECT_EQ(toDos[1], json::parse(R"({"done":true,"dueDate":"2026-11-05","dueTime":"14:30","id":4097,"meeting":1,"meetingDate":)"
                                    R"("2026-11-02","meetingId":4096,"meetingTitle":"Kickoff","priority":1,"text":"Book room"})"));
    EXPECT_TRUE(toDos[3]["dueDate"].is_null()) << "a day the calendar lacks";
    const json people = json::parse(Run({palm, "--json", "people"}).out)["people"];
    EXPECT_EQ(people[0]["addressId"], 0x77);
    EXPECT_EQ(people[1]["addressId"], 0x78);
    EXPECT_TRUE(people[2]["addressId"].is_null());
    Run({palm, "--csv", "todos", "2"});
    EXPECT_EQ(CsvRows(),
              json::parse(R"([["meeting","meetingId","meetingDate","meetingTitle","id","dueDate","dueTime","priority","done","text"],)"
                          R"(["2","4097","2026-11-03","Review","4098","","","0","false","Draft, \"v2\"\nsecond"],)"
                          R"(["2","4097","2026-11-03","Review","4099","","","2","false","Broken"]])"));
    Run({palm, "--csv", "people", "ﾊﾅｺ"});
    EXPECT_EQ(
        CsvRows(),
        json::parse(
            R"([["name","company","meeting","meetingId","date","title","absent"],)"
            R"(["ハナコ","Beta","1","4096","2026-11-02","Kickoff","true"],["ハナコ","Beta","2","4097","2026-11-03","Review","false"]])"));
}

TEST(CliManPage, NamesEveryCommandAndOptionOfTheHelpAndNoOther) {
    const auto found = [](const std::string& text, const char* pattern, std::set<std::string>& into) {
        const std::regex re(pattern);
        for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it) into.insert((*it)[1]);
    };
    const char* option = R"((?:^|[\s\[(,"])(--?[a-zA-Z][a-zA-Z-]*))";
    std::set<std::string> helpCommands, helpOptions, manCommands, manOptions;
    // The help: the commands listed by the program's, the options of every section "Options:".
    const std::string help = Capture(Quote(TAVOLEX_CLI_PATH) + " --help");
    const std::size_t listed = help.find("Commands:");
    found(help.substr(listed, help.find("\n\n", listed) - listed), R"(\n  ([^ ]+))", helpCommands);
    std::vector<std::string> texts{help};
    for (const std::string& c : helpCommands) texts.push_back(Capture(Quote(TAVOLEX_CLI_PATH) + " help " + c));
    for (const std::string& text : texts) {
        const std::size_t from = text.find("Options:\n");
        found(text.substr(from, text.find("\n\n", from) - from), option, helpOptions);
    }
    // The manual: a command per ".SS", the options anywhere, its escapes undone.
    std::string man = ReadFileBytes(TAVOLEX_MAN_PAGE);
    man = std::regex_replace(std::regex_replace(man, std::regex(R"(\\f[BIRP])"), ""), std::regex(R"(\\-)"), "-");
    EXPECT_EQ(man.find("@PROJECT_VERSION@"), std::string::npos);
    EXPECT_NE(man.find("tavolex " TAVOLEX_VERSION), std::string::npos);
    found(man, R"(\n\.SS "([a-z]+))", manCommands);
    found(man, option, manOptions);
    EXPECT_EQ(manCommands, helpCommands);
    EXPECT_EQ(manOptions, helpOptions);
}

// The export commands on the sample Palm folder: exit statuses, the --json summaries and the files
// they name.
struct CommandCase {
    std::vector<std::string> arguments;  // "@" stands for the test's scratch folder
    int status;
    int meetings;          // the summary's count; -1: no summary
    int addresses;         // -1: not checked
    std::string err = "";  // a part of stderr
};

TEST_F(CliTest, ExportCommandsStatusesSummariesAndFiles) {
    const fs::path dir = dir_ / "exports";
    WriteFileBytes(dir / "taken.sqlite", "x");
    fs::create_directories(dir / "書庫" / "index.html" / "x");
    // Declarations in any letter case and quoting, and a text that only reads like one.
    WriteFileBytes(dir / "charset.htm",
                   "<!DOCTYPE html><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=Shift_JIS\"><meta charset = 'x-sjis'>"
                   "<meta charset=euc-jp><p title=\"charset=sjis\">charset=Shift_JIS {TITLE}</p>");
    for (const char* folder : {"mine", "forced"}) {
        fs::create_directories(dir / folder);
        WriteFileBytes(dir / folder / "index.html", "mine");
    }
    const std::string refused =
        "は既に存在します。\n既存のファイルと置き換えますか?\n"
        "No terminal to answer the question, so the answer is no; --yes (or --force) answers yes.";
    const CommandCase cases[] = {
        {{"--json", "sqlite", "@/db.sqlite"}, 0, 12, 6},
        {{"--json", "xlsx", "@/minutes.xlsx"}, 0, 12, -1},
        {{"--json", "dump", "-o", "@/d.json", "--since", "2026-12-01"}, 0, 4, 6},
        {{"--json", "calendar", "-o", "@/c.ics", "1-3"}, 0, 3, -1},
        {{"--json", "contacts", "-o", "@/p.vcf", "--attendees", "3"}, 0, 0, 1},
        {{"--json", "archive", "@/archive", "--encoding", "utf-8", "--category", "プロジェクト"}, 0, 3, -1},
        // The folder of an earlier archive is refreshed without a question; a user's files are asked about.
        {{"--json", "archive", "@/archive", "--encoding", "utf-8", "--category", "プロジェクト"}, 0, 3, -1},
        {{"archive", "@/mine"}, 1, -1, -1, (dir / "mine" / "index.html").string() + refused},
        {{"--force", "archive", "@/forced"}, 0, -1, -1},
        // A vault goes into a folder of other files only after the question.
        {{"--json", "markdown", "@/vault", "--category", "プロジェクト"}, 0, 3, -1},
        {{"markdown", "@/mine"}, 1, -1, -1, (dir / "mine").string() + refused},
        {{"--force", "markdown", "@/forced"}, 0, -1, -1},
        {{"dump", "-o", "@/d1.json", "--pictures", "@/pictures"}, 0, -1, -1},
        {{"dump", "-o", "@/d2.json", "--pictures", "@/pictures"}, 1, -1, -1, refused},
        {{"archive", "@/pictures"}, 1, -1, -1, ".jpg" + refused},
        // Split into a folder: a calendar per year, a card per person; asked before files are replaced.
        {{"--json", "calendar", "--split", "year", "-o", "@/years"}, 0, 12, -1},
        {{"calendar", "--split", "year", "-o", "@/years"}, 1, -1, -1, "2026.ics" + refused},
        {{"--json", "contacts", "--split", "-o", "@/cards"}, 0, 0, 6},
        {{"calendar", "--split", "year"}, 2, -1, -1, "--split writes files into a folder"},
        {{"calendar", "--split", "month", "-o", "@/years"}, 2, -1, -1},
        {{"--json", "calendar"}, 2, -1, -1},  // the summary needs a file
        {{"contacts", "1"}, 2, -1, -1},       // meetings choose people only with --attendees
        {{"archive"}, 2, -1, -1},             // no folder
        {{"archive", "@/a", "--encoding", "euc"}, 2, -1, -1},
        {{"archive", "@/a", "--template", "議事録.RTF", "--encoding", "utf-8"}, 2, -1, -1, "an RTF template keeps Shift-JIS"},
        {{"--json", "archive", "@/charset", "--template", "@/charset.htm", "--encoding", "utf-8", "1"}, 0, 1, -1},
        {{"sqlite", "@/taken.sqlite"}, 1, -1, -1},  // not replaced without --force
        {{"dump", "99"}, 1, -1, -1},
        {{"archive", "@/taken.sqlite/a"},
         1,
         -1,
         -1,
         "The export could not be written.\ncannot create the folder " + (dir / "taken.sqlite" / "a").string() + ": Not a directory"},
        // Paths in messages keep every character, one outside Shift-JIS too.
        {{"archive", "@/taken.sqlite/café"}, 1, -1, -1, "cannot create the folder " + (dir / "taken.sqlite" / "café").string() + ":"},
        {{"--force", "archive", "@/書庫"}, 1, -1, -1, "cannot write " + (dir / "書庫" / "index.html").string() + "\n"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const RunResult r = RunOnSamples(dir, c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.status == 0) {
            EXPECT_EQ(r.err, "") << "not a terminal: no progress bar";
        }
        if (c.meetings < 0) continue;
        const nlohmann::json summary = nlohmann::json::parse(r.out);
        EXPECT_EQ(summary["meetings"], c.meetings);
        EXPECT_EQ(summary["addresses"], c.addresses >= 0 ? nlohmann::json(c.addresses) : summary["addresses"]);
        for (const auto& file : summary["files"]) EXPECT_TRUE(fs::is_regular_file(file.get<std::string>())) << file;
        if (c.arguments[1] == "archive") {
            const auto years = std::count_if(summary["files"].begin(), summary["files"].end(), [](const nlohmann::json& f) {
                return fs::path(f.get<std::string>()).filename().string().starts_with("index-");
            });
            EXPECT_GE(years, 1);
            EXPECT_EQ(summary["files"].size(), c.meetings + 3 + years) << "each report, the index, the years, the to-dos and the people";
        }
    }
    EXPECT_EQ(ReadFileBytes(dir / "mine" / "index.html"), "mine");
    EXPECT_NE(ReadFileBytes(dir / "forced" / "index.html"), "mine");
    EXPECT_FALSE(fs::exists(dir / "d2.json"));
    EXPECT_TRUE(fs::is_regular_file(dir / "cards" / "佐藤 花子.vcf"));
    // --encoding utf-8: the reports' text and their charset declaration.
    fs::path reportPath;
    for (const auto& entry : fs::directory_iterator(dir / "archive")) {
        if (entry.path().extension() == ".htm") reportPath = entry.path();
    }
    const std::string report = ReadFileBytes(reportPath);
    EXPECT_NE(report.find("charset=utf-8"), std::string::npos);
    EXPECT_EQ(report.find("shift_jis"), std::string::npos);
    // With no <head>, the page policy comes right after the template's document type.
    EXPECT_EQ(ReadFileBytes(dir / "charset" / "meeting-4096.htm"),
              "<!DOCTYPE html>\r\n<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
              "img-src 'self'; style-src 'self' 'unsafe-inline'; base-uri 'none'; form-action 'none'\">"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=utf-8\"><meta charset = 'utf-8'>"
              "<meta charset=euc-jp><p title=\"charset=sjis\">charset=Shift_JIS  週次定例会議</p>");
}

// A refresh removes the year pages the earlier archive wrote (its index links them) that it no
// longer has, and no other file, though named like one.
TEST_F(CliTest, ARefreshedArchiveRemovesOnlyItsOwnYearPagesThatItNoLongerHas) {
    const fs::path archive = dir_ / "archive";
    ASSERT_EQ(Run({"archive", archive.string()}).status, 0);
    std::string index = ReadFileBytes(archive / "index.html");
    index.replace(index.find("<a href=\"index-2026.html\">"), 0, "<a href=\"index-1998.html\">1998</a><a href=\"index-memo.html\">m</a>");
    WriteFileBytes(archive / "index.html", index);
    WriteFileBytes(archive / "index-1998.html", "a year the earlier archive had");
    WriteFileBytes(archive / "index-1999.html", "a user's own page");
    WriteFileBytes(archive / "index-memo.html", "a user's file, four letters, linked from the index");
    ASSERT_EQ(Run({"archive", archive.string()}).status, 0);
    EXPECT_TRUE(fs::exists(archive / "index-2026.html"));
    EXPECT_FALSE(fs::exists(archive / "index-1998.html"));
    EXPECT_TRUE(fs::exists(archive / "index-1999.html"));
    EXPECT_TRUE(fs::exists(archive / "index-memo.html"));
}

// Refreshed in place, an archive, a vault and a dump's pictures replace a file that is a link or
// has a hard-linked copy (cp -al): never written through, the link's target and the copy keep
// their bytes.
TEST_F(CliTest, RefreshesNeverWriteThroughALinkOrIntoAHardLinkedCopy) {
    const fs::path dir = dir_ / "links";
    const std::vector<std::vector<std::string>> runs = {
        {"archive", "@/archive"}, {"markdown", "@/vault"}, {"dump", "-o", "@/d.json", "--pictures", "@/pictures"}};
    for (const auto& run : runs) ASSERT_EQ(RunOnSamples(dir, run).status, 0) << run[0];
    std::vector<fs::path> files;
    for (const char* folder : {"archive", "vault", "pictures"}) {
        for (const auto& entry : fs::recursive_directory_iterator(dir / folder))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
    }
    std::vector<std::pair<fs::path, fs::path>> others;  // (a file of the export, its link's target or copy)
    for (const fs::path& file : files) {
        const fs::path other = dir / "others" / std::to_string(others.size());
        fs::create_directories(other.parent_path());
        if (others.size() % 2 == 0) {
            WriteFileBytes(other, "the user's own file");
            fs::remove(file);
            fs::create_symlink(other, file);
        } else {
            fs::create_hard_link(file, other);
        }
        others.emplace_back(file, other);
    }
    std::map<fs::path, std::string> before;
    for (const auto& [file, other] : others) before[other] = ReadFileBytes(other);
    for (auto run : runs) {
        run.insert(run.begin(), "--yes");  // index.html may be a link now: the archive asks
        EXPECT_EQ(RunOnSamples(dir, run).status, 0) << run[1];
    }
    for (const auto& [file, other] : others) {
        EXPECT_EQ(ReadFileBytes(other), before[other]) << file;
        // The vault keeps a note that is not what it wrote (a link here) as the user's own.
        EXPECT_TRUE(file.string().starts_with((dir / "vault").string()) || !fs::is_symlink(file)) << file << " is still a link";
    }
}

// Each export into a folder of its own, on one thread and on four: every file of the two folders,
// by its path inside, with the same bytes.
TEST_F(CliTest, ExportsOnSeveralThreadsWriteTheBytesOfOne) {
    const fs::path dir = dir_ / "jobs";
    // Colours kept from one report to the next: a worker can't know them before the earlier reports are made.
    WriteFileBytes(dir / "colours.htm",
                   "<html><head><title>{ TITLE }</title></head><body>{ COLOR1 }|{ COLOR2 }{ SET_COLOR1(b) }"
                   "{ ATTENDEES_BEGIN }{ SWAP_COLORS }{ ATTENDEES_END }</body></html>");
    const std::vector<std::string> cases[] = {
        // "@" stands for the run's folder
        {"archive", "@/archive"},
        {"archive", "@/archive", "--template", (dir / "colours.htm").string()},
        {"sqlite", "@/store.sqlite"},
        {"dump", "-o", "@/dump.json", "--pictures", "@/pictures"},
    };
    int number = 0;
    for (const std::vector<std::string>& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        std::map<std::string, std::string> written[2];
        for (const int jobs : {1, 4}) {
            const fs::path run = dir / std::to_string(++number);
            fs::create_directories(run);
            std::vector<std::string> args = arguments;
            args.insert(args.end(), {"--jobs", std::to_string(jobs)});
            const RunResult r = RunOnSamples(run, args);
            ASSERT_EQ(r.status, 0) << r.err;
            for (const auto& entry : fs::recursive_directory_iterator(run)) {
                if (entry.is_regular_file())
                    written[jobs == 1 ? 0 : 1][fs::relative(entry.path(), run).string()] = ReadFileBytes(entry.path());
            }
        }
        EXPECT_GT(written[0].size(), 0U);
        EXPECT_TRUE(written[0] == written[1]);
    }
}

}  // namespace
}  // namespace tavolex
