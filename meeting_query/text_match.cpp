#include "meeting_query/text_match.h"

#include "platform/platform.h"

namespace tavolex {
namespace {

std::u16string FromUtf8(std::string_view utf8) { return platform::Cp932ToUtf16(platform::Utf8ToCp932(utf8)); }

std::string ToUtf8(std::u16string_view utf16) { return platform::Cp932ToUtf8(platform::Utf16ToCp932(utf16)); }

bool IsTrail(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The shortest prefix of text (in code units, never splitting a pair) whose folded form is at
// least `folded` units long.
std::size_t PrefixReaching(std::u16string_view text, std::size_t folded) {
    std::size_t low = 0;
    std::size_t high = text.size();
    while (low < high) {
        std::size_t mid = (low + high) / 2;
        while (mid < text.size() && IsTrail(text[mid])) ++mid;
        if (mid >= high) break;
        if (platform::FoldForSearch(text.substr(0, mid)).size() >= folded) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    return high;
}

}  // namespace

// The search text goes through CP932 like the store's texts, so a character CP932 can't hold
// (and so no store text can) becomes '?' here as it would there.
TextMatch::TextMatch(std::string_view utf8) : folded_(platform::FoldForSearch(FromUtf8(utf8))) {}

bool TextMatch::Matches(std::string_view cp932) const {
    if (folded_.empty() || cp932.empty()) return false;
    return MatchesFolded(Fold(cp932));
}

std::u16string TextMatch::Fold(std::string_view cp932) {
    return platform::FoldForSearch(platform::Cp932ToUtf16(cp932));
}

bool TextMatch::MatchesFolded(std::u16string_view folded) const {
    return !folded_.empty() && folded.find(folded_) != std::u16string_view::npos;
}

bool TextMatch::Equals(std::string_view cp932) const { return FoldedText(cp932) == folded_; }

std::u16string FoldedText(std::string_view cp932) { return platform::FoldForSearch(platform::Cp932ToUtf16(cp932)); }

std::string TextMatch::Context(std::string_view cp932, std::size_t around) const {
    const std::u16string text = platform::Cp932ToUtf16(cp932);
    const std::size_t hit = platform::FoldForSearch(text).find(folded_);
    if (folded_.empty() || hit == std::u16string::npos) return {};
    // The hit's place in the original text: the prefixes whose folded forms reach its start and end.
    std::size_t begin = PrefixReaching(text, hit + 1);
    begin = begin > 0 ? begin - 1 : 0;
    while (begin > 0 && IsTrail(text[begin])) --begin;
    const std::size_t end = PrefixReaching(text, hit + folded_.size());
    const std::size_t from = begin > around ? begin - around : 0;
    const std::size_t to = std::min(text.size(), end + around);
    std::string out = from > 0 ? "…" : "";
    out += ToUtf8(std::u16string_view(text).substr(from, to - from));
    if (to < text.size()) out += "…";
    return out;
}

}  // namespace tavolex
