#include "fuzz/store_walk.h"

#include "meeting_store/meeting_database.h"

#include <cstdlib>

namespace tavolex::fuzz {

namespace {

volatile std::size_t sink;

void Touch(const std::string& text) { sink = sink + text.size() + (text.empty() ? 0 : static_cast<unsigned char>(text.back())); }

template <class Record>
void Require(const Record* record) {
    if (record == nullptr) std::abort();
}

}  // namespace

void WalkStore(const MeetingDatabase& store) {
    for (const auto& meeting : store.Meetings()) {
        Touch(meeting->szDate);
        Touch(meeting->szTime);
        Touch(meeting->szTitle);
        Touch(meeting->szCategory);
        Touch(meeting->szLocation);
        for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID)) {
            switch (item.type) {
                case ChildType::kAgenda: Require(store.AgendaOf(item)); Touch(store.AgendaOf(item)->szText); break;
                case ChildType::kNote: Require(store.NoteOf(item)); Touch(store.NoteOf(item)->szText); break;
                case ChildType::kToDo: Require(store.ToDoOf(item)); Touch(store.ToDoOf(item)->szDueDate); break;
                case ChildType::kSketch: Require(store.SketchOf(item)); Touch(store.SketchOf(item)->szTitle); break;
                case ChildType::kAttendee: Require(store.AttendeeOf(item)); Touch(store.AttendeeOf(item)->szText); break;
            }
        }
        for (ChildType type : {ChildType::kNote, ChildType::kSketch, ChildType::kToDo, ChildType::kAttendee,
                               ChildType::kAgenda}) {
            for (const MeetingItem& item : store.ItemsOf(meeting->dwDBID, type)) {
                if (item.type != type) std::abort();
            }
        }
    }
    for (const auto& toDo : store.ToDos()) Touch(toDo->szText);
    for (const auto& sketch : store.Sketches()) {
        if (sketch->image.HasPixels() && static_cast<std::int64_t>(sketch->image.Width()) * sketch->image.Height() <= 320 * 480) {
            sink = sink + sketch->image.Rgb().size();
        }
    }
}

}  // namespace tavolex::fuzz
