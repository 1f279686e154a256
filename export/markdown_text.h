#pragma once
// The texts of the store as the Markdown vault writes them: inline Markdown that shows as written
// (never as markup, HTML, a link, a tag or a task field), links to the vault's files, and
// double-quoted YAML strings for the front matter, whatever they hold.

#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

// A text of the store (UTF-8) as Markdown that shows as written: control characters as spaces,
// the start of each line kept from opening a block (a list, a heading, a quote, code), markup
// characters escaped. Its lines are kept apart by hard line breaks, each continued after `indent`,
// so a text stays one paragraph or one list item; with oneLine, its lines are joined by spaces (a
// heading, a link's text).
[[nodiscard]] std::string MarkdownText(std::string_view utf8, std::string_view indent = "", bool oneLine = false);

// A link with the text on one line to a file of the vault, by its path relative to the note.
[[nodiscard]] std::string MarkdownLink(std::string_view utf8Text, std::string_view relative);

// Any UTF-8 text as a double-quoted YAML string: quotes and backslashes escaped, and every
// character YAML does not let a document hold as it is, or reads as a line break, escaped.
[[nodiscard]] std::string YamlString(std::string_view utf8);

// "key: []" or "key:" and an item a line, each a YamlString.
[[nodiscard]] std::string YamlList(std::string_view key, const std::vector<std::string>& utf8Items);

}  // namespace tavolex
