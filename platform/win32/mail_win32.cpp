#include "platform/mail.h"

#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <mapi.h>

#include <string>

namespace tavolex::platform {
namespace {

// Simple MAPI takes texts in the system's ANSI code page.
std::string Ansi(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::string AnsiFromCp932(std::string_view cp932) {
    const int size = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), size);
    return Ansi(wide);
}

class SimpleMapiSender final : public MailSender {
public:
    SimpleMapiSender(win32::UniqueModule library, LHANDLE session) : library_(std::move(library)), session_(session) {}

    bool Send(std::string_view subject, const std::vector<std::filesystem::path>& attachments) override {
        auto sendMail =
            reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void*>(GetProcAddress(library_.Get(), "MAPISendMail")));
        if (sendMail == nullptr) return false;
        std::string subjectText = AnsiFromCp932(subject);
        std::vector<std::string> paths;
        paths.reserve(attachments.size());
        for (const std::filesystem::path& file : attachments) paths.push_back(Ansi(file.native()));
        std::vector<MapiFileDesc> files(paths.size());
        for (std::size_t i = 0; i < paths.size(); ++i) {
            files[i].ulReserved = 0;
            files[i].flFlags = 0;
            files[i].nPosition = static_cast<ULONG>(-1);  // not placed in the text
            files[i].lpszPathName = paths[i].data();
            files[i].lpszFileName = nullptr;
            files[i].lpFileType = nullptr;
        }
        MapiMessage message{};
        message.lpszSubject = subjectText.data();
        message.nFileCount = static_cast<ULONG>(files.size());
        message.lpFiles = files.empty() ? nullptr : files.data();
        // The mail program shows the message; what the user does with it is not reported back.
        sendMail(0, 0, &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
        return true;
    }

private:
    win32::UniqueModule library_;
    LHANDLE session_ = 0;  // kept for the life of the sender, as the log-on gave it
};

}  // namespace

std::unique_ptr<MailSender> OpenSystemMailSender() {
    win32::UniqueModule library(LoadLibraryW(L"MAPI32.DLL"));
    if (!library) return nullptr;
    auto logOn = reinterpret_cast<LPMAPILOGON>(reinterpret_cast<void*>(GetProcAddress(library.Get(), "MAPILogon")));
    if (logOn == nullptr) return nullptr;
    LHANDLE session = 0;
    logOn(0, nullptr, nullptr, 0, 0, &session);
    return std::make_unique<SimpleMapiSender>(std::move(library), session);
}

}  // namespace tavolex::platform
