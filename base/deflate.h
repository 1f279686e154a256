#pragma once
// Raw DEFLATE (RFC 1951) of a text, as one block of the fixed Huffman codes with LZ77 matches found
// through a hash of three bytes, and Base64 (RFC 4648) of bytes: enough for a page to carry a large
// block of data that a browser's DecompressionStream("deflate-raw") restores, in a fraction of its
// size and of the time the page takes to be read.

#include <string>
#include <string_view>

namespace tavolex {

[[nodiscard]] std::string DeflateRaw(std::string_view data);
[[nodiscard]] std::string Base64(std::string_view bytes);

}  // namespace tavolex
