#include "export/file_stems.h"

#include "export/export_text.h"
#include "meeting_query/text_match.h"
#include "platform/platform.h"
#include "report_files/report_name.h"

namespace tavolex {
namespace {

class SilentInteraction final : public platform::UserInteraction {
public:
    void ShowMessage(std::string_view, std::string_view, platform::MessageIcon) override {}
    bool AskYesNo(std::string_view, std::string_view) override { return false; }
};

constexpr std::string_view kLinkCharacters = "#^[]";

}  // namespace

std::string_view CutUtf8(std::string_view utf8, std::size_t bytes) {
    if (utf8.size() <= bytes) return utf8;
    while (bytes > 0 && (static_cast<unsigned char>(utf8[bytes]) & 0xC0) == 0x80) --bytes;
    return utf8.substr(0, bytes);
}

std::string CleanStem(std::string cp932, ExportText& names) {
    static SilentInteraction silent;
    CleanReportName(cp932, silent);
    if (!cp932.empty() && cp932[0] == '.') cp932.insert(0, "_");
    // In UTF-8 an ASCII byte is a character of its own (in Shift-JIS "[", "]" and "^" can be the
    // second byte of one).
    std::string utf8 = names.Utf8(cp932);
    for (char& c : utf8) {
        if (kLinkCharacters.find(c) != std::string_view::npos) c = ' ';
    }
    return std::string(CutUtf8(utf8, kMaxStemBytes));
}

NameSet::NameSet(const std::vector<std::string>& reserved) {
    for (const std::string& r : reserved) given_.insert(FoldedText(platform::Utf8ToCp932(r)));
}

bool NameSet::Take(const std::string& name) { return given_.insert(FoldedText(platform::Utf8ToCp932(name))).second; }

std::string NameSet::Unique(const std::string& stem, std::string_view extension) {
    std::string name = stem + std::string(extension);
    for (int n = 2; !given_.insert(FoldedText(platform::Utf8ToCp932(name))).second; ++n) {
        name = stem + " (" + std::to_string(n) + ")" + std::string(extension);
    }
    return name;
}

}  // namespace tavolex
