#pragma once
// An attendee's own name text: first name, last name and company, separated by byte 0x01.

#include <string>
#include <string_view>

namespace tavolex {

struct AttendeeName {
    std::string firstName;
    std::string lastName;
    // Runs to the end of the text, a further 0x01 included (the exports keep it whole).
    std::string company;

    // The company as the desktop and the reports show it: nothing after a further 0x01 is read.
    [[nodiscard]] std::string_view ShownCompany() const {
        return std::string_view(company).substr(0, company.find('\x01'));
    }
};

[[nodiscard]] AttendeeName SplitAttendeeText(std::string_view text);

// The name an attendee is shown with from its own text: the non-empty parts in order, the first
// name and the last name joined by one space, the company joined by ", ". So "A", "", "C" gives
// "A, C", and a last name or company alone is shown alone.
[[nodiscard]] std::string AttendeeStoredName(std::string_view attendeeText);

}  // namespace tavolex
