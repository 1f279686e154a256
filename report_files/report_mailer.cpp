#include "report_files/report_mailer.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "report_files/report_images.h"
#include "resources/string_table.h"
#include "base/trace.h"

#include <string>
#include <vector>

namespace tavolex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUnavailable = "No MAPI Client is available, please upgrade your email package.";
constexpr std::string_view kAttachmentCaption =
    "\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x83\x47\x83\x89\x81\x5b";  // 添付ファイルのエラー

bool Readable(const fs::path& path) { return platform::OpenFile(path, "rb") != nullptr; }

}  // namespace

bool ReportMailer::SendReport(const ReportPaths& paths, std::string_view fileName, platform::UserInteraction& ui) {
    if (!sender_) {
        ui.ShowMessage(kUnavailable, "Tavolex", platform::MessageIcon::kInformation);
        return false;
    }
    if (!IsBareFileName(fileName)) return false;
    const fs::path report = InFolder(paths.outputFolder, fileName);
    ReportImageList list;
    (void)CollectReportImages(report, paths, ui, list);
    std::vector<fs::path> attachments{report};
    std::vector<std::string> picturePaths;  // what each attached picture's entry holds, for the trace
    picturePaths.reserve(list.names.size());
    for (const std::string& name : list.names) {
        const fs::path picture = InFolder(paths.outputFolder, name);
        if (!Readable(picture)) {
            ui.ShowMessage(name + StringTableText(kIdsAttachmentNotFound), kAttachmentCaption,
                           platform::MessageIcon::kInformation);
            continue;
        }
        picturePaths.push_back(platform::PathToCp932(picture));
        Trace("NEW szTmp[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(picturePaths.size() - 1),
              TraceAddress(picturePaths.back().data()));
        attachments.push_back(picture);
    }
    const bool sent = sender_->Send(fileName, attachments);
    ReleaseImageList(list, "DELETE szImage[%i] = " TAVOLEX_TRACE_PTR);
    for (std::size_t i = 0; i < picturePaths.size(); ++i) {
        Trace("DELETE szTmp[%i] = " TAVOLEX_TRACE_PTR, static_cast<int>(i), TraceAddress(picturePaths[i].data()));
    }
    return sent;
}

}  // namespace tavolex
