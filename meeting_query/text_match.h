#pragma once
// Whether a store text holds a search text, compared as a person reads them: both folded by
// Unicode NFKC and case folding, so half-width kana match full-width ones and "ＡＢＣ" matches "abc".

#include <cstddef>
#include <string>
#include <string_view>

namespace tavolex {

class TextMatch {
public:
    // The text searched for, UTF-8.
    explicit TextMatch(std::string_view utf8);

    [[nodiscard]] bool Empty() const { return folded_.empty(); }
    // Whether the CP932 text holds the search text.
    [[nodiscard]] bool Matches(std::string_view cp932) const;
    // The CP932 text folded as the search text is, for texts compared many times.
    [[nodiscard]] static std::u16string Fold(std::string_view cp932);
    // Whether a text Fold made holds the search text.
    [[nodiscard]] bool MatchesFolded(std::u16string_view folded) const;
    // Whether the CP932 text, folded, equals the search text folded.
    [[nodiscard]] bool Equals(std::string_view cp932) const;
    // The text around the first hit in the CP932 text, UTF-8: up to `around` characters either
    // side, "…" where the text goes on; "" when there is no hit.
    [[nodiscard]] std::string Context(std::string_view cp932, std::size_t around = 20) const;

private:
    std::u16string folded_;
};

// A CP932 text folded as the search folds it: a key under which texts a person reads alike are equal.
[[nodiscard]] std::u16string FoldedText(std::string_view cp932);

}  // namespace tavolex
