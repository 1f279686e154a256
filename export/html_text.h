#pragma once
// The text work of the archive's HTML, pure functions of their input: a store's text made safe
// as character data or an attribute value, a report's Shift-JIS charset declarations made utf-8,
// a page's Content-Security-Policy line and the place it goes, the index's data made safe inside
// a script element.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavolex {

// The policy of every report: the reports hold meeting texts inserted as they are (a note may be
// markup), so nothing in them may run, load from outside the folder, set a base for the links or
// post a form. A policy does not stop navigation: a link, or a refresh written in a note, still
// leads where it says when followed.
inline constexpr std::string_view kReportPolicy =
    "default-src 'none'; img-src 'self'; style-src 'self' 'unsafe-inline'; base-uri 'none'; form-action 'none'";

// UTF-8 text as HTML character data or a quoted attribute value: the five markup characters as
// references, a line break and every other control character as a space.
[[nodiscard]] std::string EscapeHtml(std::string_view utf8);

// The page with every <meta> tag's "charset=" that names Shift-JIS (any of its names, in any
// letter case, quoted or not) naming utf-8 instead. Only <meta> tags are rewritten: a meeting's
// text or another tag's attribute that reads "charset=Shift_JIS" stays as written.
[[nodiscard]] std::string DeclareUtf8Charset(std::string_view html);

// The <meta> element that carries a Content-Security-Policy.
[[nodiscard]] std::string PolicyMeta(std::string_view policy);

// Where a report's policy goes: just after its <head> tag (any letter case, not inside a comment),
// so it comes before every text a token inserted; else just after a document type declaration that
// opens the page when no <head> comes before <body>; else 0. '<' is never the second byte of a
// Shift-JIS character, so the bytes are searched as they are.
[[nodiscard]] std::size_t PolicyPosition(std::string_view page);

// The report with kReportPolicy's <meta> element at PolicyPosition, on a line of its own.
[[nodiscard]] std::string WithReportPolicy(std::string report);

// JSON text that can stand inside a <script> element: every "<" written as \u003c, so no text of
// the data closes the element early.
[[nodiscard]] std::string JsonForScript(std::string json);

}  // namespace tavolex
