// search: the meetings and items whose texts hold a text, compared as a person reads them.

#include "cli/cli_messages.h"
#include "cli/command_registry.h"
#include "meeting_query/store_search.h"
#include "views/meeting_listing.h"

#include <iostream>
#include <numeric>

namespace tavolex::cli {
namespace {

using json = nlohmann::ordered_json;

// The item list's entries of a meeting, numbered as `items` numbers them.
std::vector<SearchItem> ItemListEntries(const MeetingDatabase& store, const AddressBook& book,
                                        std::int32_t meetingIndex) {
    std::vector<SearchItem> items;
    for (const MeetingItemEntry& e : BuildMeetingItemEntries(store, book, meetingIndex)) {
        items.push_back({ItemKindWord(e.kind), e.item, e.displayText});
    }
    return items;
}

int Search(CliSession& session, const std::string& text) {
    if (text.empty()) return UsageError("search", "the text to search for can't be empty");
    std::vector<std::int32_t> all(static_cast<std::size_t>(session.Store().MeetingCount()));
    std::iota(all.begin(), all.end(), 0);
    const std::vector<SearchHit> hits = SearchMeetings(session.Store(), all, text, [&](std::int32_t index) {
        return ItemListEntries(session.Store(), session.Book(), index);
    });
    json records = json::array();
    for (const SearchHit& hit : hits) {
        if (session.Format() == OutputFormat::kText) {
            WriteTsvLine(std::cout,
                         {std::to_string(hit.meetingNumber), hit.kind, std::to_string(hit.itemNumber), hit.context});
            continue;
        }
        records.push_back({{"meeting", hit.meetingNumber},
                           {"meetingId", hit.meetingId},
                           {"kind", hit.kind},
                           {"item", hit.itemNumber},
                           {"itemId", hit.itemNumber == 0 ? json(nullptr) : json(hit.itemId)},
                           {"text", hit.context}});
    }
    if (session.Json()) WriteJson(std::cout, json{{"search", text}, {"hits", records}});
    if (session.Csv())
        WriteCsv(std::cout,
                 {{"meeting", kCsvValue},
                  {"meetingId", kCsvValue},
                  {"kind", kCsvValue},
                  {"item", kCsvValue},
                  {"itemId", kCsvValue},
                  {"text"}},
                 records);
    return 0;
}

}  // namespace

void AddSearchCommands(CommandRegistry& registry) {
    auto text = std::make_shared<std::string>();
    CLI::App* search =
        registry.Add("search", "find the meetings and items whose text holds TEXT (full/half width and case alike)",
                     "tavolex search ｶﾞｲﾄﾞ", Needs::kUser, true, [text](CliSession& s) { return Search(s, *text); });
    search->add_option("TEXT", *text, "the text to find")->required();
    registry.ListsEveryUser(search);
    search->footer(
        "Prints one line per hit: meeting number, kind (title, location, category or the item's kind),\n"
        "item number (0 for the meeting itself), the text around the hit.\n\nExample:\n  tavolex search ｶﾞｲﾄﾞ\n\n" +
        ClosingNotes(true));
}

}  // namespace tavolex::cli
