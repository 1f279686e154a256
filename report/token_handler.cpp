// What each token of the template language writes for the meeting being reported: the section
// states, the item cursors over the per-meeting maps, the walk in handheld order, the attendee
// look-up in the address book, and the colours.

#include "report/report_folder.h"

#include "base/attendee_name.h"
#include "address_book/address_book.h"
#include "meeting_store/date_format.h"
#include "meeting_store/item_walk.h"
#include "meeting_store/meeting_database.h"
#include "meeting_store/sketch_files.h"
#include "platform/platform.h"
#include "report/token_table.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tavolex {
namespace {

constexpr int kWholeText = 10000;

}  // namespace

SectionState ReportFolder::State() const { return stateDepth_ > 0 ? states_[stateDepth_ - 1] : SectionState::kNone; }

void ReportFolder::PushState(SectionState state) {
    if (stateDepth_ < kLoopStackDepth) states_[stateDepth_++] = state;
}

void ReportFolder::PopState() {
    if (stateDepth_ > 0) --stateDepth_;
}

TokenAction ReportFolder::HandleToken() {
    const int id = LookupToken();
    bool handled = false;
    const TokenAction common = HandleCommon(id, handled);
    if (handled) return common;
    const SectionState state = State();
    if (state == SectionState::kMeetingLevel) return HandleMeetingLevel(id);
    return HandleSection(id, state);
}

TokenAction ReportFolder::HandleCommon(int id, bool& handled) {
    handled = true;
    switch (id) {
        case kTokReportDate: WriteReportTime(true); break;
        case kTokReportTime: WriteReportTime(false); break;
        case kTokSetColor1: color1_ = Parameter1(); break;
        case kTokSetColor2: color2_ = Parameter1(); break;
        case kTokColor1: WriteText(color1_); break;
        case kTokColor2: WriteText(color2_); break;
        case kTokSwapColors: color1_.swap(color2_); break;
        case kTokAuthor:
            WriteText(" ");
            WriteText(options_.author);
            break;
        default: handled = false;
    }
    return TokenAction::Consumed;
}

void ReportFolder::WriteReportTime(bool date) {
    const std::tm now = clock_();
    if (date) {
        WriteText(platform::FormatShortDate(now.tm_year + 1900, now.tm_mon + 1, now.tm_mday));
        return;
    }
    std::string text = platform::FormatTimeOfDay(now.tm_hour, now.tm_min, now.tm_sec);
    StripSeconds(text);
    WriteText(text);
}

TokenAction ReportFolder::HandleMeetingLevel(int id) {
    static constexpr std::string_view kRangeSeparator = " - ";
    const std::string_view time = meeting_.szTime;
    switch (id) {
        case kTokTitle:
            WriteText(" ");
            WriteText(meeting_.szTitle);
            return TokenAction::Consumed;
        case kTokDate:
            WriteText(" ");
            WriteText(meeting_.szDate);
            return TokenAction::Consumed;
        case kTokTime:
            WriteText(" ");
            WriteText(meeting_.szTime);
            return TokenAction::Consumed;
        case kTokStartTime: WriteText(time.substr(0, time.find(kRangeSeparator))); return TokenAction::Consumed;
        case kTokEndTime:
            if (const std::size_t cut = time.find(kRangeSeparator); cut != std::string_view::npos) {
                WriteText(time.substr(cut + kRangeSeparator.size()));
            }
            return TokenAction::Consumed;
        case kTokLocation: WriteText(meeting_.szLocation); return TokenAction::Consumed;
        case kTokHandheldOrderBegin: return HandheldOrderBegin();
        case kTokHandheldOrderEnd: return HandheldOrderEnd();
        case kTokNotesProlog: return SectionProlog(Kind::kNote);
        case kTokTodosProlog: return SectionProlog(Kind::kToDo);
        case kTokSketchesProlog: return SectionProlog(Kind::kSketch);
        case kTokAgendasProlog: return SectionProlog(Kind::kAgenda);
        case kTokAttendeesProlog: return SectionProlog(Kind::kAttendee);
        case kTokNotesBegin: return SectionBegin(Kind::kNote);
        case kTokTodosBegin: return SectionBegin(Kind::kToDo);
        case kTokSketchesBegin: return SectionBegin(Kind::kSketch);
        case kTokAgendasBegin: return SectionBegin(Kind::kAgenda);
        case kTokAttendeesBegin: return SectionBegin(Kind::kAttendee);
        case kTokNotesEpilog:
        case kTokTodosEpilog:
        case kTokSketchesEpilog:
        case kTokAgendasEpilog:
        case kTokAttendeesEpilog: return TokenAction::OutputOn;
        default: return TokenAction::NotRecognised;
    }
}

TokenAction ReportFolder::HandleSection(int id, SectionState state) {
    switch (state) {
        case SectionState::kNotes: return Notes(id);
        case SectionState::kToDos: return ToDos(id);
        case SectionState::kSketches: return Sketches(id);
        case SectionState::kAgendas: return Agendas(id);
        case SectionState::kAttendees: return Attendees(id);
        default: return TokenAction::NotRecognised;
    }
}

// --- Sections -------------------------------------------------------------------------------

TokenAction ReportFolder::SectionProlog(Kind kind) {
    Restart(kind);
    if (kind == Kind::kAttendee) {
        return CursorOf(kind).index >= 0 || addressIndex_ >= 0 ? TokenAction::Consumed : TokenAction::OutputOff;
    }
    return HasItem(kind) ? TokenAction::Consumed : TokenAction::OutputOff;
}

TokenAction ReportFolder::SectionBegin(Kind kind) {
    static constexpr SectionState kStates[] = {SectionState::kNotes, SectionState::kToDos, SectionState::kSketches,
                                               SectionState::kAgendas, SectionState::kAttendees};
    Restart(kind);
    PushState(kStates[static_cast<int>(kind)]);
    return TokenAction::LoopStart;
}

TokenAction ReportFolder::SectionEnd(Kind kind) {
    Advance(kind);
    if (HasItem(kind)) return TokenAction::LoopRepeat;
    PopState();
    return TokenAction::LoopExit;
}

TokenAction ReportFolder::HandheldOrderBegin() {
    handheldOrder_ = true;
    StartWalk();
    passStartLink_ = linkCursor_;
    return TokenAction::LoopStart;
}

TokenAction ReportFolder::HandheldOrderEnd() {
    // A pass that did not move the walk met no section of the current link's kind: that link is
    // passed over, so a block without every kind still ends.
    if (linkCursor_ >= 0 && linkCursor_ == passStartLink_) AdvanceWalk();
    if (linkCursor_ >= 0) {
        passStartLink_ = linkCursor_;
        return TokenAction::LoopRepeat;
    }
    handheldOrder_ = false;
    return TokenAction::LoopExit;
}

TokenAction ReportFolder::Notes(int id) {
    const Cursor& c = CursorOf(Kind::kNote);
    if (id == kTokNotesEnd) return SectionEnd(Kind::kNote);
    if (id != kTokCount && id != kTokNote && id != kTokNoteFirstLine && id != kTokNoteBody) {
        return TokenAction::NotRecognised;
    }
    if (c.index < 0) return TokenAction::Consumed;
    const Note* note = store_.NoteAt(RecordIndexOf(Kind::kNote));
    if (note == nullptr) return TokenAction::Consumed;
    if (id == kTokCount) WriteCount(c.counter);
    if (id == kTokNote) WriteLines(note->szText, 1, kWholeText);
    if (id == kTokNoteFirstLine) WriteLines(note->szText, 1, 1);
    if (id == kTokNoteBody) WriteLines(note->szText, 2, kWholeText);
    return TokenAction::Consumed;
}

TokenAction ReportFolder::ToDos(int id) {
    const Cursor& c = CursorOf(Kind::kToDo);
    switch (id) {
        case kTokTodosEnd: return SectionEnd(Kind::kToDo);
        case kTokCount:
        case kTokStatus:
        case kTokDueDate:
        case kTokDueTime:
        case kTokPriority:
        case kTokTodo:
        case kTokTodoFirstLine:
        case kTokTodoBody: break;
        default: return TokenAction::NotRecognised;
    }
    if (c.index < 0) return TokenAction::Consumed;
    const ToDo* toDo = store_.ToDoAt(RecordIndexOf(Kind::kToDo));
    if (toDo == nullptr) return TokenAction::Consumed;
    switch (id) {
        case kTokCount: WriteCount(c.counter); break;
        case kTokStatus: WriteStatus(toDo->bCompleted == 1); break;
        case kTokDueDate:
            WriteText(" ");
            WriteText(toDo->szDueDate);
            break;
        case kTokDueTime: WriteText(toDo->szDueTime); break;
        case kTokPriority: WriteCount(toDo->nPriority); break;
        case kTokTodo: WriteLines(toDo->szText, 1, kWholeText); break;
        case kTokTodoFirstLine: WriteLines(toDo->szText, 1, 1); break;
        default: WriteLines(toDo->szText, 2, kWholeText);
    }
    return TokenAction::Consumed;
}

TokenAction ReportFolder::Sketches(int id) {
    const Cursor& c = CursorOf(Kind::kSketch);
    if (id == kTokSketchesEnd) return SectionEnd(Kind::kSketch);
    if (id != kTokCount && id != kTokSketchTitle && id != kTokSketchFilename) return TokenAction::NotRecognised;
    if (c.index < 0) return TokenAction::Consumed;
    const Sketch* sketch = store_.SketchAt(RecordIndexOf(Kind::kSketch));
    if (sketch == nullptr) return TokenAction::Consumed;
    if (id == kTokCount) WriteCount(c.counter);
    if (id == kTokSketchTitle) WriteText(sketch->szTitle);
    if (id == kTokSketchFilename) WriteSketchFile(*sketch);
    return TokenAction::Consumed;
}

TokenAction ReportFolder::Agendas(int id) {
    const Cursor& c = CursorOf(Kind::kAgenda);
    if (id == kTokAgendasEnd) return SectionEnd(Kind::kAgenda);
    if (id != kTokCount && id != kTokStatus && id != kTokAgenda && id != kTokAgendaFirstLine && id != kTokAgendaBody) {
        return TokenAction::NotRecognised;
    }
    if (c.index < 0) return TokenAction::Consumed;
    const Agenda* agenda = store_.AgendaAt(RecordIndexOf(Kind::kAgenda));
    if (agenda == nullptr) return TokenAction::Consumed;
    if (id == kTokCount) WriteCount(c.counter);
    if (id == kTokStatus) WriteStatus(agenda->nStatus == 1);
    if (id == kTokAgenda) WriteLines(agenda->szText, 1, kWholeText);
    if (id == kTokAgendaFirstLine) WriteLines(agenda->szText, 1, 1);
    if (id == kTokAgendaBody) WriteLines(agenda->szText, 2, kWholeText);
    return TokenAction::Consumed;
}

TokenAction ReportFolder::Attendees(int id) {
    const Cursor& c = CursorOf(Kind::kAttendee);
    if (id == kTokAttendeesEnd) return SectionEnd(Kind::kAttendee);
    const bool known = id == kTokCount || id == kTokNextItem || id == kTokStatus ||
                       (id >= kTokFirstName && id <= kTokCustom4) || id == kTokNote || id == kTokNoteFirstLine ||
                       id == kTokNoteBody;
    if (!known) return TokenAction::NotRecognised;
    if (c.index < 0) return TokenAction::Consumed;
    const Attendee* attendee = store_.AttendeeAt(RecordIndexOf(Kind::kAttendee));
    if (attendee == nullptr) return TokenAction::Consumed;
    if (id == kTokCount) {
        WriteCount(c.counter);
        return TokenAction::Consumed;
    }
    if (id == kTokStatus) {
        WriteStatus(attendee->bAbsent == 0);
        return TokenAction::Consumed;
    }
    if (addressIndex_ == -2) {
        WriteAttendeeOwnName(*attendee, id);
        return TokenAction::Consumed;
    }
    if (!hasAddress_ || addressIndex_ < 0 || addressIndex_ >= book_.Count()) return TokenAction::Consumed;
    WriteAddressField(book_.At(addressIndex_), id);
    return TokenAction::Consumed;
}

// No address-book entry: the attendee's own name parts.
void ReportFolder::WriteAttendeeOwnName(const Attendee& attendee, int id) {
    const AttendeeName name = SplitAttendeeText(attendee.szText);
    if (id == kTokFirstName) {
        WriteText(" ");
        WriteText(name.firstName);
    }
    if (id == kTokLastName) WriteText(name.lastName);
    if (id == kTokCompany) WriteText(name.ShownCompany());
}

// The attendee's address-book field the token names.
void ReportFolder::WriteAddressField(const Address& a, int id) {
    switch (id) {
        case kTokFirstName:
            WriteText(" ");
            WriteText(a.FirstName());
            break;
        case kTokLastName: WriteText(a.LastName()); break;
        case kTokSalutation: WriteText(a.Title()); break;
        case kTokCompany: WriteText(a.Company()); break;
        case kTokPhone1Label:
        case kTokPhone2Label:
        case kTokPhone3Label:
        case kTokPhone4Label:
        case kTokPhone5Label: WriteText(a.PhoneLabel((id - kTokPhone1Label) / 2 + 1)); break;
        case kTokPhone1:
        case kTokPhone2:
        case kTokPhone3:
        case kTokPhone4:
        case kTokPhone5: WriteText(a.Phone((id - kTokPhone1) / 2 + 1)); break;
        case kTokAddress: WriteText(a.Street()); break;
        case kTokCity: WriteText(a.City()); break;
        case kTokState: WriteText(a.State()); break;
        case kTokZipCode: WriteText(a.Zip()); break;
        case kTokCountry: WriteText(a.Country()); break;
        case kTokNote: WriteLines(a.Note(), 1, kWholeText); break;
        case kTokNoteFirstLine: WriteLines(a.Note(), 1, 1); break;
        case kTokNoteBody: WriteLines(a.Note(), 2, kWholeText); break;
        case kTokCustom1:
        case kTokCustom2:
        case kTokCustom3:
        case kTokCustom4: WriteText(a.Custom(id - kTokCustom1 + 1)); break;
        default: break;  // NEXT_ITEM writes nothing
    }
}

void ReportFolder::WriteCount(std::int32_t counter) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, counter).ptr;
    WriteText(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void ReportFolder::WriteStatus(bool first) { WriteText(first ? Parameter1() : Parameter2()); }

void ReportFolder::WriteSketchFile(const Sketch& sketch) {
    const std::string name = SketchFileName(sketch);
    const std::filesystem::path path = options_.outputFolder / name;
    if (TakePicture(path) && !WriteSketchJpeg(sketch.image, path) &&
        std::find(unwrittenPictures_.begin(), unwrittenPictures_.end(), path) == unwrittenPictures_.end()) {
        unwrittenPictures_.push_back(path);
    }
    WriteText(name);
}

// --- Cursors --------------------------------------------------------------------------------

ChildType ReportFolder::ChildTypeOf(Kind kind) {
    switch (kind) {
        case Kind::kNote: return ChildType::kNote;
        case Kind::kToDo: return ChildType::kToDo;
        case Kind::kSketch: return ChildType::kSketch;
        case Kind::kAgenda: return ChildType::kAgenda;
        case Kind::kAttendee: break;
    }
    return ChildType::kAttendee;
}

ReportFolder::Kind ReportFolder::KindOf(ChildType type) {
    switch (type) {
        case ChildType::kNote: return Kind::kNote;
        case ChildType::kToDo: return Kind::kToDo;
        case ChildType::kSketch: return Kind::kSketch;
        case ChildType::kAgenda: return Kind::kAgenda;
        case ChildType::kAttendee: break;
    }
    return Kind::kAttendee;
}

ReportFolder::Cursor& ReportFolder::CursorOf(Kind kind) { return cursors_[static_cast<std::size_t>(kind)]; }

std::int32_t ReportFolder::RecordIndexOf(Kind kind) const {
    const std::int32_t index = cursors_[static_cast<std::size_t>(kind)].index;
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return -1;
    return items_[static_cast<std::size_t>(index)].recordIndex;
}

bool ReportFolder::HasItem(Kind kind) const { return cursors_[static_cast<std::size_t>(kind)].index >= 0; }

void ReportFolder::Restart(Kind kind) {
    if (handheldOrder_) return;
    Cursor& c = CursorOf(kind);
    c.index = -1;
    c.counter = 0;
    if (kind == Kind::kAttendee) addressIndex_ = -1;
    Advance(kind);
}

void ReportFolder::Advance(Kind kind) {
    Cursor& c = CursorOf(kind);
    if (handheldOrder_) {
        if (c.index >= 0) {
            AdvanceWalk();
            return;
        }
        c.index = -1;
        if (kind == Kind::kAttendee) {
            addressIndex_ = -1;
            hasAddress_ = false;
        }
        return;
    }
    if (kind == Kind::kAttendee && addressIndex_ == -2) addressIndex_ = -1;
    ++c.counter;
    // The meeting's next item of the kind after the cursor.
    std::int32_t found = -1;
    const ChildType type = ChildTypeOf(kind);
    const auto count = static_cast<std::int32_t>(items_.size());
    for (std::int32_t i = c.index + 1; i < count; ++i) {
        if (items_[static_cast<std::size_t>(i)].type == type) {
            found = i;
            break;
        }
    }
    c.index = found;
    if (kind != Kind::kAttendee) return;
    if (found >= 0) {
        LookUpAttendee(found);
    } else {
        addressIndex_ = -1;
        hasAddress_ = false;
    }
}

void ReportFolder::BeginPictureBatch() { pictureBatch_ = std::make_shared<PictureBatch>(); }

void ReportFolder::EndPictureBatch() { pictureBatch_.reset(); }

bool ReportFolder::TakePicture(const std::filesystem::path& path) {
    if (!pictureBatch_) return true;
    const std::lock_guard lock(pictureBatch_->mutex);
    return pictureBatch_->taken.insert(path).second;
}

void ReportFolder::LookUpAttendee(std::int32_t position) {
    hasAddress_ = false;
    addressIndex_ = -2;
    if (position < 0 || static_cast<std::size_t>(position) >= items_.size()) return;
    const Attendee* attendee = store_.AttendeeAt(items_[static_cast<std::size_t>(position)].recordIndex);
    if (attendee == nullptr) return;
    const auto addresses = book_.Addresses();
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (static_cast<std::uint32_t>(addresses[i]->dwRecordID) == attendee->dwAddressID) {
            hasAddress_ = true;
            addressIndex_ = static_cast<std::int32_t>(i);
            return;
        }
    }
}

void ReportFolder::ClearItemCursors() {
    for (Cursor& c : cursors_) c.index = -1;
    addressIndex_ = -1;
    hasAddress_ = false;
}

void ReportFolder::StartWalk() {
    linkCursor_ = -1;
    ClearItemCursors();
    for (Cursor& c : cursors_) c.counter = 0;
    AdvanceWalk();
}

void ReportFolder::AdvanceWalk() {
    ClearItemCursors();
    const std::int32_t next = linkCursor_ + 1;
    if (next < 0 || static_cast<std::size_t>(next) >= items_.size()) {
        linkCursor_ = -2;
        return;
    }
    linkCursor_ = next;
    const Kind kind = KindOf(items_[static_cast<std::size_t>(next)].type);
    Cursor& c = CursorOf(kind);
    c.index = next;
    ++c.counter;
    if (kind == Kind::kAttendee) LookUpAttendee(next);
}

}  // namespace tavolex
