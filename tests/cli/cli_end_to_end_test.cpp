// The command-line program run as a user runs it: a process with its arguments, its stdout,
// stderr and exit status, on Palm folders written by the test support writers.

#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <random>
#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using namespace tavolex::test;

struct RunResult {
    int status = -1;  // exit status; -1 when the process did not exit normally (a crash)
    std::string out;
    std::string err;
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        PalmUserSpec user;
        user.categories = {"Unfiled", "Business"};
        user.meetings = {
            {.title = "Kickoff", .location = "Room 1", .date = HandheldDay(2026, 11, 2), .start = {9, 0}, .end = {10, 30},
             .category = 1,
             .items = {AgendaSpec{.text = "Budget\nsecond line", .status = 1}, NoteSpec{.text = "Remember\tthis"},
                       ToDoSpec{.text = "Call Acme", .priority = 3, .dueDate = HandheldDay(2026, 11, 9)},
                       AttendeeSpec{.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = 0x77},
                       AttendeeSpec{.nameParts = {"Hanako", "", "Beta"}, .addressId = 0x99, .absent = true}}},
            {.title = "Review a:b", .location = "", .date = HandheldDay(2026, 11, 3)},
        };
        WritePalmUserFolder(palm_ / "UserA" / "Tavolex", user);
        AddressBookPerson taro;
        taro.recordId = 0x77;
        taro.firstName = "Taro";
        taro.lastName = "Yamada";
        taro.company = "Acme Corp";
        WriteAddressBook(palm_ / "UserA" / "address" / "address.dat", {taro});
        PalmUserSpec other;
        other.meetings = {{.title = "Other", .date = HandheldDay(2026, 1, 1)}};
        WritePalmUserFolder(palm_ / "UserB" / "tavolex", other);
        fs::create_directories(dir_ / "out");
    }

    RunResult Run(const std::vector<std::string>& args, bool withGlobals = true) {
        std::string command = "env LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 TAVOLEX_TRACE= " + Quote(TAVOLEX_CLI_PATH);
        if (withGlobals) {
            for (const std::string& a : {std::string("--config"), (dir_ / "config").string(), std::string("--palm-folder"),
                                         palm_.string(), std::string("--output"), (dir_ / "out").string()}) {
                command += " " + Quote(a);
            }
        }
        for (const std::string& a : args) command += " " + Quote(a);
        command += " </dev/null >" + Quote((dir_ / "stdout").string()) + " 2>" + Quote((dir_ / "stderr").string());
        const int raw = std::system(command.c_str());
        RunResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = ReadFileBytes(dir_ / "stdout");
        r.err = ReadFileBytes(dir_ / "stderr");
        return r;
    }

    TempDir dir_;
    fs::path palm_ = dir_ / "palm";
};

TEST_F(CliTest, UsersAndMeetings) {
    RunResult users = Run({"users"});
    ASSERT_EQ(users.status, 0) << users.err;
    EXPECT_EQ(users.out, "*\tUserA\t" + (palm_ / "UserA").string() + "\n \tUserB\t" + (palm_ / "UserB").string() + "\n");
    RunResult meetings = Run({"meetings"});
    ASSERT_EQ(meetings.status, 0) << meetings.err;
    EXPECT_EQ(meetings.out, "1\tKickoff\tRoom 1\t2026/11/02 9:00 - 10:30\tBusiness\n2\tReview a:b\t\t2026/11/03 \tUnfiled\n");
    RunResult other = Run({"--user", "UserB", "meetings"});
    EXPECT_EQ(other.out, "1\tOther\t\t2026/01/01 \t\n") << "a meeting.dat without categories";
}

TEST_F(CliTest, ItemsAndQuickView) {
    RunResult items = Run({"items", "1"});
    ASSERT_EQ(items.status, 0) << items.err;
    EXPECT_EQ(items.out, "agenda\tBudget\nnote\tRemember\ntodo\tCall Acme\nattendee\tYamada Taro\nattendee\tHanako, Beta\n");
    RunResult meeting = Run({"show", "1"});
    EXPECT_EQ(meeting.out, "クイックビュー\n\nKickoff\n_______\n\n2026/11/02\n9:00 - 10:30\nRoom 1\n");
    RunResult toDo = Run({"show", "1", "3"});
    EXPECT_EQ(toDo.out, "クイックビュー\n\n最終期限: \t2026/11/09 \n優先度: \t3\n終了: \t\tX\n\nCall Acme\n");
    RunResult absent = Run({"show", "1", "5"});
    EXPECT_EQ(absent.out, "クイックビュー\n\n欠席\n\nその他の情報は使えません。\nアドレス帳より削除されています｡\n");
    EXPECT_EQ(Run({"show", "1", "9"}).status, 1);
    EXPECT_EQ(Run({"items", "3"}).status, 1);
}

TEST_F(CliTest, JsonOutputParsesBack) {
    const nlohmann::json meetings = nlohmann::json::parse(Run({"--json", "meetings"}).out);
    ASSERT_EQ(meetings["meetings"].size(), 2u);
    EXPECT_EQ(meetings["meetings"][0]["title"], "Kickoff");
    EXPECT_EQ(meetings["meetings"][0]["number"], 1);
    EXPECT_TRUE(meetings["meetings"][1]["time"].is_null());
    const nlohmann::json items = nlohmann::json::parse(Run({"--json", "items", "1"}).out);
    EXPECT_EQ(items["items"][2]["priority"], 3);
    EXPECT_EQ(items["items"][4]["absent"], true);
    EXPECT_TRUE(items["items"][2]["dueTime"].is_null());
    const nlohmann::json users = nlohmann::json::parse(Run({"--json", "users"}).out);
    EXPECT_EQ(users["users"][0]["current"], true);
    Run({"report", "1"});
    const nlohmann::json reports = nlohmann::json::parse(Run({"--json", "reports"}).out);
    ASSERT_EQ(reports["reports"].size(), 1u);
    EXPECT_EQ(reports["reports"][0]["name"], "Kickoff");
    EXPECT_TRUE(reports["reports"][0]["size"].is_number());
}

TEST_F(CliTest, ReportIsWrittenAndNeverReplacedWithoutForce) {
    RunResult first = Run({"report", "1"});
    ASSERT_EQ(first.status, 0) << first.err;
    const fs::path report = dir_ / "out" / "Kickoff.htm";
    EXPECT_EQ(first.out, report.string() + "\n");
    const std::string bytes = ReadFileBytes(report);
    EXPECT_NE(bytes.find("Kickoff"), std::string::npos);
    WriteFileBytes(report, "keep me");
    RunResult again = Run({"report", "1"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("は既に存在します"), std::string::npos) << again.err;
    EXPECT_EQ(ReadFileBytes(report), "keep me");
    EXPECT_EQ(Run({"report", "1", "--force"}).status, 0);
    EXPECT_NE(ReadFileBytes(report), "keep me");

    RunResult cleaned = Run({"report", "2", "--kind", "agenda"});
    ASSERT_EQ(cleaned.status, 0);
    EXPECT_EQ(cleaned.out, (dir_ / "out" / "Review a b.htm").string() + "\n");
    EXPECT_NE(cleaned.err.find("Filename Change"), std::string::npos);

    WriteFileBytes(dir_ / "t" / "minutes.RTF", "{\\rtf1 \\{TITLE\\}}");
    RunResult rtf = Run({"report", "1", "--template", (dir_ / "t" / "minutes.RTF").string(), "--name", "m"});
    ASSERT_EQ(rtf.status, 0) << rtf.err;
    EXPECT_EQ(ReadFileBytes(dir_ / "out" / "m.RTF"), "{\\rtf1  Kickoff}");
    EXPECT_EQ(Run({"report", "1", "--template", "missing.htm"}).status, 1);
}

TEST_F(CliTest, ReportFileOperations) {
    ASSERT_EQ(Run({"report", "1", "--name", "a"}).status, 0);
    EXPECT_EQ(Run({"rename", "a", "b"}).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "out" / "b.htm"));
    EXPECT_EQ(Run({"export", "b.htm", (dir_ / "missing" / "b.htm").string()}).status, 1) << "no such folder";
    fs::create_directories(dir_ / "elsewhere");
    EXPECT_EQ(Run({"export", "b", (dir_ / "elsewhere").string()}).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "b.htm"));
    EXPECT_EQ(Run({"delete", "b"}).status, 1) << "not confirmed";
    EXPECT_TRUE(fs::exists(dir_ / "out" / "b.htm"));
    EXPECT_EQ(Run({"delete", "b", "--yes"}).status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "out" / "b.htm"));
    EXPECT_EQ(Run({"import", (dir_ / "elsewhere" / "b.htm").string()}).status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "out" / "b.htm"));
    EXPECT_FALSE(fs::exists(dir_ / "elsewhere" / "b.htm"));
    EXPECT_EQ(Run({"open", "nothing"}).status, 1);
}

TEST_F(CliTest, BadUsageAndMissingThings) {
    RunResult bad = Run({"meetings", "--bogus"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "tavolex: The following argument was not expected: --bogus (see \"tavolex meetings --help\")\n");
    EXPECT_EQ(Run({}).status, 2);
    EXPECT_EQ(Run({"report", "1", "--kind", "weekly"}).status, 2);
    EXPECT_EQ(Run({"report", "1", "--sections", "agenda,cats"}).status, 2);
    EXPECT_EQ(Run({"--help"}).status, 0);
    RunResult nobody = Run({"--user", "Nobody", "meetings"});
    EXPECT_EQ(nobody.status, 1);
    EXPECT_NE(nobody.err.find("Nobody"), std::string::npos);
    RunResult noFolder = Run({"--config", (dir_ / "c2").string(), "--palm-folder", (dir_ / "none").string(), "meetings"}, false);
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_FALSE(noFolder.err.empty());
}

TEST_F(CliTest, DamagedDatabasesNeverCrash) {
    const fs::path data = palm_ / "UserA" / "Tavolex";
    const std::string meetings = ReadFileBytes(data / "meeting.dat");
    std::mt19937 random(5);
    for (int round = 0; round < 12; ++round) {
        std::string damaged = meetings;
        if (round < 4) damaged.resize(meetings.size() * static_cast<std::size_t>(round) / 4);
        for (int i = 0; round >= 4 && i < 20; ++i) damaged[random() % damaged.size()] = static_cast<char>(random());
        if (round == 11) damaged.replace(68, 4, "\xff\xff\xff\x7f", 4);  // an absurd record count
        WriteFileBytes(data / "meeting.dat", damaged);
        WriteFileBytes(data / "link.dat", std::string(200, static_cast<char>(round * 37)));
        for (const char* command : {"meetings", "items"}) {
            std::vector<std::string> args{command};
            if (std::string(command) == "items") args.push_back("1");
            const RunResult r = Run(args);
            EXPECT_NE(r.status, -1) << "crashed in round " << round;
            EXPECT_LE(r.status, 1);
        }
    }
    const RunResult r = Run({"report", "1", "--force"});
    EXPECT_NE(r.status, -1);
}

}  // namespace
}  // namespace tavolex
