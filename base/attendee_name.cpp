#include "base/attendee_name.h"

namespace tavolex {

AttendeeName SplitAttendeeText(std::string_view text) {
    AttendeeName name;
    std::string* parts[] = {&name.firstName, &name.lastName, &name.company};
    std::size_t part = 0;
    for (const char c : text) {
        if (c == '\x01' && part < 2) {
            ++part;
            continue;
        }
        parts[part]->push_back(c);
    }
    return name;
}

std::string AttendeeStoredName(std::string_view attendeeText) {
    const AttendeeName parts = SplitAttendeeText(attendeeText);
    std::string name = parts.firstName;
    if (!parts.lastName.empty()) {
        if (!name.empty()) name += ' ';
        name += parts.lastName;
    }
    const std::string_view company = parts.ShownCompany();
    if (!company.empty()) {
        if (!name.empty()) name += ", ";
        name += company;
    }
    return name;
}

}  // namespace tavolex
