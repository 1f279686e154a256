#include "views/quick_view.h"

#include "address_book/address_book.h"
#include "resources/string_table.h"
#include "views/pane_text.h"

#include <iterator>
#include <limits>
#include <string>

namespace tavolex {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kWideSeparator = ": \t\t";
constexpr std::string_view kSeparator = ": \t";
constexpr std::string_view kNoteSeparator = ": ";

std::string Heading() {
    std::string text = StringTableText(kIdsQuickView);
    text += kLineBreak;
    text += kLineBreak;
    return text;
}

void AppendLine(std::string& text, std::string_view label, std::string_view separator, std::string_view value) {
    text += label;
    text += separator;
    text += value;
    text += kLineBreak;
}

void AppendAgenda(std::string& text, const MeetingItemEntry& entry) {
    text += StringTableText(entry.discussed != 0 ? kIdsDiscussed : kIdsNotDiscussed);
    text += kLineBreak;
    text += kLineBreak;
    text += entry.fullText;
}

void AppendSketch(std::string& text, const MeetingItemEntry& entry) {
    text += entry.displayText;
    text += kLineBreak;
    text += kLineBreak;
    text += StringTableText(kIdsSketchEnd);
}

void AppendToDo(std::string& text, const MeetingItemEntry& entry) {
    AppendLine(text, StringTableText(kIdsDueDate), kSeparator, entry.szDueDate + " " + entry.szDueTime);
    AppendLine(text, StringTableText(kIdsPriority), kSeparator, std::to_string(entry.nPriority));
    text += StringTableText(kIdsCompleted);
    text += kWideSeparator;
    text += StringTableText(entry.bCompleted == 1 ? kIdsCompletedYes : kIdsCompletedNo);
    text += kLineBreak;
    text += kLineBreak;
    text += entry.fullText;
}

void AppendAddressFields(std::string& text, const Address& address, const QuickViewFields& fields) {
    if (fields.lastName) AppendLine(text, StringTableText(kIdsLabelLastName), kWideSeparator, address.LastName());
    if (fields.firstName) AppendLine(text, StringTableText(kIdsLabelFirstName), kWideSeparator, address.FirstName());
    if (fields.title) AppendLine(text, StringTableText(kIdsLabelTitle), kSeparator, address.Title());
    if (fields.company) AppendLine(text, StringTableText(kIdsLabelCompany), kSeparator, address.Company());
    for (int phone = 1; phone <= kAddressPhoneCount; ++phone) {
        if (!fields.phones[static_cast<std::size_t>(phone - 1)]) continue;
        AppendLine(text, address.PhoneLabel(phone), kSeparator, address.Phone(phone));
    }
    if (fields.address) AppendLine(text, StringTableText(kIdsLabelAddress), kWideSeparator, address.Street());
    if (fields.city) AppendLine(text, StringTableText(kIdsLabelCity), kSeparator, address.City());
    if (fields.state) AppendLine(text, StringTableText(kIdsLabelState), kSeparator, address.State());
    if (fields.zipCode) AppendLine(text, StringTableText(kIdsLabelZipCode), kSeparator, address.Zip());
    if (fields.country) AppendLine(text, StringTableText(kIdsLabelCountry), kWideSeparator, address.Country());
    for (int custom = 1; custom <= kAddressCustomCount; ++custom) {
        if (!fields.customs[static_cast<std::size_t>(custom - 1)]) continue;
        AppendLine(text, StringTableText(kIdsLabelCustom1 + custom - 1), kSeparator, address.Custom(custom));
    }
    if (fields.addrNote) {
        AppendLine(text, StringTableText(kIdsLabelAddrNote), kNoteSeparator,
                   ExpandLineFeeds(address.Note(), std::numeric_limits<std::size_t>::max()));
    }
    text += kLineBreak;
}

void AppendAttendee(std::string& text, const MeetingItemEntry& entry, const AddressBook& book,
                    const QuickViewFields& fields) {
    if (entry.bAbsent != 0) {
        text += StringTableText(kIdsAbsent);
        text += kLineBreak;
        text += kLineBreak;
    }
    if (!entry.foundInAddressBook || entry.addressIndex < 0 || entry.addressIndex >= book.Count()) {
        text += StringTableText(kIdsNotInAddressBook);
        return;
    }
    AppendAddressFields(text, book.At(entry.addressIndex), fields);
}

}  // namespace

QuickViewFields QuickViewFieldsFromSettings(const std::function<bool(std::string_view name)>& isSet) {
    // One flag per name of kQuickViewSettingNames, in the same order.
    QuickViewFields fields;
    bool* const flags[] = {
        &fields.lastName,   &fields.firstName,  &fields.title,      &fields.company,    &fields.phones[0],
        &fields.phones[1],  &fields.phones[2],  &fields.phones[3],  &fields.phones[4],  &fields.address,
        &fields.city,       &fields.state,      &fields.zipCode,    &fields.country,    &fields.addrNote,
        &fields.customs[0], &fields.customs[1], &fields.customs[2], &fields.customs[3],
    };
    static_assert(std::size(flags) == kQuickViewSettingNames.size());
    for (std::size_t i = 0; i < kQuickViewSettingNames.size(); ++i) *flags[i] = isSet(kQuickViewSettingNames[i]);
    return fields;
}

std::string QuickViewInitialText() { return StringTableText(kIdsQuickView); }

std::string QuickViewUnderline(std::string_view text) {
    std::string underline(kLineBreak);
    underline.append(text.size(), '_');
    underline += kLineBreak;
    underline += kLineBreak;
    return underline;
}

std::string QuickViewMeetingText(const Meeting& meeting) {
    std::string text = Heading();
    text += meeting.szTitle;
    text += QuickViewUnderline(meeting.szTitle);
    text += meeting.szDate;
    text += kLineBreak;
    text += meeting.szTime;
    text += kLineBreak;
    text += meeting.szLocation;
    text += kLineBreak;
    return text;
}

std::string QuickViewItemText(const MeetingItemEntry& entry, const AddressBook& book, const QuickViewFields& fields) {
    std::string text = Heading();
    switch (entry.kind) {
        case ItemKind::kAgenda: AppendAgenda(text, entry); break;
        case ItemKind::kNote: text += entry.fullText; break;
        case ItemKind::kSketch: AppendSketch(text, entry); break;
        case ItemKind::kToDo: AppendToDo(text, entry); break;
        case ItemKind::kAttendee: AppendAttendee(text, entry, book, fields); break;
    }
    return text;
}

std::string QuickViewText(const Meeting& meeting, std::span<const MeetingItemEntry> entries, std::int32_t row,
                          const AddressBook& book, const QuickViewFields& fields) {
    if (row < 0 || static_cast<std::size_t>(row) >= entries.size()) return QuickViewMeetingText(meeting);
    return QuickViewItemText(entries[static_cast<std::size_t>(row)], book, fields);
}

}  // namespace tavolex
