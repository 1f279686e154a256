#include "meeting_store/sketch_files.h"

#include "meeting_store/meeting_database.h"

#include <cstdint>

namespace tavolex {
namespace {

// Takes a number written as %d writes it (no leading zero, at most ten digits) off the front.
bool TakeNumber(std::string_view& text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0 || digits > 10 || (digits > 1 && text[0] == '0')) return false;
    text.remove_prefix(digits);
    return true;
}

}  // namespace

std::string SketchFileName(const MeetingDatabase& store, const Sketch& sketch) {
    int occurrence = 1;
    for (const auto& record : store.Sketches()) {
        if (record.get() == &sketch) break;
        if (record->dwDBID == sketch.dwDBID) ++occurrence;
    }
    std::string name = std::to_string(static_cast<std::int32_t>(sketch.dwDBID));
    if (occurrence > 1) name += "-" + std::to_string(occurrence);
    return name + ".jpg";
}

bool IsSketchFileName(std::string_view name) {
    constexpr std::string_view kExtension = ".jpg";
    if (name.size() <= kExtension.size() || name.substr(name.size() - kExtension.size()) != kExtension) return false;
    name.remove_suffix(kExtension.size());
    if (name.front() == '-') name.remove_prefix(1);
    if (!TakeNumber(name)) return false;
    if (name.empty()) return true;
    if (name.front() != '-') return false;
    name.remove_prefix(1);
    if (name == "0" || name == "1") return false;  // the first record of an id has no suffix
    return TakeNumber(name) && name.empty();
}

}  // namespace tavolex
