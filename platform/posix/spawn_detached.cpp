#include "platform/posix/spawn_detached.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace tavolex::platform::posix {
namespace {

// The children started and not yet reaped: a viewer that ends before the program leaves no
// zombie behind once the next program is started.
std::vector<pid_t>& Children() {
    static std::vector<pid_t> children;
    return children;
}

void ReapEnded() {
    std::vector<pid_t>& children = Children();
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](pid_t pid) {
                                      int status = 0;
                                      return ::waitpid(pid, &status, WNOHANG) != 0;
                                  }),
                   children.end());
}

class SpawnSetup {
public:
    SpawnSetup() {
        okActions_ = ::posix_spawn_file_actions_init(&actions_) == 0;
        okAttributes_ = ::posix_spawnattr_init(&attributes_) == 0;
    }
    ~SpawnSetup() {
        if (okActions_) ::posix_spawn_file_actions_destroy(&actions_);
        if (okAttributes_) ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool Prepare() {
        if (!okActions_ || !okAttributes_) return false;
        // A viewer must not hold the caller's pipes open (a script reading our output would wait
        // for the viewer to end) nor read its terminal.
        if (::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) != 0) return false;
        if (::posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0) != 0) return false;
        if (::posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0) != 0) return false;
#ifdef POSIX_SPAWN_SETSID
        if (::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID) != 0) return false;
#endif
        return true;
    }

    const posix_spawn_file_actions_t* Actions() const { return &actions_; }
    const posix_spawnattr_t* Attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_{};
    posix_spawnattr_t attributes_{};
    bool okActions_ = false;
    bool okAttributes_ = false;
};

}  // namespace

bool SpawnDetached(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    ReapEnded();
    if (program.empty()) return false;
    SpawnSetup setup;
    if (!setup.Prepare()) return false;
    std::string programText = program.string();
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(programText);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    // glibc reports a program that can't be executed as the result of posix_spawn itself.
    if (::posix_spawn(&pid, programText.c_str(), setup.Actions(), setup.Attributes(), argv.data(), environ) != 0) {
        return false;
    }
    Children().push_back(pid);
    return true;
}

}  // namespace tavolex::platform::posix
