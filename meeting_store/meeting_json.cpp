#include "meeting_store/meeting_json.h"

namespace tavolex {

void WriteMeetingFields(const MeetingJsonFields& fields, JsonMembers& out) {
    out.Number("number", fields.number);
    out.Number("id", fields.id);
    out.Optional("date", fields.date);
    out.Optional("start", fields.start);
    out.Optional("end", fields.end);
    out.String("title", fields.title);
    out.String("location", fields.location);
    out.String("category", fields.category);
    out.String("dateText", fields.dateText);
    out.Optional("timeText", fields.timeText);
}

}  // namespace tavolex
