#include "report_files/report_images.h"

#include "meeting_store/sketch_files.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/template_images.h"
#include "report_files/file_copy.h"
#include "report_files/report_listing.h"
#include "base/trace.h"

#include <algorithm>
#include <new>
#include <optional>
#include <system_error>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSrc = "src=\"";
constexpr std::string_view kBackground = "background=\"";
constexpr std::string_view kCaption = "Tavolex";

// Where the value of a reference at position i starts, or npos when no marker starts there.
std::size_t ValueStart(std::string_view text, std::size_t i) {
    if (text.size() - i >= kSrc.size() && text.compare(i, kSrc.size(), kSrc) == 0) return i + kSrc.size();
    if (text.size() - i >= kBackground.size() && text.compare(i, kBackground.size(), kBackground) == 0) {
        return i + kBackground.size();
    }
    return std::string_view::npos;
}

// The value of a reference starting at start: up to the next quote that comes before any zero
// byte and the end of the text. Nothing for an empty value or a value that never ends.
std::optional<std::string_view> ValueAt(std::string_view text, std::size_t start) {
    if (start >= text.size() || text[start] == '"') return std::nullopt;
    const std::size_t end = text.find_first_of(std::string_view("\"\0", 2), start);
    if (end == std::string_view::npos || text[end] != '"') return std::nullopt;
    return text.substr(start, end - start);
}

enum class ReadResult { kRead, kUnopened, kNoSize, kNoMemory, kEmpty };

ReadResult ReadWhole(const fs::path& path, std::string& bytes) {
    platform::UniqueFile file = platform::OpenFile(path, "rb");
    if (!file) return ReadResult::kUnopened;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) return ReadResult::kNoSize;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        return ReadResult::kNoMemory;
    }
    const std::size_t read = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (read == 0) return ReadResult::kEmpty;
    bytes.resize(read);
    return ReadResult::kRead;
}

// The template picture a reference names: an existing file inside the template folder's tree.
std::optional<fs::path> TemplatePicture(const ImageReference& image, const ReportPaths& paths) {
    std::error_code ec;
    std::optional<fs::path> source = InFolderTree(paths.templateFolder, image.reference);
    if (!source || !fs::is_regular_file(*source, ec)) return std::nullopt;
    return source;
}

// Template pictures are refreshed in the output folder, but a report there is never a picture
// to overwrite.
void RefreshFromTemplate(const fs::path& source, const ImageReference& image, const ReportPaths& paths) {
    if (ReportTypeOf(image.fileName)) return;
    (void)CopyWhole(source, InFolder(paths.outputFolder, image.fileName), true);
}

}  // namespace

bool ScanImageReferences(std::string_view text, std::vector<ImageReference>& references) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t start = ValueStart(text, i);
        if (start == std::string_view::npos) continue;
        const std::optional<std::string_view> value = ValueAt(text, start);
        if (!value) continue;
        // Past the limit any further reference, a repeated name too, ends the collection.
        if (references.size() >= kMaxReportImages) return false;
        ImageReference image;
        image.reference = DecodeSpaces(*value);
        image.fileName = image.reference.substr(AfterLastSeparator(image.reference));
        if (!IsBareFileName(image.fileName)) continue;
        const bool known = std::any_of(references.begin(), references.end(), [&image](const ImageReference& seen) {
            return seen.fileName == image.fileName;
        });
        if (!known) references.push_back(std::move(image));
    }
    return true;
}

bool CollectReportImages(const fs::path& reportPath, const ReportPaths& paths, platform::UserInteraction& ui,
                         ReportImageList& list) {
    list.names.clear();
    std::string bytes;
    switch (ReadWhole(reportPath, bytes)) {
        case ReadResult::kRead: break;
        case ReadResult::kUnopened: return false;
        case ReadResult::kNoSize: ui.ShowMessage("GetFileSize failed!", "", platform::MessageIcon::kNone); return false;
        case ReadResult::kNoMemory:
            ui.ShowMessage("GlobalAlloc failed!", "", platform::MessageIcon::kNone);
            return false;
        case ReadResult::kEmpty:
            ui.ShowMessage("This file is currently empty and cannot be used.", kCaption,
                           platform::MessageIcon::kInformation);
            return false;
    }
    std::vector<ImageReference> references;
    const bool complete = ScanImageReferences(bytes, references);
    list.names.reserve(kMaxReportImages);  // entries keep their place while the list lives
    for (const ImageReference& image : references) {
        // A report names what its text holds; only what the program put beside it is its picture.
        const std::optional<fs::path> templatePicture = TemplatePicture(image, paths);
        if (!templatePicture && !IsSketchFileName(image.fileName)) continue;
        list.names.push_back(image.fileName);
        const int index = static_cast<int>(list.names.size()) - 1;
        Trace("NEW &szImage[%i] = " TAVOLEX_TRACE_PTR ", szImage[%i] = " TAVOLEX_TRACE_PTR, index,
              TraceAddress(&list.names.back()), index, TraceAddress(list.names.back().data()));
        if (templatePicture) RefreshFromTemplate(*templatePicture, image, paths);
    }
    if (!complete) {
        ReleaseImageList(list, "DELETE szImage[%i] = " TAVOLEX_TRACE_PTR);
        return false;
    }
    return true;
}

std::optional<std::vector<std::string>> ReferencedImageNames(const fs::path& reportPath) {
    std::string bytes;
    const ReadResult read = ReadWhole(reportPath, bytes);
    if (read == ReadResult::kEmpty) return std::vector<std::string>{};
    if (read != ReadResult::kRead) return std::nullopt;
    std::vector<ImageReference> references;
    (void)ScanImageReferences(bytes, references);
    std::vector<std::string> names;
    names.reserve(references.size());
    for (ImageReference& image : references) names.push_back(std::move(image.fileName));
    return names;
}

void ReleaseImageList(ReportImageList& list, const char* traceFormat) {
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        Trace(traceFormat, static_cast<int>(i), TraceAddress(list.names[i].data()));
    }
    list.names.clear();
}

}  // namespace tavolex
