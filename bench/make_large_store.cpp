// Writes a Palm Desktop folder with one user ("Large") whose store is at full capacity: 65,520
// meetings with titles and locations in Japanese, each with one item of every kind. Used by
// scripts/bench-cli to time the command-line program. With --sketches every sketch also has a
// 160 x 160 picture, for the export benchmarks.

#include "bench/large_store.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const bool withSketches = argc == 3 && std::string(argv[2]) == "--sketches";
    // A folder name that starts with "-" is an option given in the wrong place ("--help"), not a
    // folder to fill with 30 MB of data.
    if ((argc != 2 && !withSketches) || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: make_large_store DIR [--sketches]\n");
        return argc == 2 && std::string(argv[1]) == "--help" ? 0 : 2;
    }
    tavolex::bench::WriteLargeStore(argv[1], withSketches);
    return 0;
}
