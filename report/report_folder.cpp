// The generator's reports: a meeting expanded through a template or composed from the built-in
// pieces, in memory.

#include "report/report_folder.h"

#include "base/ascii.h"
#include "meeting_store/item_walk.h"
#include "base/shift_jis.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "resources/builtin_pieces.h"

#include <chrono>
#include <new>

namespace tavolex {
namespace {

std::tm LocalNow() { return platform::LocalTime(std::time(nullptr)); }

std::string_view PieceText(int id) {
    const std::span<const std::uint8_t> bytes = BuiltInPiece(id);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

bool HasRtfExtension(const std::filesystem::path& path) {
    return EqualsIgnoringAsciiCase(platform::PathToCp932(path.filename().extension()), ".rtf");
}

ExpansionMode TemplateExpansionMode(const std::filesystem::path& templatePath) {
    return HasRtfExtension(templatePath) ? ExpansionMode::Rtf : ExpansionMode::Html;
}

ReportFolder::ReportFolder(const MeetingDatabase& store, const AddressBook& book)
    : store_(store), book_(book), clock_(LocalNow), scratch_(kReportCapacity) {}

ReportFolder::~ReportFolder() = default;

std::unique_ptr<ReportFolder> ReportFolder::NewWorker() const {
    auto worker = std::make_unique<ReportFolder>(store_, book_);
    worker->clock_ = clock_;
    worker->SetMode(Mode());
    worker->templateText_ = templateText_;
    worker->templateFolder_ = templateFolder_;
    worker->color1_ = color1_;
    worker->color2_ = color2_;
    worker->pictureBatch_ = pictureBatch_;
    return worker;
}

void ReportFolder::BeginReport(const Meeting& meeting, const ReportOptions& options) {
    meeting_ = meeting;
    items_.clear();
    ForEachItem(store_, meeting_.dwDBID, [this](const auto&, const MeetingItem& item) { items_.push_back(item); });
    options_ = options;
    reportFull_ = false;
    reportSpans_.clear();
    unwrittenPictures_.clear();
    stateDepth_ = 0;
    ResetLoops();
    SetOutputOn(true);
    handheldOrder_ = false;
    linkCursor_ = -1;
    passStartLink_ = -1;
    for (Cursor& c : cursors_) c = Cursor{};
    addressIndex_ = -1;
    hasAddress_ = false;
    PushState(SectionState::kMeetingLevel);
}

void ReportFolder::EndReport() { PopState(); }

void ReportFolder::ExpandAppend(std::string_view templ, std::string& out) {
    const std::size_t n = ExpandTemplate(templ, scratch_.data(), scratch_.size());
    // Once the report is full nothing after it is written, not even a piece that would fit.
    if (reportFull_) return;
    const std::size_t room = kReportCapacity - 1 - std::min(out.size(), kReportCapacity - 1);
    const std::string_view piece(scratch_.data(), n);
    const std::size_t keep = Cp932FitLength(piece, room);
    for (const auto& [begin, end] : TokenSpans()) {
        if (begin >= keep) break;
        reportSpans_.emplace_back(out.size() + begin, out.size() + std::min(end, keep));
    }
    out.append(piece.substr(0, keep));
    reportFull_ = OutputFull() || keep < n || keep == room;
}

std::string ReportFolder::ExpandForMeeting(std::string_view templ, const Meeting& meeting,
                                           const ReportOptions& options) {
    BeginReport(meeting, options);
    std::string out;
    ExpandAppend(templ, out);
    EndReport();
    return out;
}

std::string ReportFolder::ComposeAttendeeBlock(const ReportOptions& options) const {
    std::string block(PieceText(kPieceAttendeesStart));
    if (options.withFirstName) block += PieceText(kPieceFirstName);
    if (options.withLastName) block += PieceText(kPieceLastName);
    block += PieceText(kPieceNameLineEnd);
    if (options.withTitle) block += PieceText(kPieceTitleLine);
    if (options.withCompany) block += PieceText(kPieceCompanyLine);
    block += PieceText(kPieceAttendeesEnd);
    platform::DebugChannel& debug = platform::SystemDebugChannel();
    if (debug.Listening()) debug.Write(block.c_str());
    return block;
}

std::string ReportFolder::ComposeBuiltInReport(const Meeting& meeting, ReportKind kind, const ReportOptions& options) {
    BeginReport(meeting, options);
    SetMode(ExpansionMode::Html);
    std::string out;
    const auto piece = [&](int id) { ExpandAppend(PieceText(id), out); };
    const auto attendees = [&] { ExpandAppend(ComposeAttendeeBlock(options), out); };
    switch (kind) {
        case ReportKind::kExecutive:
            piece(kPieceReportHead);
            piece(kPieceAuthor);
            piece(kPieceMeetingTable);
            attendees();
            piece(kPieceAgendas);
            piece(kPieceToDos);
            piece(kPieceNotes);
            piece(kPieceSketches);
            piece(kPiecePageEnd);
            break;
        case ReportKind::kAgenda:
            piece(kPieceAgendaReportHead);
            piece(kPieceAuthor);
            piece(kPieceAgendaReportBody);
            break;
        case ReportKind::kCustom:
            piece(kPieceReportHead);
            if (options.withAuthor) piece(kPieceAuthor);
            piece(kPieceMeetingTable);
            if (options.withAttendees) attendees();
            if (options.withAgendas) piece(kPieceAgendas);
            if (options.withToDos) piece(kPieceToDos);
            if (options.withNotes) piece(kPieceNotes);
            if (options.withSketches) piece(kPieceSketches);
            piece(kPiecePageEnd);
            break;
    }
    EndReport();
    return out;
}

}  // namespace tavolex
