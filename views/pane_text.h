#pragma once
// The two forms of an item's text that the item list and the quick view show, both code page 932
// bytes cut to kItemTextLimit bytes at a character boundary, so a double-byte character is never
// split.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavolex {

// The longest display or full text of an item, in bytes.
inline constexpr std::size_t kItemTextLimit = 255;

// The text up to its first line feed or tab (a carriage return right before that line feed goes
// with it), then at most limit bytes of that.
[[nodiscard]] std::string ItemDisplayText(std::string_view text, std::size_t limit = kItemTextLimit);

// The text with every line break made carriage return + line feed, at most limit bytes: a lone
// line feed becomes CR LF; a line feed that already follows a carriage return is kept as it is,
// so CR LF stays CR LF (never CR CR LF, which an edit control takes for a soft line break). The
// cut never splits a double-byte character or a CR LF pair.
[[nodiscard]] std::string ExpandLineFeeds(std::string_view text, std::size_t limit = kItemTextLimit);

}  // namespace tavolex
