#include "report_files/report_paths.h"

#include "platform/file_system.h"
#include "report/template_images.h"

namespace tavolex {

bool IsBareFileName(std::string_view cp932Name) {
    if (cp932Name.empty() || cp932Name == "." || cp932Name == "..") return false;
    return AfterLastSeparator(cp932Name) == 0;
}

std::filesystem::path InFolder(const std::filesystem::path& folder, std::string_view cp932Name) {
    using Char = std::filesystem::path::value_type;
    std::filesystem::path path = folder;
    const auto& text = path.native();
    if (!text.empty() && text.back() != Char('/') && text.back() != std::filesystem::path::preferred_separator) {
        path += std::filesystem::path::preferred_separator;
    }
    path += platform::PathFromCp932(cp932Name);
    return path;
}

}  // namespace tavolex
