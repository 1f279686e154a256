#include "platform/launch.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace tavolex::platform {
namespace {

// The viewer's part of the command line: the setting as stored, which may be a command with its
// own quotes and arguments ("C:\Program Files\B\b.exe" -nohome, as the shell stores a browser).
// Only one unquoted path with a space that names an existing file whole is quoted, so that
// C:\Program Files\v.exe can never start C:\Program.exe.
std::wstring ViewerCommand(const std::wstring& stored) {
    if (stored.empty() || stored.front() == L'"' || stored.find(L' ') == std::wstring::npos) return stored;
    const DWORD attributes = GetFileAttributesW(stored.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return stored;
    return L"\"" + stored + L"\"";
}

class Win32Launcher final : public Launcher {
public:
    bool StartProgram(const std::filesystem::path& program, const std::filesystem::path& argument) override {
        if (program.empty()) return false;
        std::wstring commandLine = ViewerCommand(program.native()) + L" \"" + argument.native() + L"\"";
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
