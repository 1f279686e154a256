#pragma once
// ReportFolder: the report generator. It is the template engine (it derives from TemplateScanner
// and decides what every token writes for one meeting) and the composer of the built-in reports;
// it makes a report's text in memory, writing only the sketch pictures the report names. The
// files around it (the template read, the report written and opened) are report_files/'s
// ReportWriter. One lives for the whole run.

#include "meeting_store/meeting_database.h"
#include "meeting_store/records.h"
#include "report/report_options.h"
#include "report/template_scanner.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

// True when the file's extension is ".rtf" in any letter case: such a template expands in RTF.
bool HasRtfExtension(const std::filesystem::path& path);
// How a template expands: RTF for a ".rtf" file, else HTML.
ExpansionMode TemplateExpansionMode(const std::filesystem::path& templatePath);

class AddressBook;
class MeetingDatabase;
struct Address;
struct Attendee;

enum class SectionState : int {
    kNone = 0,
    kMeetingLevel = 1,
    kNotes = 2,
    kToDos = 3,
    kSketches = 4,
    kAgendas = 5,
    kAttendees = 6,
};

class ReportFolder : public TemplateScanner {
public:
    using Clock = std::function<std::tm()>;

    ReportFolder(const MeetingDatabase& store, const AddressBook& book);
    ~ReportFolder() override;

    // The clock of REPORT_DATE and REPORT_TIME (local time by default).
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // A generator of its own for another thread: the same store, book, clock, mode, loaded
    // template and colours, and nothing shared with this one but what only is read.
    [[nodiscard]] std::unique_ptr<ReportFolder> NewWorker() const;

    // For reports written at once on several threads (an archive): until EndPictureBatch, each
    // sketch picture is written by the first report that names it and only named by the others,
    // so no two threads write one file. The workers made meanwhile share the batch.
    void BeginPictureBatch();
    void EndPictureBatch();

    // --- The loaded template and the built-in reports -----------------------------------------
    // The template the reports expand (ReportWriter::LoadTemplateFile reads it) and its own folder.
    void SetTemplate(std::string text, std::filesystem::path folder) {
        templateText_ = std::move(text);
        templateFolder_ = std::move(folder);
    }
    [[nodiscard]] std::string_view TemplateText() const { return templateText_; }
    // The loaded template's own folder: the tree its pictures are taken from.
    [[nodiscard]] const std::filesystem::path& TemplateFolder() const { return templateFolder_; }
    // The attendee block of the built-in reports: piece 226, the name pieces the flags ask for, 244.
    [[nodiscard]] std::string ComposeAttendeeBlock(const ReportOptions& options) const;

    // --- Expansion in memory -----------------------------------------------------------------
    // Expands a template for the meeting as the writers do (fresh stacks, output on, meeting level)
    // with the options given, and returns the text.
    std::string ExpandForMeeting(std::string_view templ, const Meeting& meeting, const ReportOptions& options);
    // The spans of the last report's text that tokens wrote (the rest is the template's own bytes).
    [[nodiscard]] const InsertedSpans& ReportTokenSpans() const { return reportSpans_; }
    // The sketch pictures the last report could not write, as full paths; empty when all were.
    [[nodiscard]] const std::vector<std::filesystem::path>& UnwrittenPictures() const { return unwrittenPictures_; }
    // The text of a built-in report kind for the meeting.
    std::string ComposeBuiltInReport(const Meeting& meeting, ReportKind kind, const ReportOptions& options);

    // The colours kept from report to report.
    [[nodiscard]] std::string_view Color1() const { return color1_; }
    [[nodiscard]] std::string_view Color2() const { return color2_; }
    void SetColors(std::string color1, std::string color2) {
        color1_ = std::move(color1);
        color2_ = std::move(color2);
    }

    TokenAction HandleToken() override;

private:
    enum class Kind { kNote, kToDo, kSketch, kAgenda, kAttendee };
    [[nodiscard]] static ChildType ChildTypeOf(Kind kind);
    [[nodiscard]] static Kind KindOf(ChildType type);
    struct Cursor {
        std::int32_t index = -1;   // into the meeting's items (items_); -1 none
        std::int32_t counter = 0;  // what COUNT prints
    };

    // Starts a report: the meeting and options copied, both stacks empty, output on, meeting level.
    void BeginReport(const Meeting& meeting, const ReportOptions& options);
    void EndReport();
    void ExpandAppend(std::string_view templ, std::string& out);

    void PushState(SectionState state);
    void PopState();
    [[nodiscard]] SectionState State() const;

    TokenAction HandleCommon(int id, bool& handled);
    TokenAction HandleMeetingLevel(int id);
    TokenAction HandleSection(int id, SectionState state);
    TokenAction SectionProlog(Kind kind);
    TokenAction SectionBegin(Kind kind);
    TokenAction SectionEnd(Kind kind);
    TokenAction HandheldOrderBegin();
    TokenAction HandheldOrderEnd();
    TokenAction Notes(int id);
    TokenAction ToDos(int id);
    TokenAction Sketches(int id);
    TokenAction Agendas(int id);
    TokenAction Attendees(int id);
    void WriteAttendeeOwnName(const Attendee& attendee, int id);
    void WriteAddressField(const Address& a, int id);

    void Restart(Kind kind);
    void Advance(Kind kind);
    void StartWalk();
    void AdvanceWalk();
    void ClearItemCursors();
    void LookUpAttendee(std::int32_t position);
    [[nodiscard]] bool HasItem(Kind kind) const;
    // The record position of the kind's current item; -1 when there is none.
    [[nodiscard]] std::int32_t RecordIndexOf(Kind kind) const;
    Cursor& CursorOf(Kind kind);

    void WriteCount(std::int32_t counter);
    void WriteStatus(bool first);
    void WriteSketchFile(const Sketch& sketch);
    // Whether this report writes the picture: always, but in a picture batch only the first time.
    bool TakePicture(const std::filesystem::path& path);
    void WriteReportTime(bool date);

    const MeetingDatabase& store_;
    const AddressBook& book_;
    Clock clock_;

    Meeting meeting_;
    // The meeting's items in handheld order, as the store's item walk hands them over: each
    // section's cursor and the handheld-order walk move over these.
    std::vector<MeetingItem> items_;
    ReportOptions options_;
    std::array<SectionState, kLoopStackDepth> states_{};
    int stateDepth_ = 0;
    bool handheldOrder_ = false;
    std::int32_t linkCursor_ = -1;  // the handheld-order walk's position in items_; -2 past the end
    std::int32_t passStartLink_ = -1;
    std::array<Cursor, 5> cursors_{};
    std::int32_t addressIndex_ = -1;
    bool hasAddress_ = false;
    std::string color1_;
    std::string color2_;
    std::string templateText_;
    std::filesystem::path templateFolder_;
    InsertedSpans reportSpans_;
    std::vector<std::filesystem::path> unwrittenPictures_;
    std::vector<char> scratch_;
    bool reportFull_ = false;  // the report text reached its capacity; later pieces add nothing
    // While a picture batch runs: the pictures some report of it has written, or is writing.
    struct PictureBatch {
        std::mutex mutex;
        std::set<std::filesystem::path> taken;
    };
    std::shared_ptr<PictureBatch> pictureBatch_;
};

}  // namespace tavolex
