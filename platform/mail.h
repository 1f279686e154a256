#pragma once
// Handing a new message to the user's mail program, which shows it for the user to address and
// send. Windows: Simple MAPI of MAPI32.DLL, loaded at run time. POSIX: xdg-email.

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace tavolex::platform {

class MailSender {
public:
    virtual ~MailSender() = default;
    // A new message with the subject (CP932) and the files attached in order. Does not wait for
    // the user. False when the mail program could not be reached at all.
    virtual bool Send(std::string_view subject, const std::vector<std::filesystem::path>& attachments) = 0;
};

// The system's mail program, or null when mail is unavailable. Windows: MAPI32.DLL is loaded
// and MAPILogon called (no window, profile or password, flags 0); null when the library or
// MAPILogon is missing. POSIX: xdg-email found on PATH.
std::unique_ptr<MailSender> OpenSystemMailSender();

}  // namespace tavolex::platform
