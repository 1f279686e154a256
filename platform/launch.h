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
    // Starts program with argument as its last argument. program is a program file, or a command
    // of a program and its own arguments as the shell stores one ("C:\B\b.exe" -nohome).
    // Windows: CreateProcessW with the command line program, a blank and "argument"; program is
    // used as given, except that one unquoted path with a space that names an existing file is
    // quoted (so C:\Program Files\v.exe never starts C:\Program.exe); a program without a
    // folder is searched as CreateProcessW searches. POSIX: no shell; program names the file
    // whole when there is one (a name without '/' is searched on PATH), else its first field
    // (double quotes group blanks) is the program and the other fields are its arguments; the
    // standard streams are on /dev/null. False when the program can't be started.
    [[nodiscard]] virtual bool StartProgram(const std::filesystem::path& program,
                                            const std::filesystem::path& argument) = 0;
    // Windows: ShellExecuteW with the verb in a normal window. POSIX: xdg-open (both verbs).
    [[nodiscard]] virtual HandlerResult OpenWithHandler(const std::filesystem::path& target, ShellVerb verb) = 0;
};

// The process's own launcher; lives for the whole run.
Launcher& SystemLauncher();

}  // namespace tavolex::platform
