// A vault refreshed in place, on Linux and under Wine (whose file lookups ignore letter case as
// Windows does): names follow their meetings and leave out what links read, a change of case is
// the same note, and a manifest that can't be read keeps every note that differs.
#include "export/markdown_vault.h"
#include "tests/support/loaded_user.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

// A user's store whose meetings each test writes and writes again, and a vault beside it.
class VaultRefreshTest : public ::testing::Test {
protected:
    // Writes the store of these meetings (title in Shift-JIS, id) on 2024-05-01 and exports it all.
    ExportSummary Export(const std::vector<std::pair<std::string, std::uint32_t>>& meetings) {
        test::PalmUserSpec user;
        for (const auto& [title, id] : meetings) user.meetings.push_back({.title = title, .date = test::HandheldDay(2024, 5, 1), .id = id});
        loaded.emplace(user);
        ExportText text;
        ExportSummary summary;
        EXPECT_TRUE(WriteMarkdownVault(loaded->store, loaded->book, AllMeetings(loaded->store), vault, text, summary)) << summary.error;
        return summary;
    }

    // The meetings' notes in the vault's top folder: UTF-8 name → bytes.
    std::map<std::string, std::string> Notes() const {
        std::map<std::string, std::string> notes;
        for (const fs::directory_entry& e : fs::directory_iterator(vault)) {
            const std::u8string name = e.path().filename().u8string();
            if (e.is_regular_file() && name.ends_with(u8".md") && name != u8"index.md")
                notes.emplace(std::string(name.begin(), name.end()), test::ReadFileBytes(e.path()));
        }
        return notes;
    }

    static fs::path U8(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

    test::TempDir dir;
    std::optional<test::LoadedUser> loaded;  // the store last written
    const fs::path vault = dir / "vault";
};

// A meeting renamed in case or width only: its note is replaced, never reported as edited nor
// removed as the earlier name's (the file system may find one name for the other); an edited note
// keeps the user's words.
TEST_F(VaultRefreshTest, ARenameInCaseOrWidthKeepsOneNote) {
    const struct {
        std::string after;  // Shift-JIS
        std::string utf8;
        bool edited;
    } cases[] = {
        {"MINUTES", "MINUTES", false},
        {"\x82\x6c\x82\x68\x82\x6d\x82\x74\x82\x73\x82\x64\x82\x72", "ＭＩＮＵＴＥＳ", false},
        {"MINUTES", "MINUTES", true},
    };
    for (const auto& c : cases) {
        fs::remove_all(vault);
        Export({{"minutes", 7}});
        if (c.edited) {
            const fs::path note = vault / "2024-05-01 minutes.md";
            test::WriteFileBytes(note, test::ReadFileBytes(note) + "my words\n");
        }
        const ExportSummary summary = Export({{c.after, 7}});
        const std::map<std::string, std::string> notes = Notes();
        bool words = false;
        for (const auto& [name, bytes] : notes) words = words || bytes.ends_with("my words\n");
        EXPECT_EQ(words, c.edited) << c.utf8;
        if (c.edited) continue;
        EXPECT_TRUE(summary.kept.empty()) << c.utf8;
        ASSERT_EQ(notes.size(), 1U) << c.utf8;
        EXPECT_TRUE(notes.begin()->second.starts_with("---\nid: 7\ntitle: \"" + c.utf8 + "\"\n")) << c.utf8;
        EXPECT_EQ(Export({{c.after, 7}}).kept.size(), 0U) << c.utf8;
    }
}

// Meetings of one name. The first's note is edited and its meeting deleted on the handheld: each
// other meeting keeps its own note's name, the edited note stays as the user left it, and newcomers
// of that name, then and on later runs, take names no note holds. A meeting that comes before another
// in the list does not take the other's name, and an unchanged note of a deleted meeting goes
// without moving the names after it.
TEST_F(VaultRefreshTest, NamesFollowTheirMeetings) {
    const std::string teiRei = "\x92\xe8\x97\xe1";  // 定例
    const auto note = [&](int n) {
        return test::ReadFileBytes(vault / U8(n == 1 ? "2024-05-01 定例.md" : "2024-05-01 定例 (" + std::to_string(n) + ").md"));
    };
    Export({{teiRei, 1}, {teiRei, 2}});
    ASSERT_TRUE(note(2).starts_with("---\nid: 2\n"));
    test::WriteFileBytes(vault / U8("2024-05-01 定例.md"), note(1) + "my words\n");

    const struct {
        std::vector<std::pair<std::string, std::uint32_t>> meetings;
        std::vector<std::pair<int, std::uint32_t>> notes;  // "定例 (n).md" and the id it holds
    } runs[] = {
        {{{teiRei, 2}, {teiRei, 3}}, {{2, 2}, {3, 3}}},
        {{{teiRei, 2}, {teiRei, 3}, {teiRei, 4}}, {{2, 2}, {3, 3}, {4, 4}}},
        {{{teiRei, 5}, {teiRei, 3}, {teiRei, 4}}, {{2, 5}, {3, 3}, {4, 4}}},
        {{{teiRei, 4}}, {{4, 4}}},
    };
    for (const auto& run : runs) {
        EXPECT_TRUE(Export(run.meetings).kept.empty());
        EXPECT_TRUE(note(1).ends_with("my words\n"));
        for (const auto& [n, id] : run.notes) EXPECT_TRUE(note(n).starts_with("---\nid: " + std::to_string(id) + "\n")) << n;
        EXPECT_EQ(Notes().size(), run.notes.size() + 1);
    }
    // A first meeting of a name keeps it when another of that name comes before it.
    fs::remove_all(vault);
    Export({{"x", 1}});
    Export({{"x", 2}, {"x", 1}});
    EXPECT_TRUE(test::ReadFileBytes(vault / "2024-05-01 x.md").starts_with("---\nid: 1\n"));
    EXPECT_TRUE(test::ReadFileBytes(vault / "2024-05-01 x (2).md").starts_with("---\nid: 2\n"));
}

// A note's name leaves out what a notes app reads in a link ("#" a heading, "^" a block, "[" and "]"
// a wiki link) as it leaves out the report-name characters, and keeps the double-byte characters
// whose second byte is one of them (check_exports.py finds every link's note in every vault).
TEST_F(VaultRefreshTest, NamesLeaveOutWhatLinksRead) {
    const std::pair<std::string, std::string> meetings[] = {
        // the title in Shift-JIS, the note's name in UTF-8
        {"\x8b\x63\x8e\x96\x98\x5e #1 [\x88\xc4] ^x|y", "2024-05-01 議事録  1  案   x y.md"},  // 録 ends in "^"
        {"[[w]]", "2024-05-01   w  .md"},
        {"\x83\x5b\x83\x5d\x83\x5e\x81\x5b", "2024-05-01 ゼゾター.md"},  // second bytes "[", "]", "^", "["
        {"a:b", "2024-05-01 a b.md"},
    };
    std::vector<std::pair<std::string, std::uint32_t>> titles;
    for (const auto& [title, note] : meetings) titles.emplace_back(title, 0);
    Export(titles);
    for (const auto& [title, note] : meetings) EXPECT_TRUE(fs::exists(vault / U8(note))) << note;
}

// A manifest that is there but can't be read as the vault's: the folder is asked about as one the
// vault did not write, and then a note that differs from what this export writes is kept and
// reported, never overwritten.
TEST_F(VaultRefreshTest, AnUnreadableManifestKeepsEveryNoteThatDiffers) {
    for (const std::string manifest : {"", "tavolex-vault 2\n", "\xff\xfe garbage"}) {
        fs::remove_all(vault);
        Export({{"a", 1}, {"b", 2}});
        const fs::path edited = vault / "2024-05-01 a.md";
        test::WriteFileBytes(edited, test::ReadFileBytes(edited) + "my words\n");
        test::WriteFileBytes(vault / ".tavolex-vault", manifest);
        EXPECT_FALSE(VaultFilesToReplace(loaded->store, loaded->book, AllMeetings(loaded->store), vault).empty());
        const ExportSummary summary = Export({{"a", 1}, {"b", 2}});
        EXPECT_EQ(summary.kept, std::vector<fs::path>{edited});
        EXPECT_TRUE(test::ReadFileBytes(edited).ends_with("my words\n"));
        EXPECT_TRUE(test::ReadFileBytes(vault / ".tavolex-vault").starts_with("tavolex-vault 1\n"));
    }
}

}  // namespace
}  // namespace tavolex
