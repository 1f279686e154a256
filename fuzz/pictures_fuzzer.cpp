// The picture collection over a random report text: the report-file scanner and the template
// writer's copying of pictures into the output folder. Nothing outside the output folder may
// change, and every name found is a bare file name.

#include "fuzz/fuzz_support.h"
#include "report_files/template_images.h"
#include "report_files/report_images.h"

#include <map>

using namespace tavolex;

namespace {

using Listing = std::map<std::string, std::uintmax_t>;

// Every path under root, with the sizes of the files.
Listing List(const std::filesystem::path& root) {
    Listing listing;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        listing[entry.path().string()] = entry.is_regular_file() ? entry.file_size() : 0;
    }
    return listing;
}

}  // namespace

void fuzz::FuzzOne(std::string_view text) {
    static const std::filesystem::path root = fuzz::ScratchFolder() / "pictures";
    static const std::filesystem::path templates = root / "templates";
    static const std::filesystem::path output = root / "out";
    static const Listing before = [] {
        fuzz::WriteTemplatePictures(templates);
        fuzz::EmptyFolder(output);
        return List(root);
    }();

    std::vector<ImageReference> references;
    (void)ScanImageReferences(text, references);
    if (references.size() > kMaxReportImages) std::abort();
    for (const ImageReference& reference : references) {
        const std::string& name = reference.fileName;
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) std::abort();
    }

    const std::string written = CollectTemplateImages(text, {}, templates, output);
    if (written.size() > text.size()) std::abort();
    // The output folder emptied again, the scratch folder is as it was.
    fuzz::EmptyFolder(output);
    if (List(root) != before) std::abort();
}
