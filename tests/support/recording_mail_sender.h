#pragma once

#include "platform/mail.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavolex::test {

struct SentMail {
    std::string subject;
    std::vector<std::filesystem::path> attachments;
};

// Keeps every message in a list the test owns (the sender itself is owned by the mailer).
class RecordingMailSender final : public platform::MailSender {
public:
    explicit RecordingMailSender(std::vector<SentMail>& sent) : sent_(sent) {}
    bool Send(std::string_view subject, const std::vector<std::filesystem::path>& attachments) override {
        sent_.push_back({std::string(subject), attachments});
        return true;
    }

private:
    std::vector<SentMail>& sent_;
};

}  // namespace tavolex::test
