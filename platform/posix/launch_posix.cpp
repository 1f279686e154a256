#include "platform/launch.h"

#include "platform/posix/default_browser.h"
#include "platform/posix/spawn_detached.h"

#include <system_error>

namespace tavolex::platform {
namespace {

class PosixLauncher final : public Launcher {
public:
    bool StartProgram(const std::filesystem::path& program, const std::filesystem::path& argument) override {
        const std::filesystem::path found = posix::FindProgram(program.string());
        return !found.empty() && posix::SpawnDetached(found, {argument.string()});
    }

    HandlerResult OpenWithHandler(const std::filesystem::path& target, ShellVerb) override {
        // xdg-open is not waited for (its handler may run as long as the document is open), so
        // a missing file is found out here, as the Windows shell would report it.
        std::error_code ec;
        if (target.empty() || !std::filesystem::exists(target, ec)) return HandlerResult::kNotFound;
        const std::filesystem::path opener = posix::FindProgram("xdg-open");
        if (opener.empty() || !posix::SpawnDetached(opener, {target.string()})) return HandlerResult::kFailed;
        return HandlerResult::kStarted;
    }
};

}  // namespace

Launcher& SystemLauncher() {
    static PosixLauncher launcher;
    return launcher;
}

}  // namespace tavolex::platform
