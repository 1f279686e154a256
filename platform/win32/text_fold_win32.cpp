#include "platform/platform.h"

#include <windows.h>

#include <climits>

namespace tavolex::platform {

std::u16string FoldForSearch(std::u16string_view text) {
    if (text.empty() || text.size() > INT_MAX / 4) return std::u16string(text);
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    std::wstring normal(static_cast<std::size_t>(length) * 3 + 16, L'\0');
    int n = NormalizeString(NormalizationKC, source, length, normal.data(), static_cast<int>(normal.size()));
    if (n <= 0)
        normal.assign(source, static_cast<std::size_t>(length));
    else
        normal.resize(static_cast<std::size_t>(n));
    std::wstring lower(normal.size() * 2 + 16, L'\0');
    n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, normal.data(), static_cast<int>(normal.size()),
                      lower.data(), static_cast<int>(lower.size()), nullptr, nullptr, 0);
    if (n <= 0) return std::u16string(normal.begin(), normal.end());
    lower.resize(static_cast<std::size_t>(n));
    return std::u16string(lower.begin(), lower.end());
}

}  // namespace tavolex::platform
