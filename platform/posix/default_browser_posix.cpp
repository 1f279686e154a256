#include "platform/posix/default_browser.h"

#include "platform/platform.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <vector>

extern char** environ;

namespace tavolex::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr int kQueryTimeoutMs = 5000;
constexpr std::size_t kMaxQueryOutput = 4096;

bool IsExecutableFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

// Runs program with args, without a shell, and returns what it prints on standard output.
// A program that takes longer than the timeout is stopped.
std::string RunAndRead(const fs::path& program, const std::vector<std::string>& args) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argStore;
    argStore.push_back(program.string());
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return {};
    }
    std::string output;
    bool timedOut = false;
    for (;;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, kQueryTimeoutMs);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            timedOut = true;
            break;
        }
        char buffer[512];
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        if (output.size() < kMaxQueryOutput) output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    if (timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return output;
}

std::string Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::vector<fs::path> ApplicationFolders() {
    std::vector<fs::path> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        folders.push_back(fs::path(dataHome) / "applications");
    } else if (home != nullptr && home[0] == '/') {
        folders.push_back(fs::path(home) / ".local/share/applications");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    const std::string dirs = (dataDirs != nullptr && *dataDirs != '\0') ? dataDirs : "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start && dirs[start] == '/')
            folders.push_back(fs::path(dirs.substr(start, end - start)) / "applications");
        start = end + 1;
    }
    return folders;
}

// The Exec value of the [Desktop Entry] group.
std::string DesktopFileExec(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inEntry = line.rfind("[Desktop Entry]", 0) == 0;
            continue;
        }
        if (inEntry && line.rfind("Exec=", 0) == 0) return line.substr(5);
    }
    return {};
}

fs::path ProgramOfDesktopEntry(const std::string& desktopId) {
    if (desktopId.empty() || desktopId.find('/') != std::string::npos || desktopId.size() < 9 ||
        desktopId.compare(desktopId.size() - 8, 8, ".desktop") != 0) {
        return {};
    }
    for (const fs::path& folder : ApplicationFolders()) {
        const fs::path file = folder / desktopId;
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) continue;
        const std::string program = ExecProgram(DesktopFileExec(file));
        return program.empty() ? fs::path() : FindProgram(program);
    }
    return {};
}

}  // namespace

std::string ExecProgram(std::string_view execLine) {
    std::size_t i = execLine.find_first_not_of(" \t");
    if (i == std::string_view::npos) return {};
    std::string program;
    if (execLine[i] != '"') {
        const std::size_t end = execLine.find_first_of(" \t", i);
        return std::string(execLine.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
    }
    // A quoted field: backslash escapes the next character.
    for (++i; i < execLine.size() && execLine[i] != '"'; ++i) {
        if (execLine[i] == '\\' && i + 1 < execLine.size()) ++i;
        program += execLine[i];
    }
    return program;
}

fs::path FindProgram(std::string_view name) {
    if (name.empty()) return {};
    if (name.find('/') != std::string_view::npos) {
        const fs::path path(name);
        return path.is_absolute() && IsExecutableFile(path) ? path : fs::path();
    }
    const char* pathVariable = std::getenv("PATH");
    if (pathVariable == nullptr) return {};
    const std::string dirs = pathVariable;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start && dirs[start] == '/') {
            const fs::path candidate = fs::path(dirs.substr(start, end - start)) / std::string(name);
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::string FindDefaultBrowserProgram() {
    const fs::path xdgSettings = FindProgram("xdg-settings");
    if (!xdgSettings.empty()) {
        const fs::path program = ProgramOfDesktopEntry(Trim(RunAndRead(xdgSettings, {"get", "default-web-browser"})));
        if (!program.empty()) return Utf8ToCp932(program.string());
    }
    const fs::path xdgOpen = FindProgram("xdg-open");
    return xdgOpen.empty() ? std::string() : Utf8ToCp932(xdgOpen.string());
}

}  // namespace tavolex::platform::posix
