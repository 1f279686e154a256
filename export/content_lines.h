#pragma once
// The content lines iCalendar and vCard share: "NAME;PARAM=VALUE:value", CR LF at the end, lines
// longer than 75 octets folded (CR LF and a space) at a character boundary, never inside a UTF-8
// character. Texts are escaped as both formats' TEXT values require. Whatever a line is given, it
// never holds a CR or LF of its own: the data never makes a line.

#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

// A TEXT value: backslash, semicolon and comma escaped, each line feed as "\n"; CR dropped (CR LF
// becomes one line feed); other control characters, which neither format allows, become spaces.
[[nodiscard]] std::string EscapeText(std::string_view utf8);

// A parameter value: quoted, with the double quotes it may not hold and control characters made
// spaces; CR dropped, as in a TEXT value, so a CR LF line end is one space.
[[nodiscard]] std::string QuoteParameter(std::string_view utf8);

// An e-mail address as a mailto: URI, every octet but the unreserved ones and its '@'
// percent-encoded (UTF-8); nothing when the text is not a plausible address (no single '@' with
// something on both sides, or a space or control character inside it).
[[nodiscard]] std::optional<std::string> MailtoUri(std::string_view utf8);

class ContentLines {
public:
    static constexpr std::size_t kMaxOctets = 75;

    // Appends one line: `nameAndParameters`, ':' and `value` (already escaped), folded. A line end
    // that reaches it anyway becomes "\n" in the value and a space before it, as does any other
    // control character.
    void Add(std::string_view nameAndParameters, std::string_view value);
    [[nodiscard]] const std::string& Text() const { return text_; }
    [[nodiscard]] std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace tavolex
