#include "platform/platform.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace tavolex::platform {

std::u16string FoldForSearch(std::u16string_view text) {
    // Plain ASCII folds to its lower case; most texts of a store skip ICU this way.
    bool ascii = true;
    for (const char16_t c : text) ascii = ascii && c < 0x80;
    if (ascii) {
        std::u16string out(text);
        for (char16_t& c : out) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        }
        return out;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* fold = icu::Normalizer2::getNFKCCasefoldInstance(status);
    if (U_FAILURE(status) || fold == nullptr) return std::u16string(text);
    const icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    const icu::UnicodeString folded = fold->normalize(source, status);
    if (U_FAILURE(status)) return std::u16string(text);
    return std::u16string(folded.getBuffer(), static_cast<std::size_t>(folded.length()));
}

}  // namespace tavolex::platform
