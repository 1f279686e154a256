#include "report/report_folder.h"

#include "platform/file_system.h"
#include "report_files/report_writer.h"
#include "report_files/template_images.h"
#include "resources/builtin_pieces.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/loaded_user.h"
#include "tests/support/recording_user_interaction.h"

#include <gtest/gtest.h>

namespace tavolex {
namespace {

using namespace test;

// One Palm user with a rich meeting (every kind of item), a meeting without items, a meeting whose
// items alternate agenda, note, agenda, and two meetings that share an id; an address book that
// knows one attendee.
class ReportGeneratorTest : public ::testing::Test {
protected:
    static test::PalmUserSpec User() {
        test::PalmUserSpec user;
        user.categories = {"Unfiled"};
        test::MeetingSpec rich{
            .title = "Review", .location = "Room 5", .date = test::HandheldDay(2004, 5, 17), .start = {10, 0}, .end = {11, 30}, .id = 0x10};
        rich.items = {AgendaSpec{.text = "A", .status = 1, .id = 0x20}, AgendaSpec{.text = "B\nmore", .status = 0, .id = 0x21},
                      NoteSpec{.text = "a\nb\tc", .id = 0x30}, ToDoSpec{.text = "Call", .priority = 3, .completed = 1, .id = 0x40},
                      ToDoSpec{.text = "Write\nx\ny", .priority = 1, .id = 0x41},
                      // 8 x 2, one bit per pixel, uncompressed, rowBytes 2.
                      SketchSpec{.title = "Plan", .bitmap = {0, 8, 0, 2, 0, 2, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0, 0x0F, 0}, .id = 0x50},
                      AttendeeSpec{.nameParts = {"Taro", "Yamada", "Acme"}, .addressId = 0x70, .id = 0x60},
                      AttendeeSpec{.nameParts = {"Hanako", "Sato", "Beta"}, .addressId = 0x99, .absent = true, .id = 0x61}};
        test::MeetingSpec empty{.title = "Nothing", .date = test::HandheldDay(2004, 5, 18), .id = 0x11};
        test::MeetingSpec ordered{.title = "Order", .date = test::HandheldDay(2004, 5, 19), .id = 0x12};
        ordered.items = {AgendaSpec{.text = "first", .id = 0x22}, NoteSpec{.text = "between", .id = 0x31},
                         AgendaSpec{.text = "second", .id = 0x23}};
        // Two meetings of a damaged store that share an id.
        test::MeetingSpec first{.title = "One", .date = test::HandheldDay(2004, 5, 20), .id = 0x13};
        first.items = {AgendaSpec{.text = "x", .id = 0x24}, NoteSpec{.text = "n", .id = 0x32}};
        test::MeetingSpec second{.title = "Two", .date = test::HandheldDay(2004, 5, 21), .id = 0x13};
        second.items = {NoteSpec{.text = "y", .id = 0x33}, AgendaSpec{.text = "z", .id = 0x25}};
        // An attendee the address book doesn't know, as the meeting's first item.
        test::MeetingSpec guest{.title = "Guest", .date = test::HandheldDay(2004, 5, 22), .id = 0x14};
        guest.items = {AttendeeSpec{.nameParts = {"Jiro", "Kato"}, .addressId = 0x98, .id = 0x62}};
        user.meetings = {rich, empty, ordered, first, second, guest};
        return user;
    }

    void SetUp() override {
        options_.outputFolder = dir_ / "out";
        options_.templateFolder = dir_ / "templates";
        options_.author = "Suzuki";
        std::filesystem::create_directories(options_.outputFolder);
        std::filesystem::create_directories(options_.templateFolder);
        writer_.SetOptionsSource([this] { return options_; });
        writer_.SetViewer([this](const std::filesystem::path& p) { opened_.push_back(p); });
        report_.SetClock(test::FixedReportTime);
    }

    const Meeting& M(int i) const { return user_.M(i); }
    std::string Expand(std::string_view templ, int meeting = 0) { return report_.ExpandForMeeting(templ, M(meeting), options_); }

    test::LoadedUser user_{User(),
                           {{.recordId = 0x70,
                             .lastName = "Yamada",
                             .firstName = "Taro",
                             .title = "Boss",
                             .company = "Acme Corp",
                             .phones = {{{0, "03-1234"}, {1, {}}, {2, {}}, {3, {}}, {4, {}}}},
                             .city = "Tokyo"}}};
    const test::TempDir& dir_ = user_.dir;
    test::RecordingUserInteraction ui_;
    ReportOptions options_;
    ReportFolder report_{user_.store, user_.book};
    ReportWriter writer_{report_, ui_};
    std::vector<std::filesystem::path> opened_;
};

// Agendas and notes in handheld order, a run of one kind in one pass.
constexpr char kHandheldOrder[] =
    "{HANDHELD_ORDER_BEGIN}"
    "{AGENDAS_PROLOG}<A>{AGENDAS_BEGIN}{COUNT}{AGENDA}{AGENDAS_END}</A>{AGENDAS_EPILOG}"
    "{NOTES_PROLOG}<N>{NOTES_BEGIN}{COUNT}{NOTE}{NOTES_END}</N>{NOTES_EPILOG}"
    "{HANDHELD_ORDER_END}";

// What each template gives for one of the meetings (0 rich, 1 without items, 2 ordered), in order:
// colours set by one report persist into the next.
TEST_F(ReportGeneratorTest, TemplatesExpandForAMeeting) {
    const std::string time = M(0).szTime;
    const std::string start = time.substr(0, time.find(" - "));
    const std::string end = time.substr(time.find(" - ") + 3);
    const std::string list = "{AGENDAS_PROLOG}<ul>{AGENDAS_BEGIN}<li>{AGENDA_FIRST_LINE}{AGENDAS_END}</ul>{AGENDAS_EPILOG}";
    const std::string label(user_.book.At(0).PhoneLabel(1));
    const struct {
        std::string templ;
        int meeting;
        std::string expected;
    } cases[] = {
        {"{ TITLE }|{LOCATION}|{START_TIME}|{END_TIME}", 0, " Review|Room 5|" + start + "|" + end},
        {"{DATE}{TIME}{ AUTHOR }", 0, " " + M(0).szDate + " " + time + " Suzuki"},
        {"[{START_TIME}][{END_TIME}]", 1, "[][]"},
        // A section's tokens outside it are written back.
        {"{ COUNT }x{NOTE}", 0, "{ COUNT }x{NOTE}"},
        {list, 0, "<ul><li> A<li> B</ul>"},
        {list, 1, ""},
        {"x{NOTES_PROLOG}<ol>{NOTES_BEGIN}<li>{NOTE}{NOTES_END}</ol>{NOTES_EPILOG}y", 1, "xy"},
        // Without PROLOG and EPILOG an empty section's body is written once, its tokens empty.
        {"{NOTES_BEGIN}[{COUNT}:{NOTE}]{NOTES_END}", 1, "[:]"},
        {"{AGENDAS_BEGIN}{COUNT}{STATUS(d,o)}{AGENDA_BODY}|{AGENDAS_END}", 0, "1d|2o<br>more|"},
        {"{TODOS_BEGIN}{COUNT}{STATUS(O,X)}{PRIORITY}{TODO}|{TODOS_END}", 0, "1O3 Call|2X1 Write<br>x<br>y|"},
        {"{TODOS_BEGIN}{TODO_BODY}|{TODOS_END}", 0, "|<br>x<br>y|"},
        {"{NOTES_BEGIN}{NOTE_FIRST_LINE}/{NOTE_BODY}{NOTES_END}", 0, " a/<br>b&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;c"},
        {"{ATTENDEES_BEGIN}[{STATUS(,absent)}]{ATTENDEES_END}", 0, "[][absent]"},
        {"{ATTENDEES_PROLOG}<ul>{ATTENDEES_BEGIN}<li>{FIRST_NAME}{ATTENDEES_END}</ul>{ATTENDEES_EPILOG}", 5, "<ul><li> Jiro</ul>"},
        // The first attendee from the address book, the second from its own name.
        {"{ATTENDEES_BEGIN}{COUNT}:{FIRST_NAME}/{LAST_NAME}/{SALUTATION}/{COMPANY}/{PHONE1_LABEL}={PHONE1}/{CITY}|"
         "{ATTENDEES_END}",
         0, "1: Taro/Yamada/Boss/Acme Corp/" + label + "=03-1234/Tokyo|2: Hanako/Sato//Beta/=/|"},
        {kHandheldOrder, 2, "<A>1 first</A><N>1 between</N><A>2 second</A>"},
        {kHandheldOrder, 1, ""},
        // One pass for the agendas, then one for each link this block has no section for: the note,
        // two to-dos, the sketch and two attendees.
        {"{HANDHELD_ORDER_BEGIN}{AGENDAS_BEGIN}{AGENDA_FIRST_LINE}{AGENDAS_END}.{HANDHELD_ORDER_END}", 0, " A B......."},
        {"{ SET_COLOR1(white) }{ SET_COLOR2(#F5F5F5) }{TODOS_BEGIN}{COLOR1},{SWAP_COLORS}{TODOS_END}", 0, "white,#F5F5F5,"},
        {"{COLOUR1}", 0, "white"},
        // A SET_COLOR1 inside an empty section still takes effect.
        {"{NOTES_PROLOG}{SET_COLOR1( red )}{NOTES_EPILOG}[{COLOR1}]", 1, "[red ]"},
        {"{SKETCHES_BEGIN}<img src=\"{SKETCH_FILENAME}\">{COUNT}. {SKETCH_TITLE}{SKETCHES_END}", 0, "<img src=\"80.jpg\">1. Plan"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templ);
        EXPECT_EQ(Expand(c.templ, c.meeting), c.expected);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(options_.outputFolder / "80.jpg"));
    const std::string stamp = Expand("{REPORT_DATE}|{REPORT_TIME}");  // the clock's, without seconds
    EXPECT_NE(stamp.find("2026"), std::string::npos);
    EXPECT_NE(stamp.find("9:05"), std::string::npos);
    EXPECT_EQ(stamp.find("9:05:"), std::string::npos);
}

// The executive report shows every part and handles every token; the agenda report has no bullet
// list; a custom report without parts keeps the title and the heading's report date. Both end with
// the page's closing piece, which has no tokens.
TEST_F(ReportGeneratorTest, BuiltInReportsComposeTheirPieces) {
    const std::string executive = report_.ComposeBuiltInReport(M(0), ReportKind::kExecutive, options_);
    for (const char* part : {"<li type=\"disc\">", "80.jpg", " Suzuki ", ">Room 5<"}) {
        EXPECT_NE(executive.find(part), std::string::npos) << part;
    }
    for (const char* token : {"{ TITLE", "_BEGIN", "_END", "STATUS(", "COLOR", "{ COUNT", "NAME }"}) {
        EXPECT_EQ(executive.find(token), std::string::npos) << token << " is handled";
    }
    EXPECT_EQ(report_.ComposeBuiltInReport(M(1), ReportKind::kExecutive, options_).find("<li"), std::string::npos);
    EXPECT_EQ(report_.ComposeBuiltInReport(M(0), ReportKind::kAgenda, options_).find("disc"), std::string::npos);
    ReportOptions bare = options_;
    bare.withAuthor = bare.withAttendees = bare.withAgendas = bare.withToDos = bare.withNotes = bare.withSketches = false;
    const std::string custom = report_.ComposeBuiltInReport(M(0), ReportKind::kCustom, bare);
    EXPECT_EQ(custom.find("Suzuki"), std::string::npos);
    EXPECT_EQ(custom.find("80.jpg"), std::string::npos);
    EXPECT_NE(custom.find("Review"), std::string::npos);
    EXPECT_NE(custom.find("<br>( "), std::string::npos) << "the heading's ( is followed by the report date";
    const auto pageEnd = BuiltInPiece(kPiecePageEnd);
    const std::string closing(reinterpret_cast<const char*>(pageEnd.data()), pageEnd.size());
    EXPECT_TRUE(executive.ends_with(closing));
    EXPECT_TRUE(custom.ends_with(closing));
    // The attendee block follows the name flags.
    bare.withLastName = bare.withTitle = false;
    const std::string block = report_.ComposeAttendeeBlock(bare);
    EXPECT_NE(block.find("{ FIRST_NAME }&nbsp;"), std::string::npos);
    EXPECT_EQ(block.find("{ LAST_NAME }"), std::string::npos);
    EXPECT_EQ(block.find("{ SALUTATION }"), std::string::npos);
    EXPECT_NE(block.find("{ COMPANY }"), std::string::npos);
}

// A report replaces the old one whole, with CRLF line ends, and is opened; a missing or empty
// template and a failed write show their messages and open nothing.
TEST_F(ReportGeneratorTest, ReportsAreWrittenWithCrLfAndOpened) {
    EXPECT_FALSE(writer_.LoadTemplateFile(options_.templateFolder / "missing.htm"));
    test::WriteFileBytes(options_.templateFolder / "empty.htm", "");
    EXPECT_FALSE(writer_.LoadTemplateFile(options_.templateFolder / "empty.htm"));
    EXPECT_FALSE(writer_.WriteBuiltInReport(dir_ / "no-such-folder" / "r.htm", M(0), ReportKind::kAgenda));
    ASSERT_EQ(ui_.messages.size(), 3u);
    EXPECT_EQ(ui_.messages[0].text, "Unable to open this template.  Please check your settings in <File><Preferences>.");
    EXPECT_EQ(ui_.messages[0].caption, "Tavolex");
    EXPECT_EQ(ui_.messages[1].text, "This template is currently empty and cannot be used.");
    EXPECT_EQ(ui_.messages[2].text, "Writing report failed.\nThe file may be locked by another application.");
    EXPECT_EQ(ui_.messages[2].caption, "Tavolex Report");
    EXPECT_TRUE(opened_.empty());

    test::WriteFileBytes(options_.templateFolder / "t.htm", "<p>{ TITLE }</p>\n<p>x</p>\r\n");
    ASSERT_TRUE(writer_.LoadTemplateFile(options_.templateFolder / "t.htm"));
    const auto path = options_.outputFolder / "Review.htm";
    test::WriteFileBytes(path, "old");
    ASSERT_TRUE(writer_.WriteTemplateReport(path, M(0)));
    EXPECT_EQ(test::ReadFileBytes(path), "<p> Review</p>\r\n<p>x</p>\r\n");
    EXPECT_EQ(opened_, std::vector<std::filesystem::path>{path});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(options_.outputFolder), {}), 1) << "no temporary file is left";
    ASSERT_TRUE(writer_.WriteBuiltInReport(path, M(0), ReportKind::kAgenda));
    EXPECT_EQ(test::ReadFileBytes(path).find("\r\r\n"), std::string::npos);
    EXPECT_FALSE(writer_.WriteTemplateReport(dir_ / "no-such-folder" / "r.htm", M(0)));
    EXPECT_EQ(ui_.messages.size(), 4u);

    // A default report folder no installation made (a user found in a chosen folder) is made by
    // the first report written into it.
    options_.outputFolder = dir_ / "made" / "reports";
    options_.makeOutputFolder = true;
    ASSERT_TRUE(writer_.WriteTemplateReport(options_.outputFolder / "Review.htm", M(0)));
    EXPECT_EQ(test::ReadFileBytes(options_.outputFolder / "Review.htm"), "<p> Review</p>\r\n<p>x</p>\r\n");
}

#ifdef _WIN32
constexpr bool kDrivesNameFiles = true;
#else
constexpr bool kDrivesNameFiles = false;
#endif

// Where each reference of a template takes its picture from, and what the report then says: the
// template folder's tree (a leading separator is its top), a drive's file on a system with drives,
// and nothing at all for a reference that climbs out of the tree or that a token wrote.
TEST_F(ReportGeneratorTest, TemplatePictureReferencesResolve) {
    struct Row {
        std::string attribute;  // the reference as the expanded text holds it
        std::string written;    // as the report holds it
        std::string copied{};   // the picture beside the report, "" for none
        std::string bytes{};    // its bytes
        std::string byToken{};  // the part a token wrote
    };
    const std::string drivePath = platform::PathToCp932(dir_ / "pics" / "d.jpg");
    std::vector<Row> rows = {
        {"src=\"/images/logo.gif\"", "src=\"logo.gif\"", "logo.gif", "L"},
        {"background=\"\\bg.gif\"", "background=\"\\bg.gif\"", "bg.gif", "B"},
        {"background=\"/bg.gif\"", "background=\"/bg.gif\"", "bg.gif", "B"},
        {"src=\"images/a.gif\"", "src=\"a.gif\"", "a.gif", "A"},
        {"src=\"images\\a.gif\"", "src=\"a.gif\"", "a.gif", "A"},
        {"src=\"top.gif\"", "src=\"top.gif\"", "top.gif", "T"},
        {"src=\"my%20logo.gif\"", "src=\"my%20logo.gif\"", "my logo.gif", "S"},
        {"src=\"images/../images/a.gif\"", "src=\"a.gif\"", "a.gif", "A"},
        {"src=\"../x.gif\"", "src=\"../x.gif\""},
        {"src=\"/../x.gif\"", "src=\"/../x.gif\""},
        {"src=\"images/../../x.gif\"", "src=\"images/../../x.gif\""},
        {"src=\"\\\\server\\x.gif\"", "src=\"\\\\server\\x.gif\""},
        {"src=\"//x.gif\"", "src=\"//x.gif\""},
        {"src=\"images/..\"", "src=\"images/..\""},
        {"background=\"C:\\pics\\bg.jpg\"", kDrivesNameFiles ? "background=\"bg.jpg\"" : "background=\"C:\\pics\\bg.jpg\""},
        {"src=\"C:bg.jpg\"", "src=\"C:bg.jpg\""},
        {"src=\"\"", "src=\"\""},
        {"SRC=\"/bg.gif\"", "SRC=\"/bg.gif\""},
        {"src=\"images/a.gif\"", "src=\"images/a.gif\"", "", "", "images/a.gif"},
        {"src=\"/images/logo.gif\"", "src=\"/images/logo.gif\"", "", "", "/images/logo.gif\""},
    };
    if (kDrivesNameFiles) rows.push_back({"src=\"" + drivePath + "\"", "src=\"d.jpg\"", "d.jpg", "D"});
    const std::pair<std::string, std::string> pictures[] = {
        {"images/logo.gif", "L"}, {"bg.gif", "B"}, {"images/a.gif", "A"}, {"top.gif", "T"}, {"my logo.gif", "S"}};
    for (const auto& [name, bytes] : pictures) test::WriteFileBytes(options_.templateFolder / name, bytes);
    test::WriteFileBytes(dir_ / "x.gif", "X");
    test::WriteFileBytes(dir_ / "pics" / "d.jpg", "D");
    for (const Row& row : rows) {
        std::filesystem::remove_all(options_.outputFolder);
        std::filesystem::create_directories(options_.outputFolder);
        const std::string text = "<img " + row.attribute + ">";
        InsertedSpans spans;
        if (!row.byToken.empty()) spans.emplace_back(text.find(row.byToken), text.find(row.byToken) + row.byToken.size());
        EXPECT_EQ(CollectTemplateImages(text, spans, options_.templateFolder, options_.outputFolder), "<img " + row.written + ">")
            << row.attribute;
        std::vector<std::string> beside;
        for (const auto& entry : std::filesystem::directory_iterator(options_.outputFolder)) {
            beside.push_back(platform::PathToCp932(entry.path().filename()) + "=" + test::ReadFileBytes(entry.path()));
        }
        EXPECT_EQ(beside, row.copied.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.copied + "=" + row.bytes})
            << row.attribute;
    }
    // The references past the most a template may have are written as they stand.
    std::string many, handled;
    for (std::size_t i = 0; i <= kMaxTemplateImages; ++i) many += "<img src=\"images/a.gif\">";
    for (std::size_t i = 0; i < kMaxTemplateImages; ++i) handled += "<img src=\"a.gif\">";
    EXPECT_EQ(CollectTemplateImages(many, {}, options_.templateFolder, options_.outputFolder), handled + "<img src=\"images/a.gif\">");
}

// A template takes its pictures from its own folder, wherever the template folder setting points.
// What a token wrote is never a picture reference: a title holding <img src="..."> copies nothing
// and is written as it is, while the template's own reference beside it is still handled.
TEST_F(ReportGeneratorTest, TemplatePicturesComeFromTheTemplateNeverFromTokens) {
    const std::filesystem::path elsewhere = dir_ / "elsewhere";
    test::WriteFileBytes(elsewhere / "logo.gif", "L");
    test::WriteFileBytes(elsewhere / "img" / "pic.gif", "P");
    Meeting meeting = M(0);
    for (const char* title : {"<img src=\"img/pic.gif\">", "img/pic.gif"}) {
        meeting.szTitle = title;
        test::WriteFileBytes(elsewhere / "t.htm", "<img src=\"logo.gif\">{TITLE}<img src=\"{TITLE}\"><img src=\"img/{TITLE}\">");
        ASSERT_TRUE(writer_.LoadTemplateFile(elsewhere / "t.htm"));
        const auto path = options_.outputFolder / "r.htm";
        ASSERT_TRUE(writer_.WriteTemplateReport(path, meeting));
        EXPECT_EQ(test::ReadFileBytes(path),
                  "<img src=\"logo.gif\"> " + std::string(title) + "<img src=\" " + title + "\"><img src=\"img/ " + title + "\">");
        EXPECT_FALSE(std::filesystem::exists(options_.outputFolder / "pic.gif")) << title;
        EXPECT_EQ(test::ReadFileBytes(options_.outputFolder / "logo.gif"), "L");
    }
    // What an earlier report's tokens wrote marks nothing of the next report.
    for (const char* templ : {"{TITLE}{TITLE}{TITLE}", "<img src=\"img/pic.gif\">"}) {
        test::WriteFileBytes(elsewhere / "t.htm", templ);
        ASSERT_TRUE(writer_.LoadTemplateFile(elsewhere / "t.htm"));
        ASSERT_TRUE(writer_.WriteTemplateReport(options_.outputFolder / "r.htm", meeting));
    }
    EXPECT_EQ(test::ReadFileBytes(options_.outputFolder / "r.htm"), "<img src=\"pic.gif\">");
}

// A full report ends at the first character that does not fit: no byte after it is written.
TEST_F(ReportGeneratorTest, FullReportEndsAtTheFirstCharacterThatDoesNotFit) {
    Meeting meeting = M(0);
    meeting.szTitle = "\x89\xef";  // 会: the blank before it fits, the character does not
    const std::string text = report_.ExpandForMeeting(std::string(819197, 'a') + "{TITLE}XYZ", meeting, options_);
    EXPECT_EQ(text.size(), 819198u);
    EXPECT_EQ(text.substr(819195), "aa ");
}

// Two meetings of a damaged store that share an id share their link records: each report walks
// the items of both, every section in the order of its kind and the handheld-order block in
// handheld order (a run of one kind in one pass), the counts of each kind running on.
TEST_F(ReportGeneratorTest, MeetingsSharingAnIdShowEachOthersItems) {
    const std::string order =
        std::string(kHandheldOrder) + "|{AGENDAS_BEGIN}{COUNT}{AGENDA}{AGENDAS_END}|{NOTES_BEGIN}{COUNT}{NOTE}{NOTES_END}";
    // Each meeting has both link records: x n, then y z, twice.
    const std::string expected = "<A>1 x</A><N>1 n2 y</N><A>2 z3 x</A><N>3 n4 y</N><A>4 z</A>|1 x2 z3 x4 z|1 n2 y3 n4 y";
    EXPECT_EQ(Expand(order, 3), expected);
    EXPECT_EQ(Expand(order, 4), expected);
}

// The file name starts after the last separator that is a character of its own.
TEST(TemplateImagesTest, LastSeparatorWalksDoubleByteCharacters) {
    EXPECT_EQ(AfterLastSeparator("a\\b/c"), 4u);
    EXPECT_EQ(AfterLastSeparator("\x95\x5c.gif"), 0u);  // 表.gif: the 0x5C is a trail byte
    EXPECT_EQ(AfterLastSeparator("dir\\\x95\x5c.gif"), 4u);
    // A lead byte before '/' is a character of its own: 0x2F can't end a double-byte character.
    EXPECT_EQ(AfterLastSeparator("\xE5/x.gif"), 2u);
    EXPECT_EQ(AfterLastSeparator("a\xE5/"), 3u);
}

}  // namespace
}  // namespace tavolex
