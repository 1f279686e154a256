#include "platform/mail.h"

#include "platform/platform.h"
#include "platform/posix/default_browser.h"
#include "platform/posix/spawn_detached.h"

namespace tavolex::platform {
namespace {

// The desktop's mail program through xdg-email: "--utf8 --subject <subject> --attach <file>..."
class XdgEmailSender final : public MailSender {
public:
    explicit XdgEmailSender(std::filesystem::path program) : program_(std::move(program)) {}

    bool Send(std::string_view subject, const std::vector<std::filesystem::path>& attachments) override {
        std::vector<std::string> arguments{"--utf8", "--subject", Cp932ToUtf8(subject)};
        for (const std::filesystem::path& file : attachments) {
            arguments.push_back("--attach");
            arguments.push_back(file.string());
        }
        return posix::SpawnDetached(program_, arguments);
    }

private:
    std::filesystem::path program_;
};

}  // namespace

std::unique_ptr<MailSender> OpenSystemMailSender() {
    std::filesystem::path program = posix::FindProgram("xdg-email");
    if (program.empty()) return nullptr;
    return std::make_unique<XdgEmailSender>(std::move(program));
}

}  // namespace tavolex::platform
