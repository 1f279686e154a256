#pragma once
// Starting other programs: a report viewer with the report as its one argument, and the system's
// handler for a file or folder. Nothing here waits for the program it starts.

#include <filesystem>

namespace tavolex::platform {

enum class ShellVerb { kOpen, kExplore };

enum class HandlerResult {
    kStarted,
    kNotFound,  // the file or folder does not exist
    kFailed,    // the handler could not be started
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts program with argument as its one argument. Windows: CreateProcessW with the command
    // line "program" "argument", the program quoted so that a path with spaces always names the
    // whole program (a program without a folder is searched as CreateProcessW searches).
    // POSIX: the program itself, no shell (a name without '/' is searched on PATH), with its
    // standard streams on /dev/null. False when the program can't be started.
    [[nodiscard]] virtual bool StartProgram(const std::filesystem::path& program,
                                            const std::filesystem::path& argument) = 0;
    // Windows: ShellExecuteW with the verb in a normal window. POSIX: xdg-open (both verbs).
    [[nodiscard]] virtual HandlerResult OpenWithHandler(const std::filesystem::path& target, ShellVerb verb) = 0;
};

// The process's own launcher; lives for the whole run.
Launcher& SystemLauncher();

}  // namespace tavolex::platform
