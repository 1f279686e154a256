#pragma once
// E-mail of reports: the user's mail program gets a new message whose subject is the report's file
// name and whose attachments are the report and its pictures. One lives for the whole run.

#include <memory>
#include <string_view>

#include "platform/mail.h"
#include "report_files/report_paths.h"

namespace tavolex {
namespace platform {
class UserInteraction;
}

class ReportMailer {
public:
    // Mail is unavailable until SetUp (or a sender) makes it available.
    ReportMailer() = default;
    explicit ReportMailer(std::unique_ptr<platform::MailSender> sender) : sender_(std::move(sender)) {}

    // Start-up: the system's mail program (Windows: MAPI32.DLL and MAPILogon; POSIX: xdg-email).
    void SetUp() { sender_ = platform::OpenSystemMailSender(); }
    // Whether the send-mail command is enabled.
    [[nodiscard]] bool Available() const { return sender_ != nullptr; }

    // Mails the report of the output folder (file name with extension). Collects its pictures
    // (refreshing template pictures); a picture missing from the output folder is reported with
    // string 231 (caption "添付ファイルのエラー") and left out. When mail is unavailable, shows the
    // system's message instead. True when the message was handed to the mail program.
    bool SendReport(const ReportPaths& paths, std::string_view fileName, platform::UserInteraction& ui);

private:
    std::unique_ptr<platform::MailSender> sender_;
};

}  // namespace tavolex
