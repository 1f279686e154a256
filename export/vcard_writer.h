#pragma once
// The address book as vCard 3.0: a card per person with names, company, title, each phone with
// its kind (a phone labelled E-mail becomes an EMAIL), the address, the note and the custom
// fields. UIDs come from the record ids and the Palm user, as the calendar's do.

#include "export/export_text.h"

#include <set>
#include <string>
#include <string_view>

namespace tavolex {

class Address;

// The address's first phone labelled E-mail (CP932); empty when it has none.
[[nodiscard]] std::string_view AddressEmail(const Address& address);

// Every address of the book when `only` is null; else those whose record id it holds.
// `userFolder`: the Palm user's folder, whose name makes the UIDs the user's own. `categories`:
// each card names its category of the book (CATEGORIES), as address books that take one card per
// file want it.
[[nodiscard]] std::string WriteVCards(const AddressBook& book, const std::filesystem::path& userFolder,
                                      const std::set<std::uint32_t>* only, ExportText& text, ExportSummary& summary,
                                      bool categories = false);

// The address ids of the attendees of the selected meetings.
[[nodiscard]] std::set<std::uint32_t> AttendeeAddressIds(const MeetingDatabase& store, const MeetingIndexes& selection);

}  // namespace tavolex
