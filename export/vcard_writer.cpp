#include "export/vcard_writer.h"

#include "address_book/address_book.h"
#include "export/content_lines.h"
#include "meeting_store/meeting_database.h"
#include "resources/string_table.h"

namespace tavolex {
namespace {

// The TEL types of the address book's eight phone labels, by label index; E-mail is not a phone.
constexpr const char* kPhoneTypes[kPhoneLabelCount] = {"WORK,VOICE", "HOME,VOICE",      "FAX",   "VOICE",
                                                       nullptr,      "WORK,VOICE,PREF", "PAGER", "CELL,VOICE"};
constexpr int kEmailLabel = kIdsPhoneEmail - kIdsPhoneWork;

int LabelIndex(std::string_view label) {
    for (int i = 0; i < kPhoneLabelCount; ++i) {
        if (label == StringTableText(kIdsPhoneWork + i)) return i;
    }
    return -1;
}

class CardWriter {
public:
    CardWriter(const std::filesystem::path& userFolder, ExportText& text)
        : user_(UserUidPart(userFolder)), text_(text) {}

    // `occurrence`: how many times the record id has come in the book so far, this card included;
    // `category`: the long name of its category (CP932), none to leave it out.
    void Add(const Address& a, int occurrence, std::string_view category) {
        lines_.Add("BEGIN", "VCARD");
        lines_.Add("VERSION", "3.0");
        lines_.Add("UID", RecordUid("address", static_cast<std::uint32_t>(a.RecordId()), occurrence, user_));
        const std::string last = Text(a.LastName());
        const std::string first = Text(a.FirstName());
        lines_.Add("N", last + ";" + first + ";;;");
        std::string formatted = last.empty() || first.empty() ? last + first : last + " " + first;
        if (formatted.empty()) formatted = Text(a.Company());
        lines_.Add("FN", formatted);
        if (!a.Company().empty()) lines_.Add("ORG", Text(a.Company()));
        if (!a.Title().empty()) lines_.Add("TITLE", Text(a.Title()));
        for (int n = 1; n <= kAddressPhoneCount; ++n) AddPhone(a.PhoneLabel(n), a.Phone(n));
        if (!a.Street().empty() || !a.City().empty() || !a.State().empty() || !a.Zip().empty() ||
            !a.Country().empty()) {
            lines_.Add("ADR;TYPE=WORK", ";;" + Text(a.Street()) + ";" + Text(a.City()) + ";" + Text(a.State()) + ";" +
                                            Text(a.Zip()) + ";" + Text(a.Country()));
        }
        if (!a.Note().empty()) lines_.Add("NOTE", Text(a.Note()));
        for (int n = 1; n <= kAddressCustomCount; ++n) {
            if (!a.Custom(n).empty()) lines_.Add("X-TAVOLEX-CUSTOM" + std::to_string(n), Text(a.Custom(n)));
        }
        if (!category.empty()) lines_.Add("CATEGORIES", Text(category));
        lines_.Add("END", "VCARD");
    }

    std::string Take() { return lines_.Take(); }

private:
    std::string Text(std::string_view cp932) { return EscapeText(text_.Utf8(cp932)); }

    void AddPhone(std::string_view label, std::string_view number) {
        if (number.empty()) return;
        const int index = LabelIndex(label);
        if (index == kEmailLabel) {
            lines_.Add("EMAIL;TYPE=INTERNET", Text(number));
            return;
        }
        lines_.Add(std::string("TEL;TYPE=") + (index < 0 ? "VOICE" : kPhoneTypes[index]), Text(number));
    }

    std::string user_;
    ExportText& text_;
    ContentLines lines_;
};

}  // namespace

std::string_view AddressEmail(const Address& address) {
    for (int n = 1; n <= kAddressPhoneCount; ++n) {
        if (LabelIndex(address.PhoneLabel(n)) == kEmailLabel && !address.Phone(n).empty()) return address.Phone(n);
    }
    return {};
}

std::string WriteVCards(const AddressBook& book, const std::filesystem::path& userFolder,
                        const std::set<std::uint32_t>* only, ExportText& text, ExportSummary& summary,
                        bool categories) {
    CardWriter writer(userFolder, text);
    std::vector<std::uint32_t> ids;
    for (const auto& address : book.Addresses()) ids.push_back(static_cast<std::uint32_t>(address->RecordId()));
    const std::vector<int> occurrences = Occurrences(ids);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (only != nullptr && only->count(ids[i]) == 0) continue;
        const Address& address = *book.Addresses()[i];
        const AddressCategory* category = categories && address.dwCategoryID != 0 && book.Categories() != nullptr
                                              ? book.Categories()->FindId(address.dwCategoryID)
                                              : nullptr;  // id 0: Unfiled, no category
        writer.Add(address, occurrences[i], category != nullptr ? std::string_view(category->szLongName) : "");
        ++summary.addresses;
    }
    summary.replacements = text.Replacements();
    return writer.Take();
}

std::set<std::uint32_t> AttendeeAddressIds(const MeetingDatabase& store, const MeetingIndexes& selection) {
    std::set<std::uint32_t> ids;
    for (const std::int32_t index : selection) {
        const Meeting* meeting = store.MeetingAt(index);
        if (meeting == nullptr) continue;
        for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, ChildType::kAttendee)) {
            if (const Attendee* attendee = store.AttendeeOf(item)) ids.insert(attendee->dwAddressID);
        }
    }
    return ids;
}

}  // namespace tavolex
