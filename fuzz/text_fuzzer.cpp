// The Shift-JIS text helpers: code page conversions, report name cleaning, the last separator,
// and the views' fitting of item texts. Cut texts never end inside a double-byte character and
// never grow past their limit; cleaning keeps every double-byte character and
// grows a name by at most the "_" in front of a device name.

#include "base/shift_jis.h"
#include "fuzz/fuzz_support.h"
#include "platform/platform.h"
#include "report_files/template_images.h"
#include "report/template_scanner.h"
#include "report_files/report_name.h"
#include "tests/support/recording_user_interaction.h"
#include "views/pane_text.h"

using namespace tavolex;

namespace {

// Whether length bytes of text end on a character boundary, walking as the helpers do.
bool OnBoundary(std::string_view text, std::size_t length) {
    std::size_t i = 0;
    while (i < length) i += Cp932CharWidth(text, i, TrailRule::kTrailByteOnly);
    return i == length;
}

}  // namespace

void fuzz::FuzzOne(std::string_view text) {
    const std::string utf8 = platform::Cp932ToUtf8(text);
    const std::string cp932 = platform::Utf8ToCp932(utf8);
    // Text that came from CP932 converts back to the same characters (bytes that were no character
    // became U+FFFD, which has no CP932 form).
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos && platform::Cp932ToUtf8(cp932) != utf8) std::abort();
    const std::u16string utf16 = platform::Cp932ToUtf16(text);
    (void)platform::Utf16ToCp932(utf16);
    (void)platform::Utf8ToCp932(text);
    (void)platform::Utf16ToCp932(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size() / 2));

    std::string name(text);
    test::RecordingUserInteraction ui;
    const bool changed = CleanReportName(name, ui);
    // A device name gains "_" in front; the message speaks only of replaced characters.
    const std::size_t shift = name.size() - text.size();
    if (shift > 1 || (shift == 1 && name[0] != '_') || changed != (name != text) || (!ui.messages.empty() && !changed)) std::abort();
    for (std::size_t i = 0; i < text.size();) {
        const bool lead = Cp932CharWidth(text, i) == 2;
        if (lead && (name[shift + i] != text[i] || name[shift + i + 1] != text[i + 1])) std::abort();
        i += lead ? 2 : 1;
    }

    const std::size_t after = AfterLastSeparator(text);
    if (after > text.size() || (after > 0 && text[after - 1] != '/' && text[after - 1] != '\\')) std::abort();

    for (std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{7}, kItemTextLimit}) {
        const std::size_t fit = Cp932FitLength(text, limit, TrailRule::kTrailByteOnly);
        if (fit > limit || fit > text.size() || !OnBoundary(text, fit)) std::abort();
        const std::string shown = ItemDisplayText(text, limit);
        if (shown.size() > limit) std::abort();
        const std::string expanded = ExpandLineFeeds(text, limit);
        if (expanded.size() > limit) std::abort();
    }
}
