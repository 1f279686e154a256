#include "report_files/report_paths.h"

#include "report_files/template_images.h"

namespace tavolex {

bool IsBareFileName(std::string_view cp932Name) {
    if (cp932Name.empty() || cp932Name == "." || cp932Name == "..") return false;
    return AfterLastSeparator(cp932Name) == 0;
}

}  // namespace tavolex
