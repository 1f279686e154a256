// Writes the sample Palm Desktop folder shipped with Tavolex: two Palm users with their handheld
// databases and Palm Desktop address books, in Japanese. The README's first command runs the
// program on it, and a test checks that the committed files are what this program writes.
//
//   make_samples DIR          write the sample folder into DIR
//   make_samples --check DIR  compare DIR with what would be written; exit 1 when they differ

#include "platform/platform.h"
#include "tests/support/address_book_writer.h"
#include "tests/support/palm_bitmap_writer.h"
#include "tests/support/palm_database_writer.h"
#include "tests/support/temp_dir.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tavolex::samples {
namespace {

namespace fs = std::filesystem;
using namespace tavolex::test;

std::string J(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// A 160 x 160 drawing in `depth` bits a pixel: a frame, a few boxes joined by lines and a circle,
// the shades taken from the depth's palette.
std::vector<std::uint8_t> Drawing(int variant, int depth, PalmCompression compression) {
    constexpr int kSize = 160;
    const int darkest = depth == 8 ? 215 : (1 << depth) - 1;  // black in every palette
    auto shade = [&](int level) -> std::uint16_t {            // level 0 (white) ... 3 (black)
        if (depth == 1) return level >= 2 ? 1 : 0;
        if (depth == 8) {
            static constexpr std::uint16_t kColours[] = {0, 95, 30, 215};  // white, light blue, orange, black
            return kColours[level];
        }
        return static_cast<std::uint16_t>(level * darkest / 3);
    };
    std::vector<std::uint16_t> pixels(kSize * kSize, shade(0));
    auto set = [&](int x, int y, int level) {
        if (x >= 0 && y >= 0 && x < kSize && y < kSize) pixels[static_cast<std::size_t>(y * kSize + x)] = shade(level);
    };
    auto box = [&](int x0, int y0, int x1, int y1, int fill) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) set(x, y, (x == x0 || x == x1 || y == y0 || y == y1) ? 3 : fill);
        }
    };
    auto line = [&](int x0, int y0, int x1, int y1) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i)
            set(x0 + (x1 - x0) * i / std::max(steps, 1), y0 + (y1 - y0) * i / std::max(steps, 1), 3);
    };
    box(0, 0, kSize - 1, kSize - 1, 0);
    const int shift = variant * 7 % 30;
    box(12, 14 + shift, 62, 44 + shift, 1);
    box(96, 20, 146, 56, 2);
    box(40, 100, 120, 140, 1);
    line(62, 30 + shift, 96, 38);
    line(37, 44 + shift, 60, 100);
    line(121, 56, 100, 100);
    for (int a = 0; a < 360; ++a) {
        const double r = 14 + variant % 3 * 4;
        set(130 + static_cast<int>(r * std::cos(a * 3.14159265 / 180)),
            120 + static_cast<int>(r * std::sin(a * 3.14159265 / 180)), 3);
    }
    PalmBitmapSpec bitmap{
        .width = kSize, .height = kSize, .depth = depth, .pixels = pixels, .compression = compression};
    return WritePalmBitmap(bitmap);
}

struct SamplePerson {
    std::uint32_t id;
    const char* last;
    const char* first;
    const char* title;
    const char* company;
    const char* phone;
    const char* mobile;
    const char* address;
    const char* city;
    const char* state;
    const char* zip;
    const char* note;
};

AddressBookPerson Person(const SamplePerson& p) {
    AddressBookPerson person;
    person.recordId = static_cast<std::int32_t>(p.id);
    person.lastName = J(p.last);
    person.firstName = J(p.first);
    person.title = J(p.title);
    person.company = J(p.company);
    person.phones[0] = {0, J(p.phone)};
    person.phones[1] = {7, J(p.mobile)};
    person.phones[2] = {4, p.id % 2 ? J("info@example.jp") : std::string()};
    person.address = J(p.address);
    person.city = J(p.city);
    person.state = J(p.state);
    person.zip = J(p.zip);
    person.country = J("日本");
    person.note = J(p.note);
    person.custom[0] = p.id % 3 == 0 ? J("重要顧客") : std::string();
    return person;
}

AttendeeSpec Attendee(const char* first, const char* last, const char* company, std::uint32_t addressId,
                      bool absent = false) {
    return AttendeeSpec{.nameParts = {J(first), J(last), J(company)}, .addressId = addressId, .absent = absent};
}

AgendaSpec Agenda(const char* text, bool discussed) {
    return AgendaSpec{.text = J(text), .status = discussed ? std::uint8_t{1} : std::uint8_t{0}};
}
NoteSpec Note(const char* text) { return NoteSpec{.text = J(text)}; }
ToDoSpec ToDo(const char* text, int priority, std::uint16_t due, HandheldTime at, bool done) {
    return ToDoSpec{.text = J(text),
                    .priority = static_cast<std::uint8_t>(priority),
                    .dueDate = due,
                    .due = at,
                    .completed = done ? std::uint8_t{1} : std::uint8_t{0}};
}
SketchSpec Sketch(const char* title, int variant, int depth, PalmCompression compression) {
    return SketchSpec{.title = J(title), .bitmap = Drawing(variant, depth, compression)};
}

MeetingSpec Meeting(const char* title, const char* location, std::uint16_t date, HandheldTime start, HandheldTime end,
                    std::uint32_t category, std::vector<ItemSpec> items) {
    return MeetingSpec{.title = J(title),
                       .location = J(location),
                       .date = date,
                       .start = start,
                       .end = end,
                       .category = category,
                       .items = std::move(items)};
}

// The people of Tanaka's address book; attendees name them by record id. Ishikawa (0x2107) and
// the guests are not in it.
const std::vector<SamplePerson> kTanakaPeople = {
    {0x2101, "山田", "一郎", "部長", "山田商事株式会社", "03-3211-1001", "090-1111-2201", "丸の内1-1-1", "千代田区",
     "東京都", "100-0005", "月末は多忙。\n連絡はメールで。"},
    {0x2102, "佐藤", "花子", "主任", "株式会社ブレンマーク", "03-5555-0102", "080-2222-3302", "西新宿2-8-1", "新宿区",
     "東京都", "163-8001", "議事録担当"},
    {0x2103, "鈴木", "健太", "課長", "株式会社ブレンマーク", "03-5555-0103", "090-3333-4403", "西新宿2-8-1", "新宿区",
     "東京都", "163-8001", ""},
    {0x2104, "高橋", "美咲", "デザイナー", "アトリエ高橋", "06-6311-0104", "070-4444-5504", "梅田3-1-3", "大阪市北区",
     "大阪府", "530-0001", "デザイン案は PDF で受領"},
    {0x2105, "伊藤", "翔", "エンジニア", "株式会社ブレンマーク", "03-5555-0105", "080-5555-6605", "西新宿2-8-1",
     "新宿区", "東京都", "163-8001", ""},
    {0x2106, "渡辺", "直子", "経理", "株式会社ブレンマーク", "03-5555-0106", "", "西新宿2-8-1", "新宿区", "東京都",
     "163-8001", "予算資料の窓口"},
};

PalmUserSpec Tanaka() {
    PalmUserSpec user;
    user.categories = {J("未ファイル"), J("ビジネス"), J("個人"), J("プロジェクト")};
    const HandheldTime none{};
    user.meetings = {
        Meeting("週次定例会議", "第1会議室", HandheldDay(2026, 11, 2), {9, 0}, {10, 30}, 1,
                {Agenda("先週の進捗確認", true), Attendee("一郎", "山田", "山田商事株式会社", 0x2101),
                 Agenda("今週の作業分担\n・設計: 鈴木\n・試験: 伊藤", true),
                 Note("次回は 11 月 9 日(月) 9:00 から。\n資料は前日までに共有フォルダへ。"),
                 ToDo("議事録を配布する", 1, HandheldDay(2026, 11, 3), {17, 0}, true),
                 Attendee("花子", "佐藤", "ブレンマーク", 0x2102), Attendee("健太", "鈴木", "ブレンマーク", 0x2103),
                 Sketch("体制図", 0, 1, PalmCompression::kNone), Agenda("課題の棚卸し", false),
                 ToDo("課題一覧を更新する", 2, HandheldDay(2026, 11, 6), none, false),
                 Attendee("健一", "石川", "ブレンマーク", 0x2107, true)}),
        Meeting("新製品企画会議", "本社 5F 大会議室", HandheldDay(2026, 11, 4), {13, 30}, {15, 0}, 3,
                {Agenda("市場調査の報告", true), Agenda("コンセプト案の検討", true), Agenda("価格帯の決定", false),
                 Sketch("画面イメージ", 1, 2, PalmCompression::kRunLength),
                 Sketch("筐体スケッチ", 2, 4, PalmCompression::kScanLine),
                 Note("ターゲットは 30 代の営業職。\n・片手で操作できること\n・電池は 2 週間以上\n\t(競合は 10 日)"),
                 ToDo("競合製品の価格表を作成", 3, HandheldDay(2026, 11, 11), {12, 0}, false),
                 ToDo("デザイン案を依頼", 2, HandheldDay(2026, 11, 8), none, true),
                 Attendee("美咲", "高橋", "アトリエ高橋", 0x2104), Attendee("翔", "伊藤", "ブレンマーク", 0x2105),
                 Attendee("花子", "佐藤", "ブレンマーク", 0x2102, true)}),
        Meeting("予算レビュー", "第2会議室", HandheldDay(2026, 11, 10), {10, 0}, {11, 0}, 1,
                {Attendee("直子", "渡辺", "ブレンマーク", 0x2106), Agenda("上期実績の確認", true),
                 Agenda("下期予算の修正", false), ToDo("修正予算を提出", 1, HandheldDay(2026, 11, 20), {18, 0}, false),
                 Note("交通費の精算方法を変更する。")}),
        Meeting("顧客訪問 (山田商事)", "山田商事 本社", HandheldDay(2026, 11, 12), {15, 0}, {16, 30}, 1,
                {Attendee("一郎", "山田", "山田商事株式会社", 0x2101), Attendee("翔", "伊藤", "ブレンマーク", 0x2105),
                 Agenda("導入スケジュールの説明", true), Agenda("保守契約の条件", true),
                 Note("先方の要望:\n1. 年内に試験導入\n2. 保守窓口を一本化\n3. 操作研修を 2 回"),
                 ToDo("見積書を送付", 1, HandheldDay(2026, 11, 13), {10, 0}, true),
                 Sketch("会議室の配置", 3, 8, PalmCompression::kNone)}),
        Meeting("設計レビュー", "第1会議室", HandheldDay(2026, 11, 16), {14, 0}, {16, 0}, 3,
                {Agenda("画面遷移の確認", true), Agenda("データ形式の確認", true), Agenda("性能目標", false),
                 Sketch("画面遷移図", 4, 1, PalmCompression::kScanLine),
                 Sketch("データの流れ", 5, 8, PalmCompression::kRunLength),
                 ToDo("指摘事項を反映", 2, HandheldDay(2026, 11, 20), none, false),
                 ToDo("性能試験の計画", 3, HandheldDay(2026, 11, 27), none, false),
                 Attendee("健太", "鈴木", "ブレンマーク", 0x2103), Attendee("翔", "伊藤", "ブレンマーク", 0x2105)}),
        Meeting("採用面接", "応接室", HandheldDay(2026, 11, 18), {11, 0}, {12, 0}, 1,
                {Attendee("直子", "渡辺", "ブレンマーク", 0x2106), Note("候補者: 経験 5 年。\n次回は役員面接。"),
                 ToDo("結果を連絡", 2, HandheldDay(2026, 11, 19), none, false)}),
        Meeting("四半期報告", "本社 5F 大会議室", HandheldDay(2026, 11, 25), {9, 30}, {11, 30}, 1,
                {Agenda("売上の報告", true), Agenda("利益の報告", true), Agenda("次四半期の目標", true),
                 Attendee("一郎", "山田", "山田商事株式会社", 0x2101, true),
                 Attendee("直子", "渡辺", "ブレンマーク", 0x2106), Note("目標は前年比 110%。")}),
        Meeting("営業戦略会議", "第2会議室", HandheldDay(2026, 11, 27), {16, 0}, {17, 30}, 1,
                {Agenda("重点顧客の選定", true), Agenda("展示会への出展", false),
                 ToDo("出展申込書を提出", 1, HandheldDay(2026, 12, 1), {17, 0}, false),
                 Attendee("花子", "佐藤", "ブレンマーク", 0x2102), Attendee("大輔", "中村", "中村デザイン", 0x3001)}),
        Meeting("システム移行打合せ", "オンライン", HandheldDay(2026, 12, 1), {10, 0}, {10, 45}, 3,
                {Agenda("移行手順の確認", true), Note("切替は 12 月 12 日(土) 夜。\n旧システムは 1 か月並行稼働。"),
                 ToDo("手順書の作成", 1, HandheldDay(2026, 12, 4), none, false),
                 Sketch("切替の流れ", 6, 2, PalmCompression::kNone), Attendee("翔", "伊藤", "ブレンマーク", 0x2105)}),
        Meeting("安全衛生委員会", "第1会議室", HandheldDay(2026, 12, 3), {13, 0}, {13, 30}, 1,
                {Agenda("健康診断の日程", true), Note("インフルエンザ予防接種の補助あり。")}),
        Meeting("社内勉強会", "第3会議室", HandheldDay(2026, 12, 8), none, none, 2,
                {Agenda("テーマ: テンプレートの作り方", false), Note("持ち物: ノート PC")}),
        Meeting("忘年会準備", "本社 3F", HandheldDay(2026, 12, 10), {18, 0}, {18, 30}, 2, {}),
    };
    return user;
}

const std::vector<SamplePerson> kSuzukiPeople = {
    {0x4101, "田中", "太郎", "部長", "株式会社ブレンマーク", "03-5555-0001", "090-9999-0001", "西新宿2-8-1", "新宿区",
     "東京都", "163-8001", ""},
    {0x4102, "小林", "恵", "", "小林法律事務所", "045-201-4102", "", "中区本町4-1", "横浜市", "神奈川県", "231-0005",
     "契約書の確認を依頼中"},
};

PalmUserSpec Suzuki() {
    PalmUserSpec user;
    user.categories = {J("未ファイル"), J("ビジネス")};
    const HandheldTime none{};
    user.meetings = {
        Meeting("契約内容の確認", "小林法律事務所", HandheldDay(2026, 11, 5), {14, 0}, {15, 0}, 1,
                {Attendee("恵", "小林", "小林法律事務所", 0x4102), Agenda("第 5 条の修正", true),
                 Agenda("署名の手続き", false), ToDo("修正版を送付", 1, HandheldDay(2026, 11, 9), none, false)}),
        Meeting("部内ミーティング", "第2会議室", HandheldDay(2026, 11, 19), {9, 0}, {9, 30}, 1,
                {Attendee("太郎", "田中", "ブレンマーク", 0x4101), Note("年末の休暇予定を共有。")}),
        Meeting("打ち上げ", "駅前の店", HandheldDay(2026, 12, 11), {19, 0}, {21, 0}, 0, {}),
    };
    return user;
}

std::vector<AddressBookPerson> People(const std::vector<SamplePerson>& people) {
    std::vector<AddressBookPerson> out;
    for (const SamplePerson& p : people) out.push_back(Person(p));
    return out;
}

void WriteSamples(const fs::path& palmFolder) {
    WritePalmUserFolder(palmFolder / "TanakaT" / "Tavolex", Tanaka());
    WriteAddressBook(palmFolder / "TanakaT" / "address" / "address.dat", People(kTanakaPeople));
    WritePalmUserFolder(palmFolder / "SuzukiH" / "Tavolex", Suzuki());
    WriteAddressBook(palmFolder / "SuzukiH" / "address" / "address.dat", People(kSuzukiPeople));
}

std::map<fs::path, std::string> Contents(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         ++it) {
        if (it->is_regular_file()) files[fs::relative(it->path(), folder)] = ReadFileBytes(it->path());
    }
    return files;
}

}  // namespace
}  // namespace tavolex::samples

int main(int argc, char** argv) {
    using namespace tavolex;
    const bool check = argc == 3 && std::strcmp(argv[1], "--check") == 0;
    if (argc != 2 && !check) {
        std::fprintf(stderr, "usage: make_samples [--check] DIR\n");
        return 2;
    }
    const std::filesystem::path target = argv[argc - 1];
    if (!check) {
        samples::WriteSamples(target);
        return 0;
    }
    test::TempDir fresh;
    samples::WriteSamples(fresh.Path());
    if (samples::Contents(fresh.Path()) != samples::Contents(target)) {
        std::fprintf(stderr, "%s is out of date: run make_samples %s\n", target.string().c_str(),
                     target.string().c_str());
        return 1;
    }
    return 0;
}
