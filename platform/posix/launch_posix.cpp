#include "platform/launch.h"

#include "platform/posix/default_browser.h"
#include "platform/posix/spawn_detached.h"

#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tavolex::platform {
namespace {

// The fields of a stored command: separated by blanks; a double quote starts or ends a run in
// which blanks belong to the field.
std::vector<std::string> CommandFields(std::string_view command) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    bool inField = false;
    for (const char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inField = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inField) fields.push_back(std::move(field));
            field.clear();
            inField = false;
        } else {
            field += c;
            inField = true;
        }
    }
    if (inField) fields.push_back(std::move(field));
    return fields;
}

class PosixLauncher final : public Launcher {
public:
    bool StartProgram(const std::filesystem::path& program, const std::filesystem::path& argument) override {
        if (const std::filesystem::path whole = posix::FindProgram(program.string()); !whole.empty()) {
            return posix::SpawnDetached(whole, {argument.string()});
        }
        std::vector<std::string> fields = CommandFields(program.string());
        if (fields.empty()) return false;
        const std::filesystem::path found = posix::FindProgram(fields.front());
        if (found.empty()) return false;
        fields.erase(fields.begin());
        fields.push_back(argument.string());
        return posix::SpawnDetached(found, fields);
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
