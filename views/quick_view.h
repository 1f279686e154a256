#pragma once
// The quick view's text: a summary of the selected meeting or the details of one entry of the
// item list, built whole as code page 932 bytes with CR LF line breaks. The Win32 panel sets it
// into its edit control; the command-line program prints it.

#include "meeting_store/records.h"
#include "settings/report_switches.h"
#include "views/meeting_items.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tavolex {

class AddressBook;

// Which fields of an attendee's address-book record the quick view shows. Each is the user's
// setting of the same name (kQuickViewSettingNames) being 1; the defaults are those the settings
// get for a new user (all shown).
struct QuickViewFields {
    bool lastName = true;                                      // "rLastname"
    bool firstName = true;                                     // "rFirstname"
    bool title = true;                                         // "rTitle"
    bool company = true;                                       // "rCompany"
    std::array<bool, 5> phones{true, true, true, true, true};  // "rPhone1" ... "rPhone5"
    bool address = true;                                       // "rAddress"
    bool city = true;                                          // "rCity"
    bool state = true;                                         // "rState"
    bool zipCode = true;                                       // "rZipCode"
    bool country = true;                                       // "rCountry"
    std::array<bool, 4> customs{true, true, true, true};       // "rCustom1" ... "rCustom4"
    bool addrNote = true;                                      // "rAddrNote"
};

// The settings behind QuickViewFields: the attendee field switches.
inline constexpr const std::array<std::string_view, 19>& kQuickViewSettingNames = kAttendeeFieldSwitches;

// Fills the fields from the settings: isSet(name) tells whether the setting of that name is 1
// (a missing setting is not). Called once per name of kQuickViewSettingNames.
[[nodiscard]] QuickViewFields QuickViewFieldsFromSettings(const std::function<bool(std::string_view name)>& isSet);

// The panel's text before anything is shown, and with no meeting selected: "クイックビュー".
[[nodiscard]] std::string QuickViewInitialText();

// CR LF, one '_' per byte of text, then CR LF twice. An empty text gives the three line breaks.
[[nodiscard]] std::string QuickViewUnderline(std::string_view text);

// The whole text for a meeting: the heading, then the title, its underline, the date, the time
// and the location, each of the last three followed by a line break.
[[nodiscard]] std::string QuickViewMeetingText(const Meeting& meeting);

// The whole text for one entry of the item list: the heading, then the entry by its kind. An
// attendee's record is read from book at the entry's address index.
[[nodiscard]] std::string QuickViewItemText(const MeetingItemEntry& entry, const AddressBook& book,
                                            const QuickViewFields& fields);

// What the panel shows for a meeting and a row of its item list: the meeting for row -1 and for
// a row that names no entry, else that entry.
[[nodiscard]] std::string QuickViewText(const Meeting& meeting, std::span<const MeetingItemEntry> entries,
                                        std::int32_t row, const AddressBook& book, const QuickViewFields& fields);

}  // namespace tavolex
