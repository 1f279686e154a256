#pragma once
// The archive's index and its year pages. What each shows of a meeting is made on any thread (a
// worker, beside its report) and added in date order. The index holds the meetings as data that
// its own script shows a page at a time and searches; a page per year lists that year's meetings
// as rows, for a browser without script.

#include "export/export_text.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex::archive {

// The opening of every page the archive writes itself, to its charset.
inline constexpr std::string_view kPageTop = R"(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
)";

// The index of an archive is marked with the program that wrote it, so a later run knows the
// folder as its own and refreshes it without asking.
inline constexpr std::string_view kGeneratorMark = "<meta name=\"generator\" content=\"Tavolex";

// What the index and the year pages hold of one meeting.
struct IndexEntry {
    std::string data;  // its array in the index's data, JSON
    std::string row;   // its row of its year's page, HTML
    std::string year;  // "2004"; "undated" for a date the calendar does not have
    ItemCounts counts;
};

[[nodiscard]] IndexEntry MakeIndexEntry(const MeetingDatabase& store, const Meeting& m, const std::string& reportName,
                                        ExportText& text);

// "index-2004.html", "index-undated.html".
[[nodiscard]] std::string YearPageName(const std::string& year);

// The index (its meetings as data, shown a page at a time by its script) and a page per year that
// lists that year's meetings as rows, oldest first.
class IndexBuilder {
public:
    void Add(const IndexEntry& entry);

    // The index page in three parts, the data in the middle: it is written as it stands, not copied.
    [[nodiscard]] std::vector<std::string_view> IndexParts();

    // The rows of each year's page, by year.
    [[nodiscard]] const std::map<std::string, std::string>& Years() const { return years_; }

    [[nodiscard]] std::string YearPage(const std::string& year) const;
    // The index's data: each meeting's array as added, separated by ",\n".
    [[nodiscard]] const std::string& Data() const { return data_; }

private:
    std::string data_;
    std::map<std::string, std::string> years_;
    std::string indexHead_, indexTail_;  // the index page around the data
};

// The index over the archives of several users, each in a folder of its own beside it.
struct UserArchive {
    std::string user;    // UTF-8
    std::string folder;  // the folder's name, UTF-8
    std::string data;    // the index data of the user's archive (IndexBuilder::Data)
};
// Every user's meetings in date order (a user's own in its archive's order) with a first column for
// the user, each linked into the user's folder; a choice of user beside the search box
// ("index.html?u=NAME", beside "?q=", "?p=" and "?o=old"), and a link to each user's own index, to-do
// and people pages (which also serve a browser without script). The data is carried packed (raw
// DEFLATE in Base64), which the page's script unpacks: a hundred thousand meetings would otherwise
// take the browser seconds to read.
[[nodiscard]] std::string UsersIndexPage(const std::vector<UserArchive>& users);

}  // namespace tavolex::archive
