#pragma once
// The names of the files an export makes from texts of the store (notes, cards): the report-name
// rules applied without a word (an export names thousands of files at once), and each name unique
// in its folder as the file systems that ignore letter case and width compare names.

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavolex {

class ExportText;

// A file name's longest stem in UTF-8 bytes, before " (n)" and the extension: well inside the 255
// bytes file systems allow however many bytes each character takes.
inline constexpr std::size_t kMaxStemBytes = 200;

// The UTF-8 text cut to at most `bytes` bytes, after a whole character.
[[nodiscard]] std::string_view CutUtf8(std::string_view utf8, std::size_t bytes);

// The report-name rules on a text of the store, silently, and "#", "^", "[" and "]" made spaces as
// they make the others (notes apps read a link's "#" as a heading and "^" as a block, and the
// brackets end a wiki link); a name that would hide the file (a leading dot) gets "_" in front.
// UTF-8, cut to kMaxStemBytes.
[[nodiscard]] std::string CleanStem(std::string cp932, ExportText& names);

// Names given in one folder; a name given twice gets " (2)", " (3)"…
class NameSet {
public:
    explicit NameSet(const std::vector<std::string>& reserved = {});
    // Gives the name when no name it equals was given; false when one was.
    bool Take(const std::string& name);
    [[nodiscard]] std::string Unique(const std::string& stem, std::string_view extension);

private:
    std::set<std::u16string> given_;
};

}  // namespace tavolex
