// The report writers: a meeting becomes a report file from a template file or from the built-in
// pieces, and the finished report is opened.

#include "report/report_folder.h"

#include "base/ascii.h"
#include "meeting_store/item_walk.h"
#include "base/shift_jis.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report/report_file.h"
#include "report/template_images.h"
#include "resources/builtin_pieces.h"

#include <chrono>
#include <new>
#include <system_error>

namespace tavolex {
namespace {

constexpr std::string_view kCaption = "Tavolex";

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

ReportFolder::ReportFolder(const MeetingDatabase& store, const AddressBook& book, platform::UserInteraction& ui)
    : store_(store),
      book_(book),
      ui_(ui),
      optionsSource_([] { return ReportOptions{}; }),
      clock_(LocalNow),
      scratch_(kReportCapacity) {}

ReportFolder::~ReportFolder() = default;

std::unique_ptr<ReportFolder> ReportFolder::NewWorker() const {
    auto worker = std::make_unique<ReportFolder>(store_, book_, ui_);
    worker->optionsSource_ = optionsSource_;
    worker->viewer_ = viewer_;
    worker->clock_ = clock_;
    worker->SetMode(Mode());
    worker->templateText_ = templateText_;
    worker->templateFolder_ = templateFolder_;
    worker->color1_ = color1_;
    worker->color2_ = color2_;
    worker->pictureBatch_ = pictureBatch_;
    return worker;
}

bool ReportFolder::LoadTemplateFile(const std::filesystem::path& path) {
    platform::UniqueFile file = platform::OpenFile(path, "rb");
    if (!file) {
        ui_.ShowMessage("Unable to open this template.  Please check your settings in <File><Preferences>.", kCaption,
                        platform::MessageIcon::kInformation);
        return false;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        ui_.ShowMessage("GetFileSize failed!", "", platform::MessageIcon::kNone);
        return false;
    }
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        ui_.ShowMessage("GlobalAlloc failed!", "", platform::MessageIcon::kNone);
        return false;
    }
    const std::size_t read = text.empty() ? 0 : std::fread(text.data(), 1, text.size(), file.get());
    if (read == 0) {
        ui_.ShowMessage("This template is currently empty and cannot be used.", kCaption,
                        platform::MessageIcon::kInformation);
        return false;
    }
    text.resize(read);
    templateText_ = std::move(text);
    // A template named by a bare relative name lies in the working folder.
    templateFolder_ = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    return true;
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

namespace {

void MakeOutputFolder(const ReportOptions& options) {
    if (!options.makeOutputFolder) return;
    std::error_code ec;  // a folder that can't be made fails the write that follows
    std::filesystem::create_directories(options.outputFolder, ec);
}

}  // namespace

bool ReportFolder::WriteTemplateReport(const std::filesystem::path& reportPath, const Meeting& meeting) {
    const ReportOptions options = optionsSource_();
    MakeOutputFolder(options);
    ReportFile file;
    if (!file.Begin(reportPath)) {
        ui_.ShowMessage("Writing report failed.\nThe file may be locked by another application.", "Tavolex Report",
                        platform::MessageIcon::kInformation);
        return false;
    }
    const std::string expanded = ExpandForMeeting(templateText_, meeting, options);
    const std::string text = CollectTemplateImages(expanded, reportSpans_, templateFolder_, options.outputFolder);
    if (!file.Commit(text)) {
        ui_.ShowMessage("Writing report failed.\nThe file may be locked by another application.", "Tavolex Report",
                        platform::MessageIcon::kInformation);
        return false;
    }
    ShowUnwrittenPictures();
    if (viewer_) viewer_(reportPath);
    return true;
}

bool ReportFolder::WriteBuiltInReport(const std::filesystem::path& reportPath, const Meeting& meeting,
                                      ReportKind kind) {
    const ReportOptions options = optionsSource_();
    MakeOutputFolder(options);  // before the report's pictures are written into it
    const std::string text = ComposeBuiltInReport(meeting, kind, options);
    ReportFile file;
    if (!file.Begin(reportPath) || !file.Commit(text)) {
        ui_.ShowMessage("Writing report failed.\nThe file may be locked by another application.", "Tavolex Report",
                        platform::MessageIcon::kInformation);
        return false;
    }
    ShowUnwrittenPictures();
    if (viewer_) viewer_(reportPath);
    return true;
}

void ReportFolder::ShowUnwrittenPictures() {
    for (const std::filesystem::path& picture : unwrittenPictures_) {
        ui_.ShowMessage("The sketch picture " + platform::PathToCp932(picture) + " could not be written.",
                        "Tavolex Report", platform::MessageIcon::kInformation);
    }
}

}  // namespace tavolex
