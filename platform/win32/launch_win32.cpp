#include "platform/launch.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace tavolex::platform {
namespace {

// A program path as the first field of a command line: quoted, so that "C:\Program Files\v.exe"
// can never start C:\Program.exe. A path that comes quoted already keeps its own quotes.
std::wstring QuotedProgram(const std::wstring& program) {
    if (program.size() >= 2 && program.front() == L'"' && program.back() == L'"') return program;
    return L"\"" + program + L"\"";
}

class Win32Launcher final : public Launcher {
public:
    bool StartProgram(const std::filesystem::path& program, const std::filesystem::path& argument) override {
        if (program.empty()) return false;
        std::wstring commandLine = QuotedProgram(program.native()) + L" \"" + argument.native() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            return false;
        }
        // The viewer runs on its own; nothing waits for it.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }

    HandlerResult OpenWithHandler(const std::filesystem::path& target, ShellVerb verb) override {
        const wchar_t* verbText = verb == ShellVerb::kExplore ? L"explore" : L"open";
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, verbText, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result > 32) return HandlerResult::kStarted;
        if (result == SE_ERR_FNF || result == SE_ERR_PNF) return HandlerResult::kNotFound;
        return HandlerResult::kFailed;
    }
};

}  // namespace

Launcher& SystemLauncher() {
    static Win32Launcher launcher;
    return launcher;
}

}  // namespace tavolex::platform
