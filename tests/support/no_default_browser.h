#pragma once

#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tavolex::test {

// For the programs a test starts, a desktop that names no default browser, whatever the machine's:
// an `xdg-settings` that prints nothing, first on PATH for the scope (the machine's may take most of
// a second to answer, and may name a browser a test would then start).
class NoDefaultBrowser {
public:
    explicit NoDefaultBrowser(const std::filesystem::path& folder)
        : path_("PATH", folder.string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")) {
        WriteFileBytes(folder / "xdg-settings", "#!/bin/sh\n");
        std::filesystem::permissions(folder / "xdg-settings", std::filesystem::perms::owner_all);
    }

private:
    ScopedEnv path_;
};

}  // namespace tavolex::test
