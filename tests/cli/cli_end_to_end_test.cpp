// The command-line program run as a user runs it: a process with its arguments, its stdout,
// stderr and exit status, on Palm folders written by the test support writers.

#include "platform/platform.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <regex>
#include <set>
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

    // The program with args; withGlobals puts the test's settings, Palm and output folders first;
    // env is "NAME=VALUE …" for the process's environment.
    RunResult Run(const std::vector<std::string>& args, bool withGlobals = true, const std::string& env = "") {
        std::string command = "env -u TAVOLEX_PALM_FOLDER LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 TAVOLEX_TRACE= HOME=" +
                              Quote(dir_.Path().string()) + " XDG_CONFIG_HOME= " + env + " " + Quote(TAVOLEX_CLI_PATH);
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

    // Each kind is its own report; no kind is the executive one; a custom report holds only its sections.
    for (const std::string kind : {"executive", "agenda", "custom", ""}) {
        std::vector<std::string> args{"report", "1", "--name", "kind-" + kind};
        if (!kind.empty()) args.insert(args.end(), {"--kind", kind});
        if (kind == "custom") args.insert(args.end(), {"--sections", "todo"});
        ASSERT_EQ(Run(args).status, 0) << kind;
    }
    const std::string executive = ReadFileBytes(dir_ / "out" / "kind-executive.htm");
    const std::string custom = ReadFileBytes(dir_ / "out" / "kind-custom.htm");
    EXPECT_EQ(ReadFileBytes(dir_ / "out" / "kind-.htm"), executive);
    EXPECT_NE(ReadFileBytes(dir_ / "out" / "kind-agenda.htm"), executive);
    EXPECT_NE(custom.find("Call Acme"), std::string::npos);
    EXPECT_EQ(custom.find("Budget"), std::string::npos);
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
        if (round >= 1 && round < 4) {  // a meeting.dat cut short
            const RunResult check = Run({"check"});
            EXPECT_EQ(check.status, 1);
            EXPECT_NE(check.err.find("meeting.dat"), std::string::npos) << check.err;
        }
    }
    const RunResult r = Run({"report", "1", "--force"});
    EXPECT_NE(r.status, -1);
}


// --- The command line as a tool: where the data is, options, formats, selection, search, check ---

// Runs Debian's Python on a script with one argument and gives its stdout.
std::string Python(const std::string& script, const fs::path& argument) {
    const std::string command = "/usr/bin/python3 -c " + Quote(script) + " " + Quote(argument.string());
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST_F(CliTest, DataLocationAndItsMessages) {
    const std::string config = "--config=" + (dir_ / "config").string();
    RunResult none = Run({config, "users"}, false);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "Tavolex: No Palm Desktop folder is set.\nName it with --palm-folder DIR or the environment variable "
                        "TAVOLEX_PALM_FOLDER, or keep it with: tavolex config palm-folder DIR\n");
    WriteFileBytes(dir_ / "file", "x");
    const std::string missing = (dir_ / "file" / "palm").string();
    RunResult gone = Run({config, "--palm-folder", missing, "users"}, false);
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.err.find(missing + ": Not a directory\n"), std::string::npos) << gone.err;
    EXPECT_EQ(Run({config, "meetings"}, false, "TAVOLEX_PALM_FOLDER=" + Quote(palm_.string())).status, 0);

    RunResult set = Run({config, "config", "palm-folder", palm_.string()}, false);
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "palm-folder\t" + palm_.string() + "\n");
    EXPECT_EQ(Run({config, "meetings"}, false).out, Run({"meetings"}).out) << "the saved folder serves every command";
    EXPECT_EQ(Run({config, "config", "user", "UserB"}, false).status, 0);
    EXPECT_EQ(Run({config, "meetings"}, false).out, "1\tOther\t\t2026/01/01 \t\n");
    EXPECT_EQ(Run({config, "config", "user", "Nobody"}, false).status, 1);
    EXPECT_EQ(Run({config, "config", "--unset", "user"}, false).status, 0);
    RunResult listed = Run({config, "--json", "config"}, false);
    const auto settings = nlohmann::json::parse(listed.out)["settings"];
    EXPECT_EQ(settings[0], (nlohmann::json{{"key", "palm-folder"}, {"value", palm_.string()}}));
    EXPECT_TRUE(settings[1]["value"].is_null());
    EXPECT_EQ(Run({config, "config", "colour", "red"}, false).status, 2);
    EXPECT_EQ(Run({config, "config", "palm-folder", missing}, false).status, 1);

    // A store that can't be written doesn't stop reading, and says so when asked to keep something.
    const std::string fileConfig = "--config=" + (dir_ / "file").string();
    EXPECT_EQ(Run({fileConfig, "--palm-folder", palm_.string(), "meetings"}, false).status, 0);
    RunResult unsaved = Run({fileConfig, "config", "author", "me", "--palm-folder", palm_.string()}, false);
    EXPECT_EQ(unsaved.status, 1);
    EXPECT_NE(unsaved.err.find((dir_ / "file" / "settings.ini").string() + ": Not a directory"), std::string::npos) << unsaved.err;
}

TEST_F(CliTest, SettingsFrozenByAnEarlierRunAreLookedUpAgain) {
    // A Palm folder written into settings.ini by hand, without quotes.
    WriteFileBytes(dir_ / "hand" / "settings.ini", "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\nPath=" + palm_.string() + "\n");
    EXPECT_EQ(Run({"--config", (dir_ / "hand").string(), "meetings"}, false).out, Run({"meetings"}).out);
    // A template folder setting that names a folder no longer there gives the installed one.
    fs::create_directories(dir_ / "gone");
    ASSERT_EQ(Run({"config", "templates", (dir_ / "gone").string()}).status, 0);
    fs::remove(dir_ / "gone");
    RunResult report = Run({"report", "1", "--template", "エグゼクティブ.htm"});
    EXPECT_EQ(report.status, 0) << report.err;
    // A viewer stored empty is looked up again by the next run.
    WriteFileBytes(dir_ / "bin" / "xdg-open", "#!/bin/sh\n");
    fs::permissions(dir_ / "bin" / "xdg-open", fs::perms::owner_all);
    ASSERT_EQ(Run({"config", "--unset", "viewer"}).out, "viewer\t\n");
    const std::string path = "PATH=" + Quote((dir_ / "bin").string() + ":" + std::getenv("PATH"));
    Run({"meetings"}, true, path);
    EXPECT_NE(Run({"config", "viewer"}).out, "viewer\t\n");
}

TEST_F(CliTest, OptionsAnywhereLastOneWinsAndUsageInOneLine) {
    EXPECT_EQ(Run({"meetings", "--json"}).out, Run({"--json", "meetings"}).out);
    fs::create_directories(dir_ / "b");
    RunResult twice = Run({"report", "1", "--output", (dir_ / "a").string(), "--output", (dir_ / "b").string()});
    ASSERT_EQ(twice.status, 0) << twice.err;
    EXPECT_TRUE(fs::exists(dir_ / "b" / "Kickoff.htm"));
    EXPECT_FALSE(fs::exists(dir_ / "a"));
    EXPECT_EQ(Run({"-V"}).out, "tavolex " TAVOLEX_VERSION "\n");
    RunResult help = Run({"help", "search"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Example:\n  tavolex search"), std::string::npos);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } kUsage[] = {
        {{"bogus"}, "tavolex: unknown command \"bogus\" (see \"tavolex --help\")\n"},
        {{"help", "bogus"}, "tavolex: unknown command \"bogus\" (see \"tavolex --help\")\n"},
        {{"--json", "--csv", "users"}, "tavolex: --json and --csv exclude each other (see \"tavolex users --help\")\n"},
        {{"--csv", "show", "1"}, "tavolex: --csv is for the listing commands; show has --json (see \"tavolex show --help\")\n"},
        {{"meetings", "0"}, "tavolex: \"0\" is not a meeting number or range (as in 3 or 1-5,8) (see \"tavolex meetings --help\")\n"},
        {{"meetings", "--since", "2026-02-30"},
         "tavolex: --since wants a date as YYYY-MM-DD, not \"2026-02-30\" (see \"tavolex meetings --help\")\n"},
        {{"report", "1", "--name", ""}, "tavolex: a report name can't be empty (see \"tavolex report --help\")\n"},
        {{"report", "--all", "--name", "x"},
         "tavolex: --name names one report; --name-format names several (see \"tavolex report --help\")\n"},
        {{"report", "--all", "--name-format", "{when}"},
         "tavolex: --name-format knows {title}, {date}, {number} and {id}, not \"{when}\" (see \"tavolex report --help\")\n"},
        {{"search", ""}, "tavolex: the text to search for can't be empty (see \"tavolex search --help\")\n"},
    };
    for (const auto& c : kUsage) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.args[0];
        EXPECT_EQ(r.err, c.err);
    }
}

TEST_F(CliTest, FailuresNameThePathAndTheReason) {
    WriteFileBytes(dir_ / "file", "x");
    fs::create_directories(dir_ / "folder.htm");
    const fs::path notFolder = dir_ / "file" / "out";
    const struct {
        std::vector<std::string> args;
        std::string detail;  // in stderr, after the system's message
    } kFailures[] = {
        {{"--output", notFolder.string(), "reports"}, notFolder.string() + ": Not a directory"},
        {{"--output", notFolder.string(), "report", "1"}, notFolder.string() + ": Not a directory"},
        {{"import", (dir_ / "folder.htm").string()}, (dir_ / "folder.htm").string() + ": Is a directory"},
        {{"import", (dir_ / "none.htm").string()}, (dir_ / "none.htm").string() + ": No such file or directory"},
        {{"report", "1", "--name", std::string(300, 'n')}, ": File name too long"},
        {{"report", "1", "--name", "\xF0\x9F\x98\x80"}, "Shift-JIS"},
        {{"show", "7"}, "There is no meeting 7: the user has 2 meetings."},
        {{"report", "--category", "none"}, "No meeting matches the selection: no report was written."},
    };
    for (const auto& c : kFailures) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_NE(r.err.find(c.detail), std::string::npos) << r.err;
    }
    ASSERT_EQ(Run({"report", "1", "--name", "a"}).status, 0);
    RunResult asked = Run({"delete", "a"});
    EXPECT_EQ(asked.status, 1);
    EXPECT_NE(asked.err.find("--yes (or --force) answers yes"), std::string::npos) << asked.err;
    EXPECT_EQ(Run({"delete", "a", "--force"}).status, 0) << "--force answers yes too";
}

TEST_F(CliTest, JsonIsTheSameInEveryLocaleAndCarriesIdsIsoDatesAndWholeTexts) {
    std::string first;
    for (const char* locale : {"ja_JP.UTF-8", "C.UTF-8", "en_US.UTF-8"}) {
        const RunResult r = Run({"--json", "meetings"}, true, std::string("LC_ALL=") + locale + " LANG=" + locale);
        nlohmann::json m = nlohmann::json::parse(r.out)["meetings"];
        EXPECT_EQ(m[0]["date"], "2026-11-02");
        EXPECT_EQ(m[0]["start"], "09:00");
        EXPECT_EQ(m[0]["end"], "10:30");
        EXPECT_TRUE(m[1]["start"].is_null());
        EXPECT_TRUE(m[0]["id"].is_number());
        for (auto& meeting : m) meeting.erase("dateText"), meeting.erase("timeText"), meeting.erase("time");
        if (first.empty()) first = m.dump();
        EXPECT_EQ(m.dump(), first) << locale;
    }
    const nlohmann::json ja = nlohmann::json::parse(Run({"--json", "meetings", "1"}).out)["meetings"][0];
    EXPECT_EQ(ja["dateText"], "2026/11/02");
    EXPECT_EQ(ja["timeText"], "9:00 - 10:30");
    const nlohmann::json items = nlohmann::json::parse(Run({"--json", "items", "1"}).out);
    EXPECT_EQ(items["items"][0]["text"], "Budget\nsecond line");
    EXPECT_EQ(items["items"][0]["displayText"], "Budget");
    EXPECT_EQ(items["items"][1]["text"], "Remember\tthis");
    EXPECT_EQ(items["items"][2]["dueDate"], "2026-11-09");
    EXPECT_TRUE(items["items"][2]["id"].is_number());
    EXPECT_EQ(items["meetingId"], nlohmann::json::parse(Run({"--json", "meetings", "1"}).out)["meetings"][0]["id"]);

    // File operations say what they did.
    const std::string out = (dir_ / "out").string();
    EXPECT_EQ(nlohmann::json::parse(Run({"--json", "report", "1", "--name", "a"}).out)["path"], out + "/a.htm");
    EXPECT_EQ(nlohmann::json::parse(Run({"--json", "rename", "a", "b"}).out),
              (nlohmann::json{{"renamed", out + "/a.htm"}, {"to", out + "/b.htm"}}));
    EXPECT_EQ(nlohmann::json::parse(Run({"--json", "delete", "b", "--yes"}).out), (nlohmann::json{{"deleted", out + "/b.htm"}}));
}

TEST_F(CliTest, CsvReadsBackWithPythonsCsvModule) {
    const char* kReader =
        "import csv, json, sys\n"
        "raw = open(sys.argv[1], 'rb').read()\n"
        "assert raw.startswith(b'\\xef\\xbb\\xbf') and raw.endswith(b'\\r\\n')\n"
        "rows = list(csv.DictReader(open(sys.argv[1], encoding='utf-8-sig', newline='')))\n"
        "print(json.dumps(rows))\n";
    Run({"--csv", "meetings"});
    nlohmann::json rows = nlohmann::json::parse(Python(kReader, dir_ / "stdout"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (nlohmann::json{{"number", "1"}, {"id", rows[0]["id"]}, {"date", "2026-11-02"}, {"start", "09:00"},
                                       {"end", "10:30"}, {"title", "Kickoff"}, {"location", "Room 1"}, {"category", "Business"},
                                       {"dateText", "2026/11/02"}, {"timeText", "9:00 - 10:30"}}));
    EXPECT_EQ(rows[1]["start"], "");
    Run({"--csv", "items", "1"});
    rows = nlohmann::json::parse(Python(kReader, dir_ / "stdout"));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0]["text"], "Budget\nsecond line");
    EXPECT_EQ(rows[2]["priority"], "3");
    EXPECT_EQ(rows[4]["absent"], "true");
}

TEST_F(CliTest, TabsInNamesStayInsideTheirColumn) {
    ASSERT_EQ(Run({"report", "1", "--name", "a\tb"}).status, 0);
    const std::string line = Run({"reports"}).out;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
    EXPECT_EQ(line.substr(0, 4), "a b\t");
}

TEST_F(CliTest, MeetingSelection) {
    const struct {
        std::vector<std::string> args;
        std::string numbers;  // the first column of the lines printed
    } kCases[] = {
        {{"meetings", "2"}, "2"},
        {{"meetings", "1-2"}, "1 2"},
        {{"meetings", "2,1"}, "1 2"},
        {{"meetings", "--since", "2026-11-03"}, "2"},
        {{"meetings", "--until", "2026-11-02"}, "1"},
        {{"meetings", "--category", "business"}, "1"},
        {{"meetings", "--attendee", "YAMADA"}, "1"},
        {{"meetings", "--attendee", "beta"}, "1"},
        {{"meetings", "--attendee", "Nobody"}, ""},
        {{"meetings", "--sort", "title"}, "1 2"},
        {{"meetings", "--sort", "date", "--since", "2026-01-01"}, "1 2"},
    };
    for (const auto& c : kCases) {
        const RunResult r = Run(c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        std::string numbers;
        for (std::size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1) {
            numbers += (numbers.empty() ? "" : " ") + r.out.substr(at, r.out.find('\t', at) - at);
        }
        EXPECT_EQ(numbers, c.numbers) << c.args[1];
    }
    EXPECT_EQ(Run({"meetings", "1-3"}).status, 1);
}

TEST_F(CliTest, BatchReportsNeverOverwriteEachOtherAndMatchSingleReports) {
    PalmUserSpec same;
    for (const char* location : {"A", "B", "C"}) {
        same.meetings.push_back({.title = "Weekly", .location = location, .date = HandheldDay(2026, 11, 2), .start = {9, 0},
                                 .end = {10, 0}, .items = {AgendaSpec{.text = location}}});
    }
    WritePalmUserFolder(palm_ / "UserC" / "Tavolex", same);
    const std::string out = (dir_ / "out").string();
    RunResult batch = Run({"--user", "UserC", "report", "--all", "--name-format", "{date} {title}"});
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(batch.out, out + "/2026-11-02 Weekly.htm\n" + out + "/2026-11-02 Weekly (2).htm\n" + out +
                             "/2026-11-02 Weekly (3).htm\n");
    const char* kNames[] = {"2026-11-02 Weekly.htm", "2026-11-02 Weekly (2).htm", "2026-11-02 Weekly (3).htm"};
    for (int n = 1; n <= 3; ++n) {
        ASSERT_EQ(Run({"--user", "UserC", "report", std::to_string(n), "--name", "single"}, true).status, 0);
        EXPECT_EQ(ReadFileBytes(dir_ / "out" / kNames[n - 1]), ReadFileBytes(dir_ / "out" / "single.htm")) << n;
        fs::remove(dir_ / "out" / "single.htm");
    }
    RunResult again = Run({"--user", "UserC", "--json", "report", "2-3", "--name-format", "{number}-{id}"});
    ASSERT_EQ(again.status, 0) << again.err;
    const nlohmann::json written = nlohmann::json::parse(again.out)["reports"];
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0]["path"], out + "/2-" + std::to_string(written[0]["id"].get<int>()) + ".htm");
    EXPECT_EQ(Run({"--user", "UserC", "report", "1-2", "--name-format", "{title}"}).status, 0) << "new names, nothing replaced";
    EXPECT_EQ(Run({"--user", "UserC", "report", "1-2", "--name-format", "{title}"}).status, 1) << "replacing asks";
}

TEST_F(CliTest, SearchFoldsWidthAndCase) {
    PalmUserSpec user;
    user.meetings = {{.title = "ＡＢＣ Review", .date = HandheldDay(2026, 11, 2),
                      .items = {NoteSpec{.text = "intro"}, AgendaSpec{.text = "Read the ガイド first"}}}};
    for (auto& m : user.meetings) {
        m.title = platform::Utf8ToCp932(m.title);
        std::get<AgendaSpec>(m.items[1]).text = platform::Utf8ToCp932(std::get<AgendaSpec>(m.items[1]).text);
    }
    WritePalmUserFolder(palm_ / "UserC" / "Tavolex", user);
    const std::string samples = "--palm-folder=" TAVOLEX_SAMPLES_PALM;
    const struct {
        std::vector<std::string> args;
        std::string out;
    } kCases[] = {
        {{"--user", "UserC", "search", "ｶﾞｲﾄﾞ"}, "1\tagenda\t2\tRead the ガイド first\n"},
        {{"--user", "UserC", "search", "abc"}, "1\ttitle\t0\tＡＢＣ Review\n"},
        {{"--user", "UserC", "search", "INTRO"}, "1\tnote\t1\tintro\n"},
        {{"--user", "UserC", "search", "nothing"}, ""},
        {{samples, "--user", "TanakaT", "search", "ﾃﾝﾌﾟﾚｰﾄ"}, "11\tagenda\t1\tテーマ: テンプレートの作り方\n"},
        {{samples, "--user", "TanakaT", "search", "ﾉｰﾄ pc"}, "11\tnote\t2\t持ち物: ノート PC\n"},
        {{samples, "--user", "TanakaT", "search", "山田商事"},
         "1\tattendee\t2\t一郎 山田, 山田商事株式会社\n4\ttitle\t0\t顧客訪問 (山田商事)\n4\tlocation\t0\t山田商事 本社\n"
         "4\tattendee\t1\t一郎 山田, 山田商事株式会社\n7\tattendee\t4\t一郎 山田, 山田商事株式会社\n"},
    };
    for (const auto& c : kCases) {
        const RunResult r = Run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST_F(CliTest, CheckNamesEachDamagedFile) {
    RunResult samples = Run({"--palm-folder", TAVOLEX_SAMPLES_PALM, "--user", "TanakaT", "check"});
    EXPECT_EQ(samples.status, 0) << samples.err;
    EXPECT_EQ(samples.out.substr(0, samples.out.find('\n')), "meeting.dat\tok\t0\tok\t12\t12\t");
    const fs::path data = palm_ / "UserA" / "Tavolex";
    const std::string meetings = ReadFileBytes(data / "meeting.dat");
    WriteFileBytes(data / "meeting.dat", meetings.substr(0, meetings.size() - 3));
    fs::remove(data / "note.dat");
    RunResult damaged = Run({"check"});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("were not read: meeting.dat, link.dat, note.dat.\n"), std::string::npos) << damaged.err;
    EXPECT_NE(damaged.out.find("note.dat\tmissing\t4378\tcan't be opened\t-\t0\t\n"), std::string::npos) << damaged.out;
    const nlohmann::json json = nlohmann::json::parse(Run({"--json", "check"}).out);
    EXPECT_EQ(json["healthy"], false);
    EXPECT_EQ(json["files"][0]["headerRecords"], 2);
    EXPECT_EQ(json["files"][0]["recordsRead"], 1);
    EXPECT_EQ(json["files"][0]["skipped"][0], "1 record named by the header was not read");
}

TEST(CliManPage, NamesEveryCommandAndOptionOfTheHelpAndNoOther) {
    const auto run = [](const std::string& args) {
        std::string out;
        if (FILE* pipe = popen((Quote(TAVOLEX_CLI_PATH) + " " + args).c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
            pclose(pipe);
        }
        return out;
    };
    const std::regex option(R"((?:^|[\s\[(,"])(--?[a-zA-Z][a-zA-Z-]*))");
    const auto options = [&](const std::string& text, std::set<std::string>& into) {
        for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) into.insert((*it)[1]);
    };
    // The help: the commands listed by the program's, the options of every section "Options:".
    const std::string help = run("--help");
    std::set<std::string> helpCommands;
    std::set<std::string> helpOptions;
    const std::size_t listed = help.find("Commands:");
    const std::string commands = help.substr(listed, help.find("\n\n", listed) - listed);
    for (std::size_t at = commands.find("\n  "); at != std::string::npos; at = commands.find("\n  ", at + 1)) {
        helpCommands.insert(commands.substr(at + 3, commands.find(' ', at + 3) - at - 3));
    }
    for (const std::string& text : [&] {
             std::vector<std::string> all{help};
             for (const std::string& c : helpCommands) all.push_back(run("help " + c));
             return all;
         }()) {
        const std::size_t from = text.find("Options:\n");
        options(text.substr(from, text.find("\n\n", from) - from), helpOptions);
    }
    // The manual: a command per ".SS", the options anywhere, its escapes undone.
    std::string man = ReadFileBytes(TAVOLEX_MAN_PAGE);
    man = std::regex_replace(std::regex_replace(man, std::regex(R"(\\f[BIRP])"), ""), std::regex(R"(\\-)"), "-");
    EXPECT_EQ(man.find("@PROJECT_VERSION@"), std::string::npos);
    EXPECT_NE(man.find("tavolex " TAVOLEX_VERSION), std::string::npos);
    std::set<std::string> manCommands;
    const std::regex section(R"(\n\.SS "([a-z]+))");
    for (std::sregex_iterator it(man.begin(), man.end(), section), end; it != end; ++it) manCommands.insert((*it)[1]);
    std::set<std::string> manOptions;
    options(man, manOptions);
    EXPECT_EQ(manCommands, helpCommands);
    EXPECT_EQ(manOptions, helpOptions);
}

}  // namespace
}  // namespace tavolex
