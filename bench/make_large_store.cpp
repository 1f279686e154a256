// Writes a Palm Desktop folder with one user ("Large") whose store is at full capacity: 65,520
// meetings with titles and locations in Japanese, each with one item of every kind. Used by
// scripts/bench-cli to time the command-line program. With --sketches every sketch also has a
// 160 x 160 picture, for the export benchmarks. With --users N --meetings M it writes N users
// ("User01" …) of M meetings each instead, for the benchmarks of several users at once.

#include "bench/large_store.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    bool withSketches = false;
    int users = 0;
    long meetings = 65520;
    const char* folder = nullptr;
    bool bad = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sketches") {
            withSketches = true;
        } else if ((arg == "--users" || arg == "--meetings") && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            const long most = arg == "--users" ? 99 : 65520;
            bad = bad || value < 1 || value > most;
            if (arg == "--users") {
                users = static_cast<int>(value);
            } else {
                meetings = value;
            }
        } else if (folder == nullptr && !arg.empty() && arg[0] != '-') {
            // A folder name that starts with "-" is an option given in the wrong place ("--help"), not
            // a folder to fill with 30 MB of data.
            folder = argv[i];
        } else {
            bad = true;
        }
    }
    if (folder == nullptr || bad) {
        std::fprintf(stderr, "usage: make_large_store DIR [--sketches] [--users N --meetings M]\n");
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
    }
    if (users == 0) {
        tavolex::bench::WriteLargeStore(folder, withSketches, static_cast<std::uint32_t>(meetings));
        return 0;
    }
    for (int u = 1; u <= users; ++u) {
        char name[16];
        std::snprintf(name, sizeof name, "User%02d", u);
        tavolex::bench::WriteLargeStore(folder, withSketches, static_cast<std::uint32_t>(meetings), name);
    }
    return 0;
}
